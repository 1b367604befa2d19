#include "online/StoredGoogleAccounts.h"

#include "online/AccountEncryption.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

namespace cardolin {

namespace {

QString AccountsKey()
{
    return Setting(SettingId::GoogleAccounts).path;
}

QString ValuePath(const QString &account, const char *value)
{
    return AccountsKey() + u'\\' + account + u'\\' + QLatin1StringView(value);
}

QString ReadSecret(const TQorRegistryEnhanced &registry, const QString &account, const char *value)
{
    const QString stored = registry.GetValueDefault(ValuePath(account, value), QString()).toString();
    return DCPDecryptString(stored, kGoogleAccountPassPhrase);
}

void WriteSecret(TQorRegistryEnhanced &registry, const QString &account, const char *value, const QString &secret)
{
    registry.SetTypedValue(ValuePath(account, value), DCPEncryptString(secret, kGoogleAccountPassPhrase), btNone);
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
    const QString name = DefaultAccountName(registry);
    if (choice.Accounts.isEmpty() && !name.isEmpty())
        choice.Accounts.append(name);
    if (choice.Accounts.contains(name))
        choice.Selected = name;
    choice.GeocodingKey = ReadDefaultGoogleGeocodingKey(registry);
    return choice;
}

QString SaveGoogleAccounts(TQorRegistryEnhanced &registry, const std::vector<TGoogleAccountData> &rows,
                           const QString &selected)
{
    registry.DeleteKey(AccountsKey());
    QStringList names;
    for (const TGoogleAccountData &row : rows) {
        WriteSecret(registry, row.GoogleAccount, "GoogleGeocodingKey", row.GoogleGeocodingKey);
        WriteSecret(registry, row.GoogleAccount, "GoogleRefreshToken", row.GoogleRefreshToken);
        names.append(row.GoogleAccount);
    }
    if (names.isEmpty()) {
        registry.DeleteValue(Setting(SettingId::DefaultGoogleAccount).path);
        return {};
    }
    const QString chosen = names.contains(selected) ? selected : names.first();
    WriteSetting(registry, SettingId::DefaultGoogleAccount, chosen);
    return chosen;
}

} // namespace cardolin
