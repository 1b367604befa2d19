#include "platform/SystemInformation.h"

#include <QSysInfo>

namespace cardolin::platform {

QString OperatingSystemDescription()
{
    QString text = QSysInfo::prettyProductName() + QStringLiteral("; ") + QSysInfo::kernelType() + u' '
                   + QSysInfo::kernelVersion() + u' ' + QSysInfo::currentCpuArchitecture();
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const QString session = qEnvironmentVariable("XDG_SESSION_TYPE");
    if (!desktop.isEmpty() || !session.isEmpty())
        text += QStringLiteral("; ") + (desktop.isEmpty() ? QStringLiteral("unknown desktop") : desktop)
                + (session.isEmpty() ? QString() : QStringLiteral(" on ") + session);
    return text;
}

} // namespace cardolin::platform
