#include "cli/UserEnvironment.h"

#include "platform/SystemFolders.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

namespace cardolin::cli {

UserEnvironment::UserEnvironment(UserPrompts &prompts) : m_store(platform::SettingsStoreFileName(), prompts)
{
    m_registry.SetKey(kProgramSettingsKey);
}

TContactsBookLocator UserEnvironment::Locator() const
{
    return {m_accounts, ReadStorageSettings(m_registry)};
}

bool NamesAccountBook(const QString &argument)
{
    return argument.startsWith(u'@');
}

std::optional<QString> ResolveBookArgument(const QString &argument, UserPrompts &prompts)
{
    if (!NamesAccountBook(argument))
        return argument;
    UserEnvironment user(prompts);
    const QString name = argument.mid(1);
    const std::optional<QString> account = name.isEmpty() ? user.Accounts().CurrentAccount()
                                                          : user.Accounts().FindAccount(name);
    if (!account) {
        prompts.ShowError(QStringLiteral("There is no account \"%1\"; quillet-cli accounts lists them.").arg(name));
        return std::nullopt;
    }
    return user.Locator().GetWindowsContactsBookFileName(*account, stInherited);
}

} // namespace cardolin::cli
