#pragma once

#include "platform/DesktopServices.h"

#include <QStringList>

namespace cardolin::testing {

// Remembers every address opened, every message handed over, and holds the
// clipboard.
class RecordingDesktop final : public platform::DesktopServices
{
public:
    struct Mail
    {
        QString recipients, subject, body, attachmentPath;
        bool attachmentExisted = false;
    };

    bool OpenAddress(const QString &address) override
    {
        opened.append(address);
        return !address.isEmpty();
    }
    bool CanOpenFile(const QString &) const override { return canOpenFiles; }
    bool ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                     const QString &attachmentPath) override;
    void SetClipboardText(const QString &text) override { clipboard = text; }
    QString ClipboardText() const override { return clipboard; }

    QStringList opened;
    QList<Mail> mails;
    QString clipboard;
    bool canOpenFiles = true;
};

} // namespace cardolin::testing

#include <QFileInfo>

inline bool cardolin::testing::RecordingDesktop::ComposeMail(const QString &recipients, const QString &subject,
                                                            const QString &body, const QString &attachmentPath)
{
    // The attachment may be deleted right after the hand-over, so whether it
    // was there is noted now.
    mails.append({recipients, subject, body, attachmentPath,
                  !attachmentPath.isEmpty() && QFileInfo::exists(attachmentPath)});
    return true;
}
