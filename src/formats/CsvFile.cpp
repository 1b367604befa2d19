#include "formats/CsvFile.h"

#include "formats/TextFiles.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace cardolin {

namespace {

const char *const kAnsiCodePage = "windows-1252";

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

QStringList ReadCSVLines(const QString &path)
{
    QStringList lines;
    return textfile::ReadLines(path, lines) ? lines : QStringList();
}

QString ReadCSVFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Every known header fits in far less; the cut only ever lands past it.
    const qint64 size = 64 * 1024;
    return textfile::SplitLines(textfile::DecodeText(file.read(size), file.size() > size)).value(0);
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

} // namespace cardolin
