#include "ReadLimits.h"

namespace cardolin::limits {
namespace {

QString SizeText(qint64 bytes)
{
    if (bytes >= (qint64(1) << 30) && bytes % (qint64(1) << 30) == 0)
        return QStringLiteral("%1 GiB").arg(bytes >> 30);
    if (bytes >= (qint64(1) << 20) && bytes % (qint64(1) << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace

QString TooManyMessage(const QString &what, qint64 limit)
{
    return QStringLiteral("The file has more than %1 %2 (the most Cardolin reads).").arg(limit).arg(what);
}

QString TooLongMessage(const QString &what, qint64 limitBytes)
{
    return QStringLiteral("%1 is larger than %2 (the largest Cardolin reads).").arg(what, SizeText(limitBytes));
}

QString TooDeepMessage(const QString &what, int limit)
{
    return QStringLiteral("%1 is nested deeper than %2 levels (the deepest Cardolin reads).").arg(what).arg(limit);
}

QString EchoText(QStringView record)
{
    QString out;
    out.reserve(qMin(record.size(), kMaxEchoCharacters) + 40);
    qsizetype i = 0;
    for (; i < record.size() && out.size() < kMaxEchoCharacters; ++i) {
        const QChar c = record[i];
        if (c == QLatin1Char('\n'))
            out += QLatin1StringView("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1StringView("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1StringView("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f || (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (i < record.size())
        out += QStringLiteral("... (%1 characters in all)").arg(record.size());
    return out;
}

} // namespace cardolin::limits
