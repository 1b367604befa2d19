#pragma once

#include "support/QorAppUpdate.h"

#include <QString>

#include <functional>

namespace cardolin {
class TQorRegistryEnhanced;
class UserPrompts;
namespace platform {
class DesktopServices;
}
} // namespace cardolin

namespace cardolin::app {

class MainWindow;
class UpdateNotifyBox;

// The main window's "Check for Updates" and "About".
class UpdateCommands
{
public:
    UpdateCommands(MainWindow &window, TQorRegistryEnhanced &registry, UserPrompts &prompts,
                   platform::DesktopServices &desktop, std::function<QString()> bookFile);

    void SetDesktop(platform::DesktopServices &desktop) { m_desktop = &desktop; }
    TQorAppUpdate &QorAppUpdate1() { return m_update; }
    // Lets tests change the notify box (where it downloads to) before it shows.
    std::function<void(UpdateNotifyBox &)> PrepareNotifyBox;

    void CheckForUpdatesSpeedButtonClick();
    void AboutSpeedButtonClick();

private:
    void ShowNotifyBox(const TUpdateInfo &info);
    // Closes the program the usual way and opens the file with the system.
    void Install(const QString &fileName);

    MainWindow &m_window;
    TQorRegistryEnhanced &m_registry;
    UserPrompts &m_prompts;
    platform::DesktopServices *m_desktop;
    std::function<QString()> m_bookFile;
    TQorAppUpdate m_update;
};

} // namespace cardolin::app
