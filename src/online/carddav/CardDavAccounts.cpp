#include "online/carddav/CardDavAccounts.h"

#include "online/AccountEncryption.h"
#include "online/carddav/CardDavClient.h"
#include "platform/SecretStore.h"
#include "support/QorRegistryEnhanced.h"

#include <QDir>
#include <QFileInfo>

namespace cardolin::carddav {

namespace {

const QString kAccountsKey = QStringLiteral("CardDAV Accounts");
// "Password" is a secret name: settings get, list and export leave its value out.
const QString kPassword = QStringLiteral("Password");
const QString kWarnedValue = QStringLiteral("CardDAV Accounts\\SettingsFileWarned");
const QString kStateFolders = QStringLiteral("SyncStateFolders");

QString AccountKey(const QString &name)
{
    return kAccountsKey + u'\\' + name;
}

QString ValuePath(const QString &name, const QString &value)
{
    return AccountKey(name) + u'\\' + value;
}

QString Text(const TQorRegistryEnhanced &registry, const QString &path)
{
    return registry.GetValueDefault(path, QString()).toString();
}

platform::SettingsSecretStore SettingsFile(TQorRegistryEnhanced &registry)
{
    return {registry, {&EncryptAccountSecret, &DecryptAccountSecret}};
}

platform::SettingsSecretStore SettingsFile(const TQorRegistryEnhanced &registry)
{
    return {registry, {&EncryptAccountSecret, &DecryptAccountSecret}};
}

void ForgetStateFolders(TQorRegistryEnhanced &registry, const QString &name)
{
    for (const QString &folder : RecordedSyncStateFolders(registry, name)) {
        // Only what the sync made: an absolute folder, never the root.
        const QFileInfo info(folder);
        if (info.isAbsolute() && info.isDir() && !info.isSymLink() && !QDir(folder).isRoot())
            QDir(folder).removeRecursively();
    }
    registry.DeleteValue(ValuePath(name, kStateFolders));
}

void ForgetPassword(TQorRegistryEnhanced &registry, const QString &name)
{
    if (platform::SecretStore *keyring = platform::SessionKeyring())
        keyring->Remove(AccountKey(name), kPassword);
    SettingsFile(registry).Remove(AccountKey(name), kPassword);
}

} // namespace

QUrl TCardDavAccount::BookUrl() const
{
    return AddressBookUrl(QUrl(address), bookHref);
}

bool IsValidCardDavAccountName(const QString &name)
{
    if (name.trimmed().isEmpty() || name.trimmed() != name)
        return false;
    for (const QChar c : name)
        if (c == u'\\' || c == u'/' || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QStringList StoredCardDavAccountNames(const TQorRegistryEnhanced &registry)
{
    QStringList names;
    registry.GetSubKeys(kAccountsKey, names);
    return names;
}

std::optional<TCardDavAccount> ReadCardDavAccount(const TQorRegistryEnhanced &registry, const QString &name)
{
    if (!IsValidCardDavAccountName(name) || !StoredCardDavAccountNames(registry).contains(name))
        return std::nullopt;
    return TCardDavAccount{name, Text(registry, ValuePath(name, QStringLiteral("Address"))),
                           Text(registry, ValuePath(name, QStringLiteral("User"))),
                           Text(registry, ValuePath(name, QStringLiteral("AddressBook"))),
                           Text(registry, ValuePath(name, QStringLiteral("AddressBookName")))};
}

TSavedAccount SaveCardDavAccount(TQorRegistryEnhanced &registry, const TCardDavAccount &account,
                                 const QString &password)
{
    // A state kept against another address book would make the next sync take
    // that book's cards for deleted ones.
    if (const std::optional<TCardDavAccount> before = ReadCardDavAccount(registry, account.name);
        before && before->BookUrl() != account.BookUrl())
        ForgetStateFolders(registry, account.name);
    registry.SetValue(ValuePath(account.name, QStringLiteral("Address")), account.address);
    registry.SetValue(ValuePath(account.name, QStringLiteral("User")), account.user);
    registry.SetValue(ValuePath(account.name, QStringLiteral("AddressBook")), account.bookHref);
    registry.SetValue(ValuePath(account.name, QStringLiteral("AddressBookName")), account.bookName);

    TSavedAccount saved;
    platform::SecretStore *keyring = platform::SessionKeyring();
    if (keyring && keyring->Write(AccountKey(account.name), kPassword, password)) {
        SettingsFile(registry).Remove(AccountKey(account.name), kPassword);
        saved.place = PasswordPlace::Keyring;
        return saved;
    }
    if (!SettingsFile(registry).Write(AccountKey(account.name), kPassword, password))
        return saved;
    saved.place = PasswordPlace::SettingsFile;
    if (!registry.ValueExists(kWarnedValue)) {
        registry.SetValue(kWarnedValue, 1);
        saved.warning = QStringLiteral("No keyring answered on the session bus: the password is kept in the "
                                       "settings file, protected only by that file's permissions.");
    }
    return saved;
}

// The settings file is read first: a password lands there only when the
// keyring did not take it, and the file's copy is removed whenever it does.
QString ReadCardDavPassword(const TQorRegistryEnhanced &registry, const QString &name)
{
    if (const std::optional<QString> stored = SettingsFile(registry).Read(AccountKey(name), kPassword))
        return *stored;
    platform::SecretStore *keyring = platform::SessionKeyring();
    return keyring ? keyring->Read(AccountKey(name), kPassword).value_or(QString()) : QString();
}

bool RemoveCardDavAccount(TQorRegistryEnhanced &registry, const QString &name)
{
    if (!ReadCardDavAccount(registry, name))
        return false;
    ForgetStateFolders(registry, name);
    ForgetPassword(registry, name);
    return registry.DeleteKey(AccountKey(name));
}

void RecordSyncStateFolder(TQorRegistryEnhanced &registry, const QString &name, const QString &folder)
{
    QStringList folders = RecordedSyncStateFolders(registry, name);
    if (folders.contains(folder))
        return;
    folders.append(folder);
    registry.SetValue(ValuePath(name, kStateFolders), folders.join(u'\n'));
}

QStringList RecordedSyncStateFolders(const TQorRegistryEnhanced &registry, const QString &name)
{
    return Text(registry, ValuePath(name, kStateFolders)).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace cardolin::carddav
