#include "platform/SystemDesktopServices.h"

#include "platform/MailHandOver.h"

#include <QProcess>

namespace cardolin::platform {

bool SystemDesktopServices::OpenAddress(const QString &address)
{
    if (address.trimmed().isEmpty())
        return false;
    // Arguments go to the program as they are: no shell ever sees the address.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

bool SystemDesktopServices::ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                                        const QString &attachmentPath)
{
    return HandMessageToMailProgram(recipients, subject, body, attachmentPath);
}

} // namespace cardolin::platform
