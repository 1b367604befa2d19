#include "platform/Process.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cardolin::platform {

QString ExecutableFilePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    // Without an application object (tests, fuzzers) ask the kernel.
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString ExecutableFileName()
{
    return QFileInfo(ExecutableFilePath()).fileName();
}

} // namespace cardolin::platform
