#include "online/StoredGoogleAccounts.h"

#include "online/AccountEncryption.h"
#include "platform/SecretStore.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

namespace cardolin {

namespace {

QString AccountsKey()
{
    return Setting(SettingId::GoogleAccounts).path;
}

const char *const kSecretNames[] = {"GoogleGeocodingKey", "GoogleRefreshToken"};

QString AccountService(const QString &account)
{
    return AccountsKey() + u'\\' + account;
}

platform::SettingsSecretStore SettingsFile(TQorRegistryEnhanced &registry)
{
    return {registry, {&EncryptAccountSecret, &DecryptAccountSecret}};
}

platform::SettingsSecretStore SettingsFile(const TQorRegistryEnhanced &registry)
{
    return {registry, {&EncryptAccountSecret, &DecryptAccountSecret}};
}

QString FileSecret(const TQorRegistryEnhanced &registry, const QString &account, const char *value)
{
    return SettingsFile(registry).Read(AccountService(account), QLatin1StringView(value)).value_or(QString());
}

// A value left in the settings file is newer than the keyring's: whenever the
// keyring takes a secret, the file's copy is emptied. So the file is read
// first, and the keyring only where the file holds nothing.
QString ReadSecret(const TQorRegistryEnhanced &registry, const QString &account, const char *value)
{
    if (QString stored = FileSecret(registry, account, value); !stored.isEmpty())
        return stored;
    platform::SecretStore *keyring = platform::SessionKeyring();
    return keyring ? keyring->Read(AccountService(account), QLatin1StringView(value)).value_or(QString()) : QString();
}

// The settings file keeps an empty value even then, so the account stays listed.
void WriteSecret(TQorRegistryEnhanced &registry, const QString &account, const char *value, const QString &secret)
{
    const QString name = QLatin1StringView(value);
    QString forFile = secret;
    if (platform::SecretStore *keyring = platform::SessionKeyring()) {
        const bool kept = secret.isEmpty() ? keyring->Remove(AccountService(account), name)
                                           : keyring->Write(AccountService(account), name, secret);
        if (kept)
            forFile.clear();
    }
    SettingsFile(registry).Write(AccountService(account), name, forFile);
}

void ForgetKeyringSecrets(const QStringList &accounts)
{
    platform::SecretStore *keyring = platform::SessionKeyring();
    if (!keyring)
        return;
    for (const QString &account : accounts)
        for (const char *value : kSecretNames)
            keyring->Remove(AccountService(account), QLatin1StringView(value));
}

// Moves what an earlier run left in the settings file into the keyring.
void MoveSecretsToKeyring(TQorRegistryEnhanced &registry, const QStringList &accounts)
{
    if (!platform::SessionKeyring())
        return;
    for (const QString &account : accounts)
        for (const char *value : kSecretNames)
            if (const QString secret = FileSecret(registry, account, value); !secret.isEmpty())
                WriteSecret(registry, account, value, secret);
}

// Values named after accounts directly under the accounts key: the layout
// before one key per account. Their tokens were kept by an algorithm whose
// constants this program does not have, so only the names survive.
void ConvertLegacyValues(TQorRegistryEnhanced &registry)
{
    QStringList names;
    registry.GetValueNames(AccountsKey(), names);
    for (const QString &name : names) {
        registry.DeleteValue(AccountsKey() + u'\\' + name);
        if (!name.isEmpty() && !name.contains(u'\\'))
            WriteSecret(registry, name, "GoogleRefreshToken", QString());
    }
}

QString DefaultAccountName(const TQorRegistryEnhanced &registry)
{
    const QString name = ReadTextSetting(registry, SettingId::DefaultGoogleAccount);
    return name.isEmpty() ? GetDefaultGoogleAccount() : name;
}

} // namespace

QString GetDefaultGoogleAccount()
{
    return {};
}

QString ReadGoogleRefreshToken(const TQorRegistryEnhanced &registry, const QString &account)
{
    return ReadSecret(registry, account, "GoogleRefreshToken");
}

QString ReadGoogleGeocodingKey(const TQorRegistryEnhanced &registry, const QString &account)
{
    return ReadSecret(registry, account, "GoogleGeocodingKey");
}

QString ReadDefaultGoogleGeocodingKey(const TQorRegistryEnhanced &registry)
{
    const QString name = DefaultAccountName(registry);
    return name.isEmpty() ? QString() : ReadGoogleGeocodingKey(registry, name);
}

QString GeocodingKeyFromEnvironment()
{
    return qEnvironmentVariable("CARDOLIN_GEOCODING_KEY");
}

QString DefaultGeocodingKey(const TQorRegistryEnhanced &registry)
{
    const QString environment = GeocodingKeyFromEnvironment();
    return environment.isEmpty() ? ReadDefaultGoogleGeocodingKey(registry) : environment;
}

void WriteGoogleRefreshToken(TQorRegistryEnhanced &registry, const QString &account, const QString &token)
{
    WriteSecret(registry, account, "GoogleRefreshToken", token);
}

QStringList StoredGoogleAccountNames(const TQorRegistryEnhanced &registry)
{
    QStringList names;
    registry.GetSubKeys(AccountsKey(), names);
    return names;
}

std::vector<TGoogleAccountData> ReadGoogleAccounts(const TQorRegistryEnhanced &registry, const QStringList &names)
{
    std::vector<TGoogleAccountData> rows;
    for (const QString &name : names)
        rows.push_back({name, ReadGoogleGeocodingKey(registry, name), ReadGoogleRefreshToken(registry, name)});
    return rows;
}

TGoogleAccountChoice LoadGoogleAccounts(TQorRegistryEnhanced &registry)
{
    ConvertLegacyValues(registry);
    TGoogleAccountChoice choice;
    choice.Accounts = StoredGoogleAccountNames(registry);
    MoveSecretsToKeyring(registry, choice.Accounts);
    const QString name = DefaultAccountName(registry);
    if (choice.Accounts.isEmpty() && !name.isEmpty())
        choice.Accounts.append(name);
    if (choice.Accounts.contains(name))
        choice.Selected = name;
    choice.GeocodingKey = DefaultGeocodingKey(registry);
    return choice;
}

QString SaveGoogleAccounts(TQorRegistryEnhanced &registry, const std::vector<TGoogleAccountData> &rows,
                           const QString &selected)
{
    QStringList gone = StoredGoogleAccountNames(registry);
    registry.DeleteKey(AccountsKey());
    QStringList names;
    for (const TGoogleAccountData &row : rows) {
        WriteSecret(registry, row.GoogleAccount, "GoogleGeocodingKey", row.GoogleGeocodingKey);
        WriteSecret(registry, row.GoogleAccount, "GoogleRefreshToken", row.GoogleRefreshToken);
        names.append(row.GoogleAccount);
        gone.removeAll(row.GoogleAccount);
    }
    ForgetKeyringSecrets(gone);
    if (names.isEmpty()) {
        registry.DeleteValue(Setting(SettingId::DefaultGoogleAccount).path);
        return {};
    }
    const QString chosen = names.contains(selected) ? selected : names.first();
    WriteSetting(registry, SettingId::DefaultGoogleAccount, chosen);
    return chosen;
}

} // namespace cardolin
