#pragma once

#include "support/QorAppUpdate.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace cardolin {
class UserPrompts;
}

namespace cardolin::app {

// Downloads the new version with its progress, speed and times, checks its
// digest, and hands the file over for installation.
class UpdateDownloadBox : public QDialog
{
    Q_OBJECT
public:
    UpdateDownloadBox(TUpdateInfo info, TQorAppUpdateFileSizeUnit unit, THashType hashType,
                      TUpdateTransferOptions transfer, UserPrompts &prompts, QWidget *parent = nullptr);
    ~UpdateDownloadBox() override;

    // Where the file goes.
    QString DestinationFolder;
    // Whether the verified file can be handed over at all; when it cannot, the
    // user is told where it was saved and nothing closes.
    std::function<bool(const QString &)> CanInstall;
    // Called with the verified file after the user was told the program closes.
    std::function<void(const QString &)> OnReadyToInstall;

    // The whole download; true when the file was handed over.
    bool Run();
    void CancelButtonClick();
    void Timer1Timer();

    QLabel *FileLabel;
    QLabel *StatusLabel;
    QLabel *TransferLabel;
    QLabel *SpeedLabel;
    QLabel *ElapsedTimeLabel;
    QLabel *RemainingTimeLabel;
    QProgressBar *ProgressBar1;
    QPushButton *CancelButton;

protected:
    void reject() override;

private:
    bool Transfer(QIODevice &file);
    void ShowReceived(qint64 received);

    TUpdateInfo m_info;
    TQorAppUpdateFileSizeUnit m_unit;
    THashType m_hashType;
    TUpdateTransferOptions m_options;
    UserPrompts &m_prompts;
    QTimer *m_timer;
    QElapsedTimer m_started;
    std::optional<TUpdateTransfer> m_transfer;
    qint64 m_size = 0;
    bool m_sizeKnown = false;
    qint64 m_received = 0;
    int m_scale = 1; // bytes per step of the bar, which counts in int
};

} // namespace cardolin::app
