// Run three times by CTest, one suite each, since a process connects to its
// session bus once: Keyring inside with-keyring-session.sh (a private D-Bus
// session with gnome-keyring), NoKeyring with a bus address that leads
// nowhere, SilentBus with a bus that never answers.

#include "fakes/AccountsFile.h"
#include "fakes/CoreApplication.h"
#include "online/StoredGoogleAccounts.h"
#include "platform/SecretStore.h"
#include "support/FileRegistryStore.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

namespace cardolin {
namespace {

using platform::KeyringSecretStore;

using testing::AccountsFile;

TEST(KeyringTest, StoresReadsAndRemovesSecrets)
{
    testing::EnsureCoreApplication();
    KeyringSecretStore keyring(QStringLiteral("Cardolin tests"));
    ASSERT_TRUE(keyring.Answers());
    EXPECT_EQ(keyring.Read("Google Accounts\\ann", "GoogleRefreshToken"), std::nullopt);
    EXPECT_TRUE(keyring.Write("Google Accounts\\ann", "GoogleRefreshToken", "1//tok ☃"));
    EXPECT_TRUE(keyring.Write("Google Accounts\\bob", "GoogleRefreshToken", "other"));
    EXPECT_EQ(keyring.Read("Google Accounts\\ann", "GoogleRefreshToken"), "1//tok ☃");
    EXPECT_TRUE(keyring.Write("Google Accounts\\ann", "GoogleRefreshToken", "changed"));
    EXPECT_EQ(keyring.Read("Google Accounts\\ann", "GoogleRefreshToken"), "changed");
    EXPECT_TRUE(keyring.Remove("Google Accounts\\ann", "GoogleRefreshToken"));
    EXPECT_TRUE(keyring.Remove("Google Accounts\\ann", "GoogleRefreshToken")); // nothing left is fine
    EXPECT_EQ(keyring.Read("Google Accounts\\ann", "GoogleRefreshToken"), std::nullopt);
    EXPECT_EQ(keyring.Read("Google Accounts\\bob", "GoogleRefreshToken"), "other");
}

TEST(KeyringTest, AccountsKeepTheirSecretsOutOfTheSettingsFile)
{
    KeyringSecretStore keyring(QStringLiteral("Cardolin"));
    AccountsFile accounts(&keyring);
    SaveGoogleAccounts(accounts.registry, {{"ann@example.com", "geo-secret-1", "token-secret-1"}}, "ann@example.com");

    EXPECT_EQ(ReadGoogleRefreshToken(accounts.registry, "ann@example.com"), "token-secret-1");
    EXPECT_EQ(ReadGoogleGeocodingKey(accounts.registry, "ann@example.com"), "geo-secret-1");
    EXPECT_EQ(keyring.Read("Google Accounts\\ann@example.com", "GoogleRefreshToken"), "token-secret-1");
    const QByteArray text = accounts.Text();
    EXPECT_TRUE(text.contains("ann@example.com")) << text.constData();
    EXPECT_FALSE(text.contains("secret")) << text.constData();

    // A new process (a new registry over the same file) still finds them.
    FileRegistryStore again(accounts.dir.filePath("settings"), accounts.prompts);
    TQorRegistryEnhanced reread(again);
    reread.SetKey(QString(kProgramSettingsKey));
    EXPECT_EQ(StoredGoogleAccountNames(reread), QStringList({"ann@example.com"}));
    EXPECT_EQ(ReadGoogleRefreshToken(reread, "ann@example.com"), "token-secret-1");

    // An account dropped from the list takes its secrets out of the keyring.
    SaveGoogleAccounts(accounts.registry, {}, QString());
    EXPECT_EQ(keyring.Read("Google Accounts\\ann@example.com", "GoogleRefreshToken"), std::nullopt);
    EXPECT_EQ(keyring.Read("Google Accounts\\ann@example.com", "GoogleGeocodingKey"), std::nullopt);
}

// Probes, writes and reads, each of which must fail; how long they took.
qint64 MillisecondsToFailEverything(KeyringSecretStore &keyring)
{
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(keyring.Answers());
    EXPECT_FALSE(keyring.Write("Google Accounts\\ann", "GoogleRefreshToken", "t"));
    EXPECT_EQ(keyring.Read("Google Accounts\\ann", "GoogleRefreshToken"), std::nullopt);
    return clock.elapsed();
}

TEST(NoKeyringTest, FallsBackToTheSettingsFileQuickly)
{
    testing::EnsureCoreApplication();
    KeyringSecretStore keyring(QStringLiteral("Cardolin tests"));
    EXPECT_LT(MillisecondsToFailEverything(keyring), 5000);

    // Even when handed a keyring that cannot store, the account keeps its token.
    AccountsFile accounts(&keyring);
    SaveGoogleAccounts(accounts.registry, {{"ann@example.com", "", "token-secret-1"}}, "ann@example.com");
    EXPECT_EQ(ReadGoogleRefreshToken(accounts.registry, "ann@example.com"), "token-secret-1");
    EXPECT_TRUE(accounts.Text().contains("GoogleRefreshToken"));
}

// A bus that takes the connection and then says nothing: every call gives up
// at its deadline instead of hanging the program.
TEST(SilentBusTest, GivesUpAtTheDeadline)
{
    testing::EnsureCoreApplication();
    QTemporaryDir dir;
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(dir.filePath("bus")));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(dir.filePath("bus")));
    KeyringSecretStore keyring(QStringLiteral("Cardolin tests"), std::chrono::milliseconds(300));
    const qint64 elapsed = MillisecondsToFailEverything(keyring);
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 5000);
}

} // namespace
} // namespace cardolin
