#include "app/UpdateCommands.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/UpdateDownloadBox.h"
#include "app/UpdateNotifyBox.h"
#include "platform/DesktopServices.h"
#include "platform/SystemFolders.h"
#include "support/UserPrompts.h"

#include <QCoreApplication>

namespace cardolin::app {

UpdateCommands::UpdateCommands(MainWindow &window, TQorRegistryEnhanced &registry, UserPrompts &prompts,
                               platform::DesktopServices &desktop, std::function<QString()> bookFile)
    : m_window(window), m_registry(registry), m_prompts(prompts), m_desktop(&desktop),
      m_bookFile(std::move(bookFile))
{
    m_update.ShowNotifyBox = [this](const TUpdateInfo &info) { ShowNotifyBox(info); };
}

void UpdateCommands::CheckForUpdatesSpeedButtonClick()
{
    // The settings may have changed since the last check.
    ConfigureAppUpdate(m_update, m_registry);
    m_update.Execute(false, m_prompts, *m_desktop);
}

void UpdateCommands::ShowNotifyBox(const TUpdateInfo &info)
{
    UpdateNotifyBox box(info, m_update, m_prompts, *m_desktop, &m_window);
    box.setFont(m_window.font());
    box.RunDownload = [this](UpdateDownloadBox &download) {
        download.CanInstall = [this](const QString &fileName) { return m_desktop->CanOpenFile(fileName); };
        download.OnReadyToInstall = [this](const QString &fileName) { Install(fileName); };
        download.Run();
    };
    if (PrepareNotifyBox)
        PrepareNotifyBox(box);
    m_window.ExecDialog(box);
}

void UpdateCommands::Install(const QString &fileName)
{
    bool closed = false;
    const QMetaObject::Connection watch =
        QObject::connect(&m_window, &MainWindow::Closed, &m_window, [&closed] { closed = true; });
    m_window.ExitButtonClick();
    QObject::disconnect(watch);
    // The user may have kept the window open at the save question; the file
    // then waits in the download folder.
    if (!closed) {
        m_prompts.ShowInformation(QCoreApplication::translate("UpdateCommands", "The new version waits in \"%1\".").arg(fileName));
        return;
    }
    m_desktop->OpenAddress(fileName);
}

void UpdateCommands::AboutSpeedButtonClick()
{
    AboutBox box(platform::SettingsStoreFileName(), m_bookFile ? m_bookFile() : QString(), *m_desktop, &m_window);
    m_window.ExecDialog(box);
}

} // namespace cardolin::app
