#pragma once

#include <QStringList>

#include <optional>

namespace cardolin {

class TQorRegistryEnhanced;
namespace platform {
class UserDatabase;
}

// stUser keeps each account's book in its own profile, stCommon all books in the
// shared library folder, stInherited follows the current options.
enum TStorageType { stCommon = 0, stInherited = 1, stUser = 2 };

struct TStorageSettings
{
    bool StoreUserContactsBookInUserContactsFolder = true;
    QString CommonContactsBookLibrary;
    bool UseDisplayNameAsWindowsUserAccountForStorage = false;
    friend bool operator==(const TStorageSettings &, const TStorageSettings &) = default;
};

TStorageSettings ReadStorageSettings(const TQorRegistryEnhanced &registry);

// The accounts of the machine as the program sees them: the folders beside the
// current user's profile folder (normally those under /home), each named after
// its folder. A profile directly under / (the root user) stands alone.
class TUserAccounts
{
public:
    explicit TUserAccounts(const platform::UserDatabase &users) : m_users(users) {}

    QString ProfilesRoot() const;
    QString CurrentAccount() const;
    // Sorted by name; hidden folders are left out.
    QStringList Accounts() const;
    // Fills list with the account names and returns their count.
    int ListAccounts(QStringList &list) const;
    // The spelling in the list of the account called name (letter case aside).
    std::optional<QString> FindAccount(const QString &name) const;
    // The user database's full name of name, or name itself when it has none.
    QString DisplayName(const QString &name) const;
    QString LogonName() const;

private:
    bool ProfileAtTop() const;

    const platform::UserDatabase &m_users;
};

// Where each account's book lives under one set of storage settings. Reads the
// file system, changes nothing.
class TContactsBookLocator
{
public:
    TContactsBookLocator(const TUserAccounts &accounts, TStorageSettings settings)
        : m_accounts(accounts), m_settings(std::move(settings))
    {
    }

    const TStorageSettings &Settings() const { return m_settings; }
    // stInherited resolved: the library only while the user-folder option is off
    // and the library folder exists.
    TStorageType EffectiveStorageType(TStorageType AStorageType) const;
    QString GetWindowsContactsBookFileName(const QString &UserName, TStorageType AStorageType) const;
    // The book's path had the display-name option the other way.
    QString BookUnderOtherName(const QString &UserName) const;

private:
    QString BookName(const QString &name) const;

    const TUserAccounts &m_accounts;
    TStorageSettings m_settings;
};

// The account a book path given at start names: "…/ann.qcb" names ann. Empty
// when the arguments are no ".qcb" path or name no account.
QString AccountOfBookArguments(const QStringList &arguments, const TUserAccounts &accounts);

} // namespace cardolin
