#pragma once

#include "app/MainWindow.h"
#include "app/WidgetPrompts.h"
#include "contacts/BookLocation.h"
#include "platform/UserAccounts.h"
#include "support/FileRegistryStore.h"
#include "support/QorRegistryEnhanced.h"

namespace cardolin::app {

// The running program: the user's settings store and accounts, and the main
// window over them, started in the order the program starts.
class DesktopSession
{
public:
    DesktopSession();

    MainWindow &Window() { return m_window; }
    // Start-up, then the window is shown and the first book loaded.
    void Start(const QStringList &arguments);

private:
    WidgetPrompts m_prompts;
    FileRegistryStore m_store;
    TQorRegistryEnhanced m_registry;
    platform::SystemUserDatabase m_users;
    TUserAccounts m_accounts{m_users};
    MainWindow m_window;
};

} // namespace cardolin::app
