#include "app/DesktopSession.h"

#include "platform/SystemFolders.h"
#include "support/SettingsTable.h"

namespace cardolin::app {

DesktopSession::DesktopSession()
    : m_store(platform::SettingsStoreFileName(), m_prompts), m_registry(m_store),
      m_window({m_registry, m_accounts, m_prompts})
{
    m_registry.SetKey(kProgramSettingsKey);
    m_prompts.SetParent(&m_window);
}

void DesktopSession::Start(const QStringList &arguments)
{
    m_window.FormCreate();
    m_window.ActivateOptions();
    m_window.show();
    m_window.FirstLoad(arguments);
}

} // namespace cardolin::app
