#pragma once

#include "platform/DesktopServices.h"

namespace cardolin::platform {

// Whether xdg-open is there and the desktop names a program for the file's
// type; without either, opening the file would come to nothing.
bool HasOpenerFor(const QString &path);

// The desktop as the freedesktop.org tools reach it: xdg-open and xdg-email,
// started detached. The clipboard is kept in memory; the desktop program
// overrides it with the real one.
class SystemDesktopServices : public DesktopServices
{
public:
    SystemDesktopServices() = default;

    bool OpenAddress(const QString &address) override;
    bool CanOpenFile(const QString &path) const override { return HasOpenerFor(path); }
    bool ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                     const QString &attachmentPath) override;
    void SetClipboardText(const QString &text) override { m_clipboard = text; }
    QString ClipboardText() const override { return m_clipboard; }

private:
    QString m_clipboard;
};

} // namespace cardolin::platform
