#pragma once

#include "support/QorAppUpdate.h"

#include <QString>

namespace cardolin {

// "1 KB of 2,560 KB (0%)"; the percentage is rounded to the nearest integer
// and left out while the size is only a guess.
QString DownloadTransferText(qint64 received, qint64 size, bool sizeKnown, TQorAppUpdateFileSizeUnit unit);
// "12 KB/sec": whole bytes per whole second, 0 during the first second.
QString DownloadSpeedText(qint64 received, qint64 elapsedSeconds, TQorAppUpdateFileSizeUnit unit);
// "hh:nn:ss"; hours go past 24.
QString ClockText(qint64 seconds);
// Seconds still to wait at the speed so far; 0 before anything came.
qint64 RemainingSeconds(qint64 received, qint64 size, qint64 elapsedSeconds);

// Whether the downloaded file may be opened: true without a digest to check,
// otherwise when the file's digest equals the published one (letter case ignored).
bool DownloadVerified(const QString &fileName, THashType askedHashType, const TUpdateInfo &info);

} // namespace cardolin
