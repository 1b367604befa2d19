#include "app/UpdateDownloadBox.h"

#include "platform/FileSystem.h"
#include "support/UpdateDownload.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace cardolin::app {

namespace {

QLabel *ValueLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

UpdateDownloadBox::UpdateDownloadBox(TUpdateInfo info, TQorAppUpdateFileSizeUnit unit, THashType hashType,
                                     TUpdateTransferOptions transfer, UserPrompts &prompts, QWidget *parent)
    : QDialog(parent),
      FileLabel(ValueLabel(this, QStringLiteral("FileLabel"), QString())),
      StatusLabel(ValueLabel(this, QStringLiteral("StatusLabel"), tr("Downloading file"))),
      TransferLabel(ValueLabel(this, QStringLiteral("TransferLabel"), tr("0 KB of 0 KB"))),
      SpeedLabel(ValueLabel(this, QStringLiteral("SpeedLabel"), tr("0 KB/sec"))),
      ElapsedTimeLabel(ValueLabel(this, QStringLiteral("ElapsedTimeLabel"), QStringLiteral("00:00:00"))),
      RemainingTimeLabel(ValueLabel(this, QStringLiteral("RemainingTimeLabel"), QStringLiteral("00:00:00"))),
      ProgressBar1(new QProgressBar(this)), CancelButton(new QPushButton(tr("Cancel"), this)),
      m_info(std::move(info)), m_unit(unit), m_hashType(hashType), m_options(std::move(transfer)),
      m_prompts(prompts), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("QorAppUpdateDownloadBox"));
    setWindowTitle(tr("Download New Version"));
    m_options.AllowUserInput = true; // Cancel must answer during the transfer
    auto *form = new QFormLayout;
    form->addRow(tr("File :"), FileLabel);
    form->addRow(tr("Status :"), StatusLabel);
    form->addRow(tr("Transfer :"), TransferLabel);
    form->addRow(tr("Speed :"), SpeedLabel);
    form->addRow(tr("Elapsed Time :"), ElapsedTimeLabel);
    form->addRow(tr("Remaining Time :"), RemainingTimeLabel);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &UpdateDownloadBox::Timer1Timer);
    connect(CancelButton, &QPushButton::clicked, this, &UpdateDownloadBox::CancelButtonClick);
}

UpdateDownloadBox::~UpdateDownloadBox() = default;

void UpdateDownloadBox::reject()
{
    // Escape and the window's close button mean Cancel while the transfer runs.
    if (CancelButton->isEnabled() && m_transfer)
        CancelButtonClick();
    else if (!m_transfer)
        QDialog::reject();
}

bool UpdateDownloadBox::Run()
{
    const QString fileName = UpdateSourceFileName(m_info.DownloadFileURL);
    if (fileName.isEmpty()) {
        m_prompts.ShowError(InvalidSourceMessage(m_info.DownloadFileURL));
        return false;
    }
    FileLabel->setText(fileName);
    const QString path = DestinationFolder + u'/' + fileName;
    StatusLabel->setText(tr("Getting file information"));
    m_transfer.emplace(m_options);
    m_size = m_transfer->QuerySize(m_info.DownloadFileURL);
    // A refused size request is said, not passed over in silence.
    if (m_size <= 0) {
        m_prompts.ShowError(m_size < 0 ? m_transfer->FailureText() : tr("The file to download is empty."));
        m_transfer.reset();
        return false;
    }
    // The installer may take long: the user's Cancel ends it, not a deadline.
    TUpdateTransferOptions download = m_options;
    download.DeadlineMs = 0;
    m_transfer.emplace(download);
    // The file appears under its name only once complete; a failed or
    // cancelled download leaves nothing behind.
    bool transferred = false;
    const bool saved = platform::SaveFile(path, [&](QIODevice &file) { return transferred = Transfer(file); });
    m_transfer.reset();
    hide();
    if (!saved) {
        if (transferred)
            m_prompts.ShowError(tr("The file %1 could not be saved.").arg(path));
        return false;
    }
    if (!DownloadVerified(path, m_hashType, m_info)) {
        QFile::remove(path);
        m_prompts.ShowError(tr("The downloaded file is corrupted."));
        return false;
    }
    if (CanInstall && !CanInstall(path)) {
        m_prompts.ShowWarning(tr("The new version was saved as \"%1\", but no program of this system can open "
                                 "it. Install it from there; the application keeps running.")
                                  .arg(path));
        return false;
    }
    m_prompts.ShowInformation(tr("The application will close to start the update."));
    if (OnReadyToInstall)
        OnReadyToInstall(path);
    return true;
}

bool UpdateDownloadBox::Transfer(QIODevice &file)
{
    m_sizeKnown = m_size != kUnknownDownloadSize;
    m_scale = m_size > INT_MAX ? 1024 : 1;
    ProgressBar1->setRange(0, int(m_size / m_scale));
    StatusLabel->setText(m_options.ProxyAddress.isEmpty()
                             ? tr("Downloading file")
                             : tr("Downloading file using proxy server (%1:%2)")
                                   .arg(m_options.ProxyAddress)
                                   .arg(m_options.ProxyPort));
    TransferLabel->setText(DownloadTransferText(0, m_size, true, m_unit));
    CancelButton->setEnabled(true);
    m_timer->start();
    m_started.start();
    setWindowModality(Qt::ApplicationModal);
    show();
    bool ok = m_transfer->Fetch(m_info.DownloadFileURL, file, [this](qint64 received) { ShowReceived(received); });
    if (ok) {
        m_size = file.size();
        m_sizeKnown = true;
        ShowReceived(m_size);
    } else if (!m_transfer->Cancelled()) {
        StatusLabel->setText(m_transfer->FailureText());
        m_prompts.ShowError(m_transfer->FailureText());
    }
    if (CancelButton->isEnabled())
        CancelButton->setEnabled(false);
    else
        ok = false;
    m_timer->stop();
    ProgressBar1->setValue(ProgressBar1->maximum());
    return ok;
}

void UpdateDownloadBox::ShowReceived(qint64 received)
{
    m_received = received;
    ProgressBar1->setValue(int(std::min(received, m_size) / m_scale));
    if (m_sizeKnown)
        TransferLabel->setText(DownloadTransferText(received, m_size, true, m_unit));
}

void UpdateDownloadBox::CancelButtonClick()
{
    if (!CancelButton->isEnabled() || !m_prompts.AskYesNo(tr("Do you want to cancel the download?")))
        return;
    if (m_transfer)
        m_transfer->Cancel();
    CancelButton->setEnabled(false);
    m_timer->stop();
    m_prompts.ShowError(tr("The update was not completed."));
}

void UpdateDownloadBox::Timer1Timer()
{
    const qint64 elapsed = m_started.isValid() ? m_started.elapsed() / 1000 : 0;
    SpeedLabel->setText(DownloadSpeedText(m_received, elapsed, m_unit));
    ElapsedTimeLabel->setText(ClockText(elapsed));
    if (m_received > 0)
        RemainingTimeLabel->setText(ClockText(RemainingSeconds(m_received, m_size, elapsed)));
}

} // namespace cardolin::app
