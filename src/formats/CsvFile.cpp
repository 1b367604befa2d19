#include "formats/CsvFile.h"

#include "formats/TextFiles.h"
#include "platform/FileSystem.h"
#include "platform/RegularFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <iterator>

namespace cardolin {

namespace {

const char *const kAnsiCodePage = "windows-1252";

// What Windows-1252 puts in 0x80 to 0x9F instead of control characters.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

enum class Ansi { Encoded, Impossible, Unsure };

// Windows-1252 without a converter. A character beyond Latin-1 that is not one
// of the code page's own can never come back from the bytes; only control
// characters 0x80 to 0x9F are left to the converter.
Ansi EncodeWindows1252(const QString &text, QByteArray &bytes)
{
    bytes.resize(text.size());
    char *out = bytes.data();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *out++ = char(u);
            continue;
        }
        if (u < 0xA0)
            return Ansi::Unsure;
        const char16_t *high = std::find(std::begin(kWindows1252High), std::end(kWindows1252High), u);
        if (high == std::end(kWindows1252High))
            return Ansi::Impossible;
        *out++ = char(0x80 + (high - std::begin(kWindows1252High)));
    }
    return Ansi::Encoded;
}

QByteArray EncodeAnsi(const QString &text, bool &lossless)
{
    QByteArray bytes;
    if (const Ansi fast = EncodeWindows1252(text, bytes); fast != Ansi::Unsure) {
        lossless = fast == Ansi::Encoded;
        return lossless ? bytes : QByteArray();
    }
    QStringEncoder ansi(kAnsiCodePage);
    if (!ansi.isValid()) {
        lossless = false;
        return {};
    }
    bytes = ansi.encode(text);
    QStringDecoder back(kAnsiCodePage);
    lossless = QString(back.decode(bytes)) == text;
    return bytes;
}

} // namespace

QStringList ReadCSVLines(const QString &path)
{
    QStringList lines;
    return textfile::ReadLines(path, lines) ? lines : QStringList();
}

QString ReadCSVFirstLine(const QString &path)
{
    // Every known header fits in far less; the cut only ever lands past it.
    QByteArray bytes;
    bool truncated = false;
    if (!platform::ReadRegularFileStart(path, 64 * 1024, bytes, truncated))
        return {};
    return textfile::SplitLines(textfile::DecodeText(bytes, truncated)).value(0);
}

QByteArray EncodeCSVLines(const QStringList &lines, CsvEncoding encoding)
{
    return EncodeCSVText(textfile::JoinLines(lines, QLatin1StringView("\r\n")), encoding);
}

QByteArray EncodeCSVText(const QString &text, CsvEncoding encoding)
{
    if (encoding == CsvEncoding::Ansi) {
        bool lossless = false;
        QByteArray bytes = EncodeAnsi(text, lossless);
        if (lossless)
            return bytes;
        encoding = CsvEncoding::Utf8WithBom;
    }
    if (encoding == CsvEncoding::Utf8)
        return text.toUtf8();
    const auto which = encoding == CsvEncoding::Utf8WithBom ? QStringConverter::Utf8 : QStringConverter::Utf16LE;
    QStringEncoder encoder(which, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

bool WriteCSVLines(const QString &path, const QStringList &lines, CsvEncoding encoding)
{
    return platform::SaveFile(path, EncodeCSVLines(lines, encoding));
}

QString WriteCSVText(const QString &path, const QString &text, CsvEncoding encoding)
{
    return textfile::SaveExport(path, EncodeCSVText(text, encoding));
}

} // namespace cardolin
