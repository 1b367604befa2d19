#include "support/UpdateDownload.h"

#include <QLocale>

#include <cmath>

namespace cardolin {

QString DownloadTransferText(qint64 received, qint64 size, bool sizeKnown, TQorAppUpdateFileSizeUnit unit)
{
    QString text = FormatFileSize(received, unit) + QStringLiteral(" of ") + FormatFileSize(size, unit);
    if (sizeKnown && size > 0)
        text += QStringLiteral(" (%1%)").arg(std::llround(double(received) / double(size) * 100.0));
    return text;
}

QString DownloadSpeedText(qint64 received, qint64 elapsedSeconds, TQorAppUpdateFileSizeUnit unit)
{
    return FormatFileSize(elapsedSeconds >= 1 ? received / elapsedSeconds : 0, unit) + QStringLiteral("/sec");
}

QString ClockText(qint64 seconds)
{
    seconds = std::max<qint64>(seconds, 0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

qint64 RemainingSeconds(qint64 received, qint64 size, qint64 elapsedSeconds)
{
    if (received <= 0 || received >= size)
        return 0;
    return (size - received) * elapsedSeconds / received;
}

bool DownloadVerified(const QString &fileName, THashType askedHashType, const TUpdateInfo &info)
{
    const THashType type = EffectiveHashType(askedHashType, info);
    if (type == THashType::htNone)
        return true;
    const QString expected = ExpectedDigest(type, info).trimmed();
    return !expected.isEmpty() && FileDigest(fileName, type) == expected;
}

} // namespace cardolin
