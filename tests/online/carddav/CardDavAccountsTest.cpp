// Run twice by CTest, one suite each, since a process connects to its session
// bus once: Keyring inside with-keyring-session.sh (a private D-Bus session
// with gnome-keyring), NoKeyring with a bus address that leads nowhere.

#include "fakes/AccountsFile.h"
#include "online/carddav/CardDavAccounts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace cardolin::carddav {
namespace {

const QString kPassword = QStringLiteral("app-pass ☃ 1234");

TCardDavAccount Account(const QString &name, const QString &href = QStringLiteral("/ann/contacts/"))
{
    return {name, QStringLiteral("https://dav.example.com/"), QStringLiteral("ann"), href, QStringLiteral("Contacts")};
}

// The accounts file, with a sync state folder for the account at hand.
struct AccountsFile : testing::AccountsFile
{
    using testing::AccountsFile::AccountsFile;

    // A folder with a file in it, recorded as the account's sync state.
    QString StateFolder(const QString &account, const QString &leaf)
    {
        const QString folder = dir.filePath("state/" + leaf);
        QDir().mkpath(folder);
        QFile file(folder + "/state.json");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        RecordSyncStateFolder(registry, account, folder);
        return folder;
    }
};

// What both stores must do alike: removing an account takes its password and
// its sync states with it, and touches no other account's.
void ExpectRemovalForgetsEverything(AccountsFile &accounts)
{
    ASSERT_NE(SaveCardDavAccount(accounts.registry, Account("work"), kPassword).place, PasswordPlace::Lost);
    ASSERT_NE(SaveCardDavAccount(accounts.registry, Account("home"), "other").place, PasswordPlace::Lost);
    const QString workState = accounts.StateFolder("work", "a");
    const QString homeState = accounts.StateFolder("home", "b");

    EXPECT_TRUE(RemoveCardDavAccount(accounts.registry, "work"));
    EXPECT_FALSE(RemoveCardDavAccount(accounts.registry, "work"));
    EXPECT_EQ(StoredCardDavAccountNames(accounts.registry), QStringList{"home"});
    EXPECT_EQ(ReadCardDavPassword(accounts.registry, "work"), QString());
    EXPECT_FALSE(QFileInfo::exists(workState));
    EXPECT_TRUE(QFileInfo::exists(homeState + "/state.json"));
    EXPECT_EQ(ReadCardDavPassword(accounts.registry, "home"), "other");
    // A new account of the same name starts without the old one's secret.
    SaveCardDavAccount(accounts.registry, Account("work"), QString());
    EXPECT_EQ(ReadCardDavPassword(accounts.registry, "work"), QString());
}

TEST(KeyringAccountTest, KeepsThePasswordInTheKeyringOnly)
{
    platform::KeyringSecretStore keyring(QStringLiteral("Cardolin"));
    AccountsFile accounts(&keyring);
    ASSERT_TRUE(keyring.Answers());
    const TSavedAccount saved = SaveCardDavAccount(accounts.registry, Account("work"), kPassword);
    EXPECT_EQ(saved.place, PasswordPlace::Keyring);
    EXPECT_EQ(saved.warning, QString());

    EXPECT_EQ(keyring.Read("CardDAV Accounts\\work", "Password"), kPassword);
    const QByteArray text = accounts.Text();
    EXPECT_TRUE(text.contains("dav.example.com")) << text.constData();
    EXPECT_FALSE(text.contains("Password")) << text.constData();
    // A later process, over the same file, still finds account and password.
    FileRegistryStore again(accounts.dir.filePath("settings"), accounts.prompts);
    TQorRegistryEnhanced registry(again);
    registry.SetKey(QString(kProgramSettingsKey));
    EXPECT_EQ(ReadCardDavPassword(registry, "work"), kPassword);
    const std::optional<TCardDavAccount> read = ReadCardDavAccount(registry, "work");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->BookUrl(), QUrl("https://dav.example.com/ann/contacts/"));
    EXPECT_EQ(read->bookName, "Contacts");
}

TEST(KeyringAccountTest, RemovingAnAccountForgetsItsPasswordAndStates)
{
    platform::KeyringSecretStore keyring(QStringLiteral("Cardolin"));
    AccountsFile accounts(&keyring);
    ExpectRemovalForgetsEverything(accounts);
    EXPECT_EQ(keyring.Read("CardDAV Accounts\\work", "Password"), QString());
}

TEST(NoKeyringAccountTest, KeepsThePasswordInTheSettingsFileAndWarnsOnce)
{
    AccountsFile accounts(nullptr);
    const TSavedAccount first = SaveCardDavAccount(accounts.registry, Account("work"), kPassword);
    EXPECT_EQ(first.place, PasswordPlace::SettingsFile);
    EXPECT_TRUE(first.warning.contains("permissions")) << first.warning.toStdString();
    const TSavedAccount second = SaveCardDavAccount(accounts.registry, Account("home"), kPassword);
    EXPECT_EQ(second.place, PasswordPlace::SettingsFile);
    EXPECT_EQ(second.warning, QString());

    EXPECT_EQ(ReadCardDavPassword(accounts.registry, "work"), kPassword);
    EXPECT_FALSE(accounts.Text().contains("app-pass"));

    // An export leaves the password out unless secrets are asked for.
    int leftOut = 0;
    const QString plain = accounts.dir.filePath("plain.reg"), full = accounts.dir.filePath("full.reg");
    ASSERT_TRUE(accounts.registry.ExportKeyToRegFile("CardDAV Accounts", plain, IsSecretValueName, &leftOut));
    ASSERT_TRUE(accounts.registry.ExportKeyToRegFile("CardDAV Accounts", full, nullptr, nullptr));
    EXPECT_EQ(leftOut, 2);
    EXPECT_FALSE(AccountsFile::Read(plain).contains("Password"));
    EXPECT_TRUE(AccountsFile::Read(plain).contains("dav.example.com"));
    EXPECT_TRUE(AccountsFile::Read(full).contains("Password"));
}

TEST(NoKeyringAccountTest, RemovingAnAccountForgetsItsPasswordAndStates)
{
    AccountsFile accounts(nullptr);
    ExpectRemovalForgetsEverything(accounts);
    EXPECT_FALSE(accounts.Text().contains("work\\Password"));
}

TEST(NoKeyringAccountTest, PointingAnAccountElsewhereForgetsItsStates)
{
    AccountsFile accounts(nullptr);
    SaveCardDavAccount(accounts.registry, Account("work"), kPassword);
    const QString state = accounts.StateFolder("work", "a");
    // The same book again (a new password) keeps what the syncs know.
    SaveCardDavAccount(accounts.registry, Account("work"), "new password");
    EXPECT_TRUE(QFileInfo::exists(state));
    EXPECT_EQ(ReadCardDavPassword(accounts.registry, "work"), "new password");
    // Another book: the old state would take that book's cards for deleted ones.
    SaveCardDavAccount(accounts.registry, Account("work", "/ann/family/"), "new password");
    EXPECT_FALSE(QFileInfo::exists(state));
    EXPECT_EQ(RecordedSyncStateFolders(accounts.registry, "work"), QStringList());
}

TEST(NoKeyringAccountTest, AccountNamesAreKeysAndColumns)
{
    struct Case
    {
        const char *name;
        bool valid;
    } const cases[] = {
        {"work", true},       {"Ann's Nextcloud", true}, {"", false},         {" work", false},
        {"a\\b", false},      {"a/b", false},            {"a\tb", false},     {"a\nb", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsValidCardDavAccountName(QString::fromUtf8(c.name)), c.valid) << c.name;
}

} // namespace
} // namespace cardolin::carddav
