#include "app/GuiDesktopServices.h"

#include "platform/MailHandOver.h"
#include "platform/SystemDesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace cardolin::app {

bool GuiDesktopServices::OpenAddress(const QString &address)
{
    // "mailto: x@y" keeps the blank after the colon as typed; the URL parser
    // would refuse it.
    QString text = address;
    if (text.startsWith(QStringLiteral("mailto: ")))
        text.remove(7, 1);
    return !text.isEmpty() && QDesktopServices::openUrl(QUrl::fromUserInput(text));
}

bool GuiDesktopServices::CanOpenFile(const QString &path) const
{
    // Qt hands local files to xdg-open as well.
    return platform::HasOpenerFor(path);
}

bool GuiDesktopServices::ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                                     const QString &attachmentPath)
{
    return platform::HandMessageToMailProgram(recipients, subject, body, attachmentPath);
}

void GuiDesktopServices::SetClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString GuiDesktopServices::ClipboardText() const
{
    return QGuiApplication::clipboard()->text();
}

} // namespace cardolin::app
