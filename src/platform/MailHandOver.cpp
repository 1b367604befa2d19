#include "platform/MailHandOver.h"

#include <QProcess>
#include <QStringList>

namespace cardolin::platform {

bool HandMessageToMailProgram(const QString &recipients, const QString &subject, const QString &body,
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
    for (const QString &recipient : recipients.split(u';', Qt::SkipEmptyParts))
        arguments << recipient.trimmed();
    return QProcess::startDetached(QStringLiteral("xdg-email"), arguments);
}

} // namespace cardolin::platform
