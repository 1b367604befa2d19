#include "platform/SystemDesktopServices.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace cardolin::platform {

bool SystemDesktopServices::OpenAddress(const QString &address)
{
    if (address.trimmed().isEmpty())
        return false;
    // Arguments go to the program as they are: no shell ever sees the address.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

QStringList SystemDesktopServices::MailArguments(const QString &recipients, const QString &subject,
                                                 const QString &body, const QString &attachmentPath)
{
    QStringList arguments{QStringLiteral("--utf8")};
    if (!subject.isEmpty())
        arguments << QStringLiteral("--subject") << subject;
    if (!body.isEmpty())
        arguments << QStringLiteral("--body") << body;
    if (!attachmentPath.isEmpty())
        arguments << QStringLiteral("--attach") << attachmentPath;
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    for (const QString &recipient : recipients.split(separators, Qt::SkipEmptyParts)) {
        // A "recipient" starting with "-" would be read as an option.
        const QString address = recipient.trimmed();
        if (!address.isEmpty() && !address.startsWith(u'-'))
            arguments << address;
    }
    return arguments;
}

bool SystemDesktopServices::ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                                        const QString &attachmentPath)
{
    return QProcess::startDetached(QStringLiteral("xdg-email"),
                                   MailArguments(recipients, subject, body, attachmentPath));
}

} // namespace cardolin::platform
