#pragma once

#include <QStringList>

namespace cardolin::cli {

// quillet-cli update check [--url URL]: 0 up to date, 1 a newer version is
// published, 2 the check failed.
int RunUpdateCommand(const QStringList &words, const QString &url);

} // namespace cardolin::cli
