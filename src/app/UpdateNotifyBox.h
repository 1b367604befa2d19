#pragma once

#include "support/QorAppUpdate.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace cardolin {
class UserPrompts;
namespace platform {
class DesktopServices;
}
} // namespace cardolin

namespace cardolin::app {

class UpdateDownloadBox;

// Tells about a newer version with its read-me and offers its download and
// its web page.
class UpdateNotifyBox : public QDialog
{
    Q_OBJECT
public:
    UpdateNotifyBox(const TUpdateInfo &info, const TQorAppUpdate &update, UserPrompts &prompts,
                    platform::DesktopServices &desktop, QWidget *parent = nullptr);

    // Where downloads go; the desktop's choice unless replaced.
    QString DownloadFolder;
    // Runs the download box; the program sets what happens with its file.
    std::function<void(UpdateDownloadBox &)> RunDownload;

    void DownloadButtonClick();
    void OpenWebPageButtonClick();

    QPlainTextEdit *ReadmeMemo;
    QPushButton *DownloadButton;
    QPushButton *OpenWebPageButton;
    QPushButton *OKButton;

private:
    TUpdateInfo m_info;
    TQorAppUpdateFileSizeUnit m_unit;
    THashType m_hashType;
    TUpdateTransferOptions m_transfer;
    UserPrompts &m_prompts;
    platform::DesktopServices &m_desktop;
};

} // namespace cardolin::app
