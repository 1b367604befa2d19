#include "platform/MailHandOver.h"

#include <QProcess>

namespace cardolin::platform {

QStringList MailProgramArguments(const QString &recipients, const QString &subject, const QString &body,
                                 const QString &attachmentPath)
{
    QStringList arguments{QStringLiteral("--utf8")};
    if (!subject.isEmpty())
        arguments << QStringLiteral("--subject") << subject;
    if (!body.isEmpty())
        arguments << QStringLiteral("--body") << body;
    if (!attachmentPath.isEmpty())
        arguments << QStringLiteral("--attach") << attachmentPath;
    // Recipients are separate arguments; ";" is how the rest of the program joins them.
    for (const QString &recipient : recipients.split(u';', Qt::SkipEmptyParts)) {
        // An address field holding "--attach" must not become an option.
        const QString address = recipient.trimmed();
        if (!address.isEmpty() && !address.startsWith(u'-'))
            arguments << address;
    }
    return arguments;
}

bool HandMessageToMailProgram(const QString &recipients, const QString &subject, const QString &body,
                              const QString &attachmentPath)
{
    return QProcess::startDetached(QStringLiteral("xdg-email"),
                                   MailProgramArguments(recipients, subject, body, attachmentPath));
}

} // namespace cardolin::platform
