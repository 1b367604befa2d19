#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace cardolin {

class TQorRegistryEnhanced;

// One stored account, plain text in memory.
struct TGoogleAccountData
{
    QString GoogleAccount;
    QString GoogleGeocodingKey;
    QString GoogleRefreshToken;
};

// Another program's proposal of an account; none exists on this system.
QString GetDefaultGoogleAccount();

// The account's stored values, decrypted; "" when absent.
QString ReadGoogleRefreshToken(const TQorRegistryEnhanced &registry, const QString &account);
QString ReadGoogleGeocodingKey(const TQorRegistryEnhanced &registry, const QString &account);
// The geocoding key of the account selected at start (the default one); "" when none.
QString ReadDefaultGoogleGeocodingKey(const TQorRegistryEnhanced &registry);
// CARDOLIN_GEOCODING_KEY, which stands before any stored key; "" when unset.
QString GeocodingKeyFromEnvironment();
// The key both programs geocode with unless told otherwise: the environment's,
// else the default account's.
QString DefaultGeocodingKey(const TQorRegistryEnhanced &registry);
void WriteGoogleRefreshToken(TQorRegistryEnhanced &registry, const QString &account, const QString &token);
// The accounts stored now, in the store's order.
QStringList StoredGoogleAccountNames(const TQorRegistryEnhanced &registry);
std::vector<TGoogleAccountData> ReadGoogleAccounts(const TQorRegistryEnhanced &registry, const QStringList &names);

// What start-up puts in the window's account box.
struct TGoogleAccountChoice
{
    QStringList Accounts;
    QString Selected;     // empty: nothing selected
    QString GeocodingKey; // DefaultGeocodingKey
};
// Converts the values an older version kept directly under the accounts key,
// whenever some are found (their tokens cannot be read: the accounts stay, their tokens are dropped),
// then lists the accounts and picks the default one.
TGoogleAccountChoice LoadGoogleAccounts(TQorRegistryEnhanced &registry);

// Replaces every stored account by rows, in their order, and returns the
// account to select: selected when still present, else the first one (empty
// when none are left, and then no default account is kept).
QString SaveGoogleAccounts(TQorRegistryEnhanced &registry, const std::vector<TGoogleAccountData> &rows,
                           const QString &selected);

} // namespace cardolin
