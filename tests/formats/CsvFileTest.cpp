#include "formats/CsvFile.h"
#include "formats/TextFiles.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

QByteArray Utf16Le(const QString &text, bool bom)
{
    QByteArray bytes = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray Utf16Be(const QString &text)
{
    QByteArray bytes("\xFE\xFF", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return bytes;
}

TEST(CsvFileReading, ByteOrderMarkPicksTheEncodingAndAnsiIsTheDefault)
{
    const QString text = QString::fromUtf8("Prénom;Société\r\nÉ;€\nlast");
    const QStringList expected{QString::fromUtf8("Prénom;Société"), QString::fromUtf8("É;€"), "last"};
    struct Case
    {
        const char *name;
        QByteArray bytes;
    } const cases[] = {
        {"utf-8", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"utf-16le", Utf16Le(text, true)},
        {"utf-16be", Utf16Be(text)},
        {"windows-1252", QByteArray("Pr\xE9nom;Soci\xE9t\xE9\r\n\xC9;\x80\nlast")},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(ReadCSVLines(path), expected) << c.name;
    }
    EXPECT_EQ(ReadCSVLines(dir.filePath("missing")), QStringList());
}

// Without a byte-order mark: valid UTF-8 that is not plain ASCII reads as UTF-8,
// anything else as Windows-1252. Every import reads through here.
TEST(TextFileDecoding, Utf8WhenValidElseWindows1252)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        bool truncated;
        QString text;
    } const cases[] = {
        {"ascii", "plain", false, "plain"},
        {"utf-8", "Pr\xC3\xA9nom \xE2\x82\xAC \xF0\x9F\x98\x80", false, QString::fromUtf8("Prénom € 😀")},
        {"cp1252", "Pr\xE9nom \x80 \x93q\x94", false, QString::fromUtf8("Prénom € “q”")},
        {"utf-8 then a lone byte", "\xC3\xA9 \xE9", false, QString::fromUtf8("Ã© é")},
        {"overlong", "\xC0\xAF", false, QString::fromUtf8("À¯")},
        {"surrogate", "\xED\xA0\x80", false, QString::fromUtf8("í €")},
        {"cut inside the last character", "\xC3\xA9\xE2\x82", true, QString::fromUtf8("é")},
        {"cut, but the file ended there", "\xC3\xA9\xE2\x82", false, QString::fromUtf8("Ã©â‚")},
        {"bom wins", "\xEF\xBB\xBF\xC3\xA9", false, QString::fromUtf8("é")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(textfile::DecodeText(c.bytes, c.truncated), c.text) << c.name;
}

// Large files are decoded in two halves; the text must be the one a single pass
// gives, even where a mark or a bad byte sits right at the split.
TEST(TextFileDecoding, LargeTextsReadAsInOnePass)
{
    QByteArray utf8 = QByteArray("Pr\xC3\xA9nom \xE2\x82\xAC \xF0\x9F\x98\x80 line\n").repeated(400000);
    const qsizetype split = utf8.indexOf('\n', utf8.size() / 2) + 1;
    utf8.insert(split, "\xEF\xBB\xBF"); // a zero-width no-break space opening the second half
    const QString text = textfile::DecodeText(utf8);
    EXPECT_EQ(text, QString::fromUtf8(utf8));
    EXPECT_EQ(text.count(QChar(0xFEFF)), 1);

    QByteArray cp1252 = utf8;
    cp1252.append("Pr\xE9nom\n"); // one byte that is not UTF-8, late in the file
    EXPECT_EQ(textfile::DecodeText(cp1252), QStringDecoder("windows-1252").decode(cp1252).operator QString());

    const QByteArray ascii = QByteArray("plain line\r\n").repeated(500000);
    EXPECT_EQ(textfile::DecodeText(ascii), QString::fromLatin1(ascii));
}

TEST(CsvFileReading, CarriageReturnLineFeedAndTheirPairEndLines)
{
    EXPECT_EQ(textfile::SplitLines(u"a\rb\nc\r\nd\r\n"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(textfile::SplitLines(u"a\n\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(textfile::SplitLines(u""), QStringList());
}

TEST(CsvFileWriting, EachEncodingWithCrLfAfterEveryLine)
{
    const QStringList lines{QString::fromUtf8("é"), "x"};
    EXPECT_EQ(EncodeCSVLines(lines, CsvEncoding::Utf8WithBom), QByteArray("\xEF\xBB\xBF\xC3\xA9\r\nx\r\n"));
    EXPECT_EQ(EncodeCSVLines(lines, CsvEncoding::Utf16LeWithBom), Utf16Le(QString::fromUtf8("é\r\nx\r\n"), true));
    EXPECT_EQ(EncodeCSVLines(lines, CsvEncoding::Ansi), QByteArray("\xE9\r\nx\r\n"));
}

// Windows-1252 has no Cyrillic: rather than question marks, the file says UTF-8.
TEST(CsvFileWriting, TextOutsideTheAnsiCodePageIsKeptInUtf8)
{
    const QStringList lines{QString::fromUtf8("Дмитрий")};
    const QByteArray bytes = EncodeCSVLines(lines, CsvEncoding::Ansi);
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Дмитрий\r\n").toUtf8());

    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    ASSERT_TRUE(WriteCSVLines(path, lines, CsvEncoding::Ansi));
    EXPECT_EQ(ReadCSVLines(path), lines);
    EXPECT_FALSE(WriteCSVLines(dir.filePath("no/such/folder/out.csv"), lines, CsvEncoding::Ansi));
}

} // namespace
