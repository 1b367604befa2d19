#pragma once

#include "contacts/BookLocation.h"
#include "platform/UserAccounts.h"
#include "support/FileRegistryStore.h"
#include "support/QorRegistryEnhanced.h"

#include <optional>

namespace cardolin::cli {

// The settings store and the accounts of the user who runs the tool, as the
// desktop program sees them.
class UserEnvironment
{
public:
    explicit UserEnvironment(UserPrompts &prompts);

    TQorRegistryEnhanced &Registry() { return m_registry; }
    const RegistryStore &Store() const { return m_store; }
    const TUserAccounts &Accounts() const { return m_accounts; }
    // Book paths under the storage options as they are stored now.
    TContactsBookLocator Locator() const;

private:
    platform::SystemUserDatabase m_users;
    TUserAccounts m_accounts{m_users};
    FileRegistryStore m_store;
    TQorRegistryEnhanced m_registry{m_store};
};

// True for "@NAME" and "@", which name an account's book.
bool NamesAccountBook(const QString &argument);

// The file a BOOK argument stands for: "@NAME" the book of account NAME where the
// program keeps it, "@" the current account's, anything else the path as given.
// Null after telling the user when NAME is no account.
std::optional<QString> ResolveBookArgument(const QString &argument, UserPrompts &prompts);

} // namespace cardolin::cli
