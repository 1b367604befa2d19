#pragma once

#include <QStringList>

namespace cardolin::platform {

// Hands a new message to the desktop's mail program through xdg-email, which
// opens its compose window; each part is left out when empty. False when the
// hand-over could not be started.
bool HandMessageToMailProgram(const QString &recipients, const QString &subject, const QString &body,
                              const QString &attachmentPath);

// The xdg-email arguments of such a message; recipients are joined by ";".
QStringList MailProgramArguments(const QString &recipients, const QString &subject, const QString &body,
                                 const QString &attachmentPath);

} // namespace cardolin::platform
