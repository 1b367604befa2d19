#include "platform/Process.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cardolin::platform {

QString ExecutableFileName()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // Without an application object (tests, fuzzers) ask the kernel.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName();
}

} // namespace cardolin::platform
