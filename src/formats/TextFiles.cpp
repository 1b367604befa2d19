#include "formats/TextFiles.h"

#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "support/ReadLimits.h"
#include "support/TwoHalves.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstring>

namespace cardolin::textfile {

namespace {

enum class Utf8Check { Ascii, Valid, Invalid };

// Length of the sequence a lead byte starts, and the range its second byte must
// fall in (which rules out overlong forms and surrogates); 0 for a byte that
// cannot lead.
int SequenceLength(uchar lead, uchar &low, uchar &high)
{
    low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF) {
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
        return 4;
    }
    return 0;
}

Utf8Check CheckUtf8Run(QByteArrayView bytes, bool truncated)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    bool ascii = true;
    for (qsizetype i = 0; i < size;) {
        // Plain ASCII goes eight bytes at a time.
        std::uint64_t word;
        if (i + 8 <= size && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        ascii = false;
        uchar low = 0, high = 0;
        const int length = SequenceLength(p[i], low, high);
        if (length == 0)
            return Utf8Check::Invalid;
        for (int k = 1; k < length; ++k) {
            if (i + k == size)
                return truncated ? Utf8Check::Valid : Utf8Check::Invalid;
            const uchar c = p[i + k];
            if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF))
                return Utf8Check::Invalid;
        }
        i += length;
    }
    return ascii ? Utf8Check::Ascii : Utf8Check::Valid;
}

// Large texts are checked and decoded in two halves on two threads, split just
// after a line feed so that no character is cut; 0 where they are not.
constexpr qsizetype kBytesWorthAThread = qsizetype(4) << 20;

qsizetype HalvesSplit(QByteArrayView bytes)
{
    return bytes.size() >= kBytesWorthAThread ? bytes.indexOf('\n', bytes.size() / 2) + 1 : 0;
}

Utf8Check CheckUtf8(QByteArrayView bytes, bool truncated)
{
    const qsizetype split = HalvesSplit(bytes);
    if (split <= 0)
        return CheckUtf8Run(bytes, truncated);
    Utf8Check first{}, second{};
    RunBoth([&] { first = CheckUtf8Run(bytes.first(split), false); },
            [&] { second = CheckUtf8Run(bytes.sliced(split), truncated); },
            SecondThreadPays(true));
    if (first == Utf8Check::Invalid || second == Utf8Check::Invalid)
        return Utf8Check::Invalid;
    return first == Utf8Check::Ascii && second == Utf8Check::Ascii ? Utf8Check::Ascii : Utf8Check::Valid;
}

// UTF-8 never takes fewer bytes than UTF-16 takes units, so the second half is
// decoded past the first's longest possible end, then moved down once.
QString DecodeUtf8(QByteArrayView bytes)
{
    const qsizetype split = HalvesSplit(bytes);
    if (split <= 0)
        return QStringDecoder(QStringDecoder::Utf8).decode(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *const begin = text.data();
    QChar *firstEnd = begin, *secondEnd = begin + split;
    RunBoth([&] { firstEnd = QStringDecoder(QStringDecoder::Utf8).appendToBuffer(begin, bytes.first(split)); },
            [&] {
                // Only the text's very first character may be a byte-order mark to drop.
                QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
                secondEnd = decoder.appendToBuffer(begin + split, bytes.sliced(split));
            },
            SecondThreadPays(true));
    const qsizetype secondSize = secondEnd - (begin + split);
    std::memmove(firstEnd, begin + split, size_t(secondSize) * sizeof(QChar));
    text.truncate((firstEnd - begin) + secondSize);
    return text;
}

} // namespace

QString DecodeText(QByteArrayView bytes, bool truncated)
{
    if (auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    switch (CheckUtf8(bytes, truncated)) {
    case Utf8Check::Ascii:
        return QString::fromLatin1(bytes);
    case Utf8Check::Valid:
        return DecodeUtf8(bytes);
    case Utf8Check::Invalid:
        break;
    }
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? QString(ansi.decode(bytes)) : QString::fromLatin1(bytes);
}

QStringList SplitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

QStringList SplitValueLines(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return {text};
    QStringList lines = SplitLines(text);
    if (text.isEmpty() || text.endsWith(u'\r') || text.endsWith(u'\n'))
        lines.append(QString());
    return lines;
}

bool ReadImportBytes(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    switch (platform::ReadRegularFile(path, maxBytes, bytes, error)) {
    case platform::FileRead::Read:
        return true;
    case platform::FileRead::TooLarge:
        error = limits::TooLongMessage(QStringLiteral("The file"), maxBytes);
        return false;
    case platform::FileRead::Refused:
        break;
    }
    return false;
}

bool ReadLines(const QString &path, QStringList &lines, qint64 maxBytes)
{
    QByteArray bytes;
    QString error;
    if (!ReadImportBytes(path, maxBytes, bytes, error))
        return false;
    lines = SplitLines(DecodeText(bytes));
    return true;
}

QString JoinLines(const QStringList &lines, QLatin1StringView lineEnd)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + lineEnd.size();
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

QString SaveExport(const QString &path, const QByteArray &bytes)
{
    QString reason;
    platform::SaveOptions options;
    options.error = &reason;
    if (platform::SaveFile(path, bytes, options))
        return {};
    return reason.isEmpty() ? QStringLiteral("Cannot save \"%1\".").arg(path)
                            : QStringLiteral("Cannot save \"%1\": %2.").arg(path, reason);
}

QString SaveLines(const QString &path, const QStringList &lines, Encoding encoding, QLatin1StringView lineEnd)
{
    const QString text = JoinLines(lines, lineEnd);
    QByteArray bytes = encoding == Encoding::Utf8WithBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += text.toUtf8();
    return SaveExport(path, bytes);
}

} // namespace cardolin::textfile
