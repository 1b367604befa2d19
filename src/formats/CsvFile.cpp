#include "formats/CsvFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace cardolin {

namespace {

const char *const kAnsiCodePage = "windows-1252";

QString Decode(const QByteArray &bytes)
{
    if (auto encoding = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*encoding);
        QString text = decoder.decode(bytes);
        if (!text.isEmpty() && text.front() == QChar::ByteOrderMark)
            text.remove(0, 1);
        return text;
    }
    QStringDecoder ansi(kAnsiCodePage);
    return ansi.isValid() ? QString(ansi.decode(bytes)) : QString::fromLatin1(bytes);
}

QByteArray EncodeAnsi(const QString &text, bool &lossless)
{
    QStringEncoder ansi(kAnsiCodePage);
    if (!ansi.isValid()) {
        lossless = false;
        return {};
    }
    QByteArray bytes = ansi.encode(text);
    QStringDecoder back(kAnsiCodePage);
    lossless = QString(back.decode(bytes)) == text;
    return bytes;
}

} // namespace

QStringList SplitPhysicalLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList ReadCSVLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SplitPhysicalLines(Decode(file.readAll()));
}

QString ReadCSVFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Every known header fits in far less; the cut only ever lands past it.
    return SplitPhysicalLines(Decode(file.read(64 * 1024))).value(0);
}

QByteArray EncodeCSVLines(const QStringList &lines, CsvEncoding encoding)
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1StringView("\r\n");
    }
    if (encoding == CsvEncoding::Ansi) {
        bool lossless = false;
        QByteArray bytes = EncodeAnsi(text, lossless);
        if (lossless)
            return bytes;
        encoding = CsvEncoding::Utf8WithBom;
    }
    const auto which = encoding == CsvEncoding::Utf8WithBom ? QStringConverter::Utf8 : QStringConverter::Utf16LE;
    QStringEncoder encoder(which, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

bool WriteCSVLines(const QString &path, const QStringList &lines, CsvEncoding encoding)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = EncodeCSVLines(lines, encoding);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace cardolin
