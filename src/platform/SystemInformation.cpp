#include "platform/SystemInformation.h"

#include <QSysInfo>

namespace cardolin::platform {

QString OperatingSystemDescription()
{
    QString kernel = QSysInfo::kernelType();
    if (kernel == u"linux")
        kernel = QStringLiteral("Linux"); // as the kernel calls itself
    QString text = QSysInfo::prettyProductName() + QStringLiteral("; ") + kernel + u' '
                   + QSysInfo::kernelVersion() + u' ' + QSysInfo::currentCpuArchitecture();
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const QString session = qEnvironmentVariable("XDG_SESSION_TYPE");
    if (!desktop.isEmpty() || !session.isEmpty())
        text += QStringLiteral("; ") + (desktop.isEmpty() ? QStringLiteral("unknown desktop") : desktop)
                + (session.isEmpty() ? QString() : QStringLiteral(" on ") + session);
    return text;
}

} // namespace cardolin::platform
