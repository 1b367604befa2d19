#include "online/AccountEncryption.h"
#include "online/StoredGoogleAccounts.h"
#include "platform/SecretStore.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"
#include "support/StartupSettings.h"

#include <gtest/gtest.h>

#include <map>

namespace cardolin {
namespace {

TEST(AccountEncryptionTest, EncryptsDeterministicallyAndRoundTrips)
{
    const QString phrase = kGoogleAccountPassPhrase;
    EXPECT_EQ(DCPEncryptString(QString(), phrase), QString());
    EXPECT_EQ(DCPDecryptString(QString(), phrase), QString());
    for (const QString &text : {QStringLiteral("x"), QStringLiteral("1//0gRefreshToken-abc_DEF"),
                                QStringLiteral("Zoë ☃ 𝄞 \u0000 end")}) {
        const QString cipher = DCPEncryptString(text, phrase);
        EXPECT_EQ(DCPDecryptString(cipher, phrase), text);
        EXPECT_EQ(DCPEncryptString(text, phrase), cipher);
        EXPECT_NE(cipher, text);
        EXPECT_NE(DCPEncryptString(text, QStringLiteral("another phrase")), cipher);
    }
    // One UTF-16 unit is two bytes: four Base64 characters with one pad.
    const QString one = DCPEncryptString(QStringLiteral("a"), phrase);
    EXPECT_EQ(one.size(), 4);
    EXPECT_TRUE(one.endsWith(u'=') && !one.endsWith(QStringLiteral("==")));
    // CFB-8 keeps the length and works byte by byte: a shared start stays shared.
    EXPECT_TRUE(DCPEncryptString(QStringLiteral("abcd"), phrase).startsWith(one.left(2)));
}

TEST(AccountEncryptionTest, ReadsDamagedValuesWithoutFailing)
{
    const QString cipher = DCPEncryptString(QStringLiteral("token"), kGoogleAccountPassPhrase);
    // An odd number of bytes loses only its last half unit.
    const QByteArray odd = QByteArray::fromBase64(cipher.toLatin1()).left(5);
    EXPECT_EQ(DCPDecryptString(QString::fromLatin1(odd.toBase64()), kGoogleAccountPassPhrase), QStringLiteral("to"));
}

// A known answer, worked out with the openssl command (key: the first 24 bytes
// of SHA-256 over UTF-16LE "pass"; vector: that key over a zero block). Stored
// tokens stay readable only while this holds.
TEST(AccountEncryptionTest, MatchesAKnownAnswer)
{
    EXPECT_EQ(DCPEncryptString(QStringLiteral("refresh"), QStringLiteral("pass")), QStringLiteral("CcGKljsa8KjuFZpGEHk="));
    EXPECT_EQ(DCPDecryptString(QStringLiteral("CcGKljsa8KjuFZpGEHk="), QStringLiteral("pass")), QStringLiteral("refresh"));
}

struct StoredAccountsTest : ::testing::Test
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    StoredAccountsTest() { registry.SetKey(QString(kProgramSettingsKey)); }

    QString Raw(const QString &path) const { return registry.GetValueDefault(path, QStringLiteral("<absent>")).toString(); }
};

TEST_F(StoredAccountsTest, StoresSecretsEncryptedAndReplacesTheWholeList)
{
    SaveGoogleAccounts(registry, {{"ann@example.com", "geo-1", "tok-1"}, {"bob@example.com", "", ""}}, "bob@example.com");
    EXPECT_EQ(StoredGoogleAccountNames(registry), QStringList({"ann@example.com", "bob@example.com"}));
    const QString raw = Raw("Google Accounts\\ann@example.com\\GoogleRefreshToken");
    EXPECT_NE(raw, "tok-1");
    EXPECT_EQ(raw, DCPEncryptString("tok-1", kGoogleAccountPassPhrase));
    EXPECT_EQ(Raw("Google Accounts\\bob@example.com\\GoogleRefreshToken"), QString()); // written, empty
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), "tok-1");
    EXPECT_EQ(ReadGoogleGeocodingKey(registry, "ann@example.com"), "geo-1");
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "nobody"), QString());
    EXPECT_EQ(ReadTextSetting(registry, SettingId::DefaultGoogleAccount), "bob@example.com");

    // The selected account gone: the first one is chosen; none left: no default.
    EXPECT_EQ(SaveGoogleAccounts(registry, {{"carl@example.com", "", ""}}, "bob@example.com"), "carl@example.com");
    EXPECT_EQ(StoredGoogleAccountNames(registry), QStringList({"carl@example.com"}));
    EXPECT_EQ(SaveGoogleAccounts(registry, {}, "carl@example.com"), QString());
    EXPECT_FALSE(registry.ValueExists("DefaultGoogleAccount"));
    EXPECT_TRUE(StoredGoogleAccountNames(registry).isEmpty());
}

TEST_F(StoredAccountsTest, LoadsTheListAndItsDefault)
{
    SaveGoogleAccounts(registry, {{"ann@example.com", "geo-a", ""}, {"bob@example.com", "geo-b", "t"}}, "bob@example.com");
    TGoogleAccountChoice choice = LoadGoogleAccounts(registry);
    EXPECT_EQ(choice.Accounts, QStringList({"ann@example.com", "bob@example.com"}));
    EXPECT_EQ(choice.Selected, "bob@example.com");
    EXPECT_EQ(choice.GeocodingKey, "geo-b");

    // A default that names no stored account is offered when the list is empty.
    SaveGoogleAccounts(registry, {}, QString());
    WriteSetting(registry, SettingId::DefaultGoogleAccount, "zoe@example.com");
    choice = LoadGoogleAccounts(registry);
    EXPECT_EQ(choice.Accounts, QStringList({"zoe@example.com"}));
    EXPECT_EQ(choice.Selected, "zoe@example.com");
}

TEST_F(StoredAccountsTest, ConvertsLegacyValuesKeepingOnlyTheNames)
{
    // A value named after the account, under the old key name or the new one.
    for (const char *key : {"Accounts", "Google Accounts"}) {
        SCOPED_TRACE(key);
        registry.DeleteKey("Google Accounts");
        registry.SetTypedValue(QString(key) + "\\old@example.com", "\x7f\x13garbled", btNone);
        WriteSetting(registry, SettingId::Version, "1.00.09b3");
        MigrateVersionSettings(registry, "1.02.00b0", "/opt/cardolin");
        const TGoogleAccountChoice choice = LoadGoogleAccounts(registry);
        EXPECT_EQ(choice.Accounts, QStringList({"old@example.com"}));
        EXPECT_EQ(registry.CountValueNames("Google Accounts"), 0);
        EXPECT_EQ(ReadGoogleRefreshToken(registry, "old@example.com"), QString());
        EXPECT_TRUE(registry.ValueExists("Google Accounts\\old@example.com\\GoogleRefreshToken"));
    }
}

// A keyring in memory; `answering` false makes every call fail as a dead one would.
struct MemoryKeyring final : platform::SecretStore
{
    std::map<QString, QString> entries;
    bool answering = true;

    std::optional<QString> Read(const QString &service, const QString &key) override
    {
        const auto found = entries.find(service + '\\' + key);
        return answering && found != entries.end() ? std::optional(found->second) : std::nullopt;
    }
    bool Write(const QString &service, const QString &key, const QString &secret) override
    {
        if (answering)
            entries[service + '\\' + key] = secret;
        return answering;
    }
    bool Remove(const QString &service, const QString &key) override
    {
        if (answering)
            entries.erase(service + '\\' + key);
        return answering;
    }
    bool Answers() override { return answering; }
};

struct KeyringAccountsTest : StoredAccountsTest
{
    MemoryKeyring keyring;
    KeyringAccountsTest() { platform::UseSessionKeyring(&keyring); }
    ~KeyringAccountsTest() override { platform::UseSessionKeyring(nullptr); }
};

TEST_F(KeyringAccountsTest, KeepsSecretsInTheKeyringAndOnlyEmptyValuesInTheFile)
{
    SaveGoogleAccounts(registry, {{"ann@example.com", "geo-1", "tok-1"}, {"bob@example.com", "", ""}}, "ann@example.com");
    EXPECT_EQ(keyring.entries, (std::map<QString, QString>{{"Google Accounts\\ann@example.com\\GoogleGeocodingKey", "geo-1"},
                                                           {"Google Accounts\\ann@example.com\\GoogleRefreshToken", "tok-1"}}));
    EXPECT_EQ(Raw("Google Accounts\\ann@example.com\\GoogleRefreshToken"), QString());
    EXPECT_EQ(Raw("Google Accounts\\ann@example.com\\GoogleGeocodingKey"), QString());
    EXPECT_EQ(StoredGoogleAccountNames(registry), QStringList({"ann@example.com", "bob@example.com"}));
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), "tok-1");
    EXPECT_EQ(ReadDefaultGoogleGeocodingKey(registry), "geo-1");

    // Emptied or dropped, a secret leaves the keyring too.
    WriteGoogleRefreshToken(registry, "ann@example.com", QString());
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), QString());
    SaveGoogleAccounts(registry, {{"bob@example.com", "", ""}}, QString());
    EXPECT_TRUE(keyring.entries.empty());
}

TEST_F(KeyringAccountsTest, MovesOldFileSecretsIntoTheKeyringAndTrustsTheNewerFileValue)
{
    // Written by an earlier version, or while no keyring answered.
    keyring.answering = false;
    SaveGoogleAccounts(registry, {{"ann@example.com", "geo-old", "tok-file"}}, "ann@example.com");
    EXPECT_EQ(Raw("Google Accounts\\ann@example.com\\GoogleRefreshToken"), DCPEncryptString("tok-file", kGoogleAccountPassPhrase));
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), "tok-file");

    // The keyring still holds an older token: the file's value is the newer one.
    keyring.answering = true;
    keyring.entries["Google Accounts\\ann@example.com\\GoogleRefreshToken"] = "tok-stale";
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), "tok-file");

    const TGoogleAccountChoice choice = LoadGoogleAccounts(registry);
    EXPECT_EQ(choice.GeocodingKey, "geo-old");
    EXPECT_EQ(keyring.entries["Google Accounts\\ann@example.com\\GoogleRefreshToken"], "tok-file");
    EXPECT_EQ(Raw("Google Accounts\\ann@example.com\\GoogleRefreshToken"), QString());
    EXPECT_EQ(Raw("Google Accounts\\ann@example.com\\GoogleGeocodingKey"), QString());
    EXPECT_EQ(ReadGoogleRefreshToken(registry, "ann@example.com"), "tok-file");
}

} // namespace
} // namespace cardolin
