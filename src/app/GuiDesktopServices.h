#pragma once

#include "platform/DesktopServices.h"

namespace cardolin::app {

// The desktop as the windows reach it: the system's handlers for addresses,
// its mail program, and the real clipboard.
class GuiDesktopServices final : public platform::DesktopServices
{
public:
    bool OpenAddress(const QString &address) override;
    bool CanOpenFile(const QString &path) const override;
    bool ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                     const QString &attachmentPath) override;
    void SetClipboardText(const QString &text) override;
    QString ClipboardText() const override;
};

} // namespace cardolin::app
