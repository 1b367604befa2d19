#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace cardolin {
class TQorRegistryEnhanced;
}

namespace cardolin::carddav {

// A stored CardDAV account: where the server is, who signs in, and the one
// address book a book syncs with. The password is kept apart (see below).
struct TCardDavAccount
{
    QString name;
    QString address;  // as the user typed it
    QString user;
    QString bookHref; // absolute path on the server
    QString bookName; // display name, may be empty

    QUrl BookUrl() const;
};

// Names are keys of the settings store and columns of the command line's lists.
bool IsValidCardDavAccountName(const QString &name);

QStringList StoredCardDavAccountNames(const TQorRegistryEnhanced &registry);
std::optional<TCardDavAccount> ReadCardDavAccount(const TQorRegistryEnhanced &registry, const QString &name);

// Where the password went when an account was saved.
enum class PasswordPlace { Keyring, SettingsFile, Lost };

struct TSavedAccount
{
    PasswordPlace place = PasswordPlace::Lost;
    // Said once per settings store: the first time a password has to go into
    // the settings file because no keyring answers.
    QString warning;
};

// Stores the account (replacing one of that name) with its password: in the
// session's keyring when one answers, else in the settings file. An account
// that now points at another server or address book forgets its sync states.
TSavedAccount SaveCardDavAccount(TQorRegistryEnhanced &registry, const TCardDavAccount &account,
                                 const QString &password);
// "" when none is stored.
QString ReadCardDavPassword(const TQorRegistryEnhanced &registry, const QString &name);

// Forgets the account, its password and the sync states recorded for it.
// False when no account has that name.
bool RemoveCardDavAccount(TQorRegistryEnhanced &registry, const QString &name);

// Records a folder the sync keeps the account's state in, so that removing
// the account can forget it.
void RecordSyncStateFolder(TQorRegistryEnhanced &registry, const QString &name, const QString &folder);
QStringList RecordedSyncStateFolders(const TQorRegistryEnhanced &registry, const QString &name);

} // namespace cardolin::carddav
