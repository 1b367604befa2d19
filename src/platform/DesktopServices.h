#pragma once

#include <QString>

namespace cardolin::platform {

// What the program asks of the desktop: opening addresses and documents,
// handing a message to the mail client, and the clipboard. Everything that
// leaves the program this way goes through one object, so tests can record it.
class DesktopServices
{
public:
    virtual ~DesktopServices() = default;

    // Opens a web address, a "mailto:" or "callto:" address or a document with
    // the desktop's handler; false when it refused or the text was empty.
    virtual bool OpenAddress(const QString &address) = 0;
    // Whether OpenAddress could hand this file to a program of the desktop;
    // asked before anything is given up for the opening (the program closing).
    virtual bool CanOpenFile(const QString &path) const = 0;
    // Opens the mail client's compose window with a new message; recipient,
    // subject, body and attachment are each left out when empty.
    virtual bool ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                             const QString &attachmentPath) = 0;
    virtual void SetClipboardText(const QString &text) = 0;
    virtual QString ClipboardText() const = 0;
};

// Says and does nothing: the default until a front end installs its own.
class NoDesktopServices final : public DesktopServices
{
public:
    bool OpenAddress(const QString &) override { return false; }
    bool CanOpenFile(const QString &) const override { return false; }
    bool ComposeMail(const QString &, const QString &, const QString &, const QString &) override { return false; }
    void SetClipboardText(const QString &text) override { m_clipboard = text; }
    QString ClipboardText() const override { return m_clipboard; }

private:
    QString m_clipboard;
};

} // namespace cardolin::platform
