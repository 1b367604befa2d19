#include "app/UpdatePictures.h"

#include "app/WidgetPictures.h"

#include "app/AboutBox.h"
#include "app/UpdateDownloadBox.h"
#include "app/UpdateNotifyBox.h"
#include "platform/DesktopServices.h"
#include "platform/SystemFolders.h"
#include "support/UpdateDownload.h"
#include "support/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

namespace cardolin::app {

namespace {

TUpdateInfo SampleInfo()
{
    TUpdateInfo info;
    info.Version = QStringLiteral("1.02.09");
    info.DownloadFileURL = QStringLiteral("https://velmora.example/velmora/cardolin_1.02.09_amd64.deb");
    info.UpdatePageURL = QStringLiteral("https://velmora.example/velmora/");
    info.Readme = QStringLiteral("Cardolin 1.02.09\n\n"
                                 "- Imports Thunderbird address books.\n"
                                 "- The Options dialog remembers the proxy server.\n"
                                 "- Fixes the sort order of names with accents.\n");
    return info;
}

} // namespace

int SaveUpdateDialogPictures(const QString &folder)
{
    QDir().mkpath(folder);
    platform::NoDesktopServices desktop;
    int failures = 0;

    AboutBox about(platform::SettingsStoreFileName(), QDir::homePath() + QStringLiteral("/Contacts/demo.qcb"),
                   desktop);
    failures += !SaveWidgetPicture(about, folder + QStringLiteral("/about.png"));

    TQorAppUpdate update;
    update.FileSizeUnit = TQorAppUpdateFileSizeUnit::KiloBytes;
    const TUpdateInfo info = SampleInfo();
    UpdateNotifyBox notify(info, update, SilentPrompts::Instance(), desktop);
    failures += !SaveWidgetPicture(notify, folder + QStringLiteral("/update-notify.png"));

    // The download box halfway through a transfer.
    UpdateDownloadBox download(info, update.FileSizeUnit, update.HashType, update.TransferOptions(),
                               SilentPrompts::Instance());
    const qint64 size = 2621440, received = 1310720, elapsed = 4;
    download.FileLabel->setText(QStringLiteral("cardolin_1.02.09_amd64.deb"));
    download.TransferLabel->setText(DownloadTransferText(received, size, true, update.FileSizeUnit));
    download.SpeedLabel->setText(DownloadSpeedText(received, elapsed, update.FileSizeUnit));
    download.ElapsedTimeLabel->setText(ClockText(elapsed));
    download.RemainingTimeLabel->setText(ClockText(RemainingSeconds(received, size, elapsed)));
    download.ProgressBar1->setRange(0, int(size));
    download.ProgressBar1->setValue(int(received));
    failures += !SaveWidgetPicture(download, folder + QStringLiteral("/update-download.png"));
    return failures;
}

} // namespace cardolin::app
