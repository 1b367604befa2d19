#include "formats/TextFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace cardolin::textfile {

namespace {

QString Decode(const QByteArray &bytes)
{
    if (auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

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

bool ReadLines(const QString &path, QStringList &lines, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return false;
    lines = SplitLines(Decode(file.readAll()));
    return true;
}

bool WriteLines(const QString &path, const QStringList &lines, Encoding encoding)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1StringView("\r\n");
    QByteArray bytes = encoding == Encoding::Utf8WithBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace cardolin::textfile
