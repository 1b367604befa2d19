#include "contacts/BookLocation.h"
#include "contacts/ProfilesFixture.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

struct LocationTest : cardolin::testing::ProfilesFixture
{
    LocationTest() : ProfilesFixture({"ann", "bob", "Public", ".hidden"})
    {
        users.home += "/"; // a trailing slash changes nothing
        users.fullNames = {{"ann", "Ann Lee"}, {"carl", "C/Ross"}};
    }

    QString Book(const TStorageSettings &settings, const QString &account, TStorageType type = stInherited)
    {
        return TContactsBookLocator(accounts, settings).GetWindowsContactsBookFileName(account, type);
    }
};

TEST_F(LocationTest, AccountsAreTheFoldersBesideTheProfile)
{
    EXPECT_EQ(accounts.ProfilesRoot(), profiles);
    EXPECT_EQ(accounts.CurrentAccount(), "ann");
    QStringList list;
    EXPECT_EQ(accounts.ListAccounts(list), 3);
    EXPECT_EQ(list, (QStringList{"ann", "bob", "Public"}));
    EXPECT_EQ(accounts.FindAccount("PUBLIC"), "Public");
    EXPECT_EQ(accounts.FindAccount("carl"), std::nullopt);
    EXPECT_EQ(accounts.DisplayName("ann"), "Ann Lee");
    EXPECT_EQ(accounts.DisplayName("bob"), "bob");
}

TEST_F(LocationTest, AProfileAtTheTopStandsAlone)
{
    users.home = "/root";
    EXPECT_EQ(accounts.ProfilesRoot(), "/");
    EXPECT_EQ(accounts.Accounts(), QStringList{"root"});
    EXPECT_EQ(Book({}, "root"), "/root/Contacts/root.qcb");
}

TEST_F(LocationTest, BookPathsFollowTheStorageSettings)
{
    const QString userBook = profiles + "/ann/Contacts/ann.qcb";
    const QString missing = dir.filePath("Missing");
    const struct
    {
        const char *name;
        TStorageSettings settings;
        TStorageType type;
        QString book;
    } cases[] = {
        {"default options", {}, stInherited, userBook},
        {"library on and present", {false, library, false}, stInherited, library + "/ann.qcb"},
        {"library with a slash", {false, library + "/", false}, stInherited, library + "/ann.qcb"},
        {"library missing", {false, missing, false}, stInherited, userBook},
        {"library empty", {false, "", false}, stInherited, userBook},
        {"library set but off", {true, library, false}, stInherited, userBook},
        {"explicit user", {false, library, false}, stUser, userBook},
        {"explicit common", {true, library, false}, stCommon, library + "/ann.qcb"},
        {"display name", {true, "", true}, stInherited, profiles + "/ann/Contacts/Ann Lee.qcb"},
        {"display name in library", {false, library, true}, stInherited, library + "/Ann Lee.qcb"},
    };
    QDir().mkpath(library);
    for (const auto &c : cases)
        EXPECT_EQ(Book(c.settings, "ann", c.type), c.book) << c.name;
}

TEST_F(LocationTest, TheLibraryFallsBackToTheLogonUsersDisplayName)
{
    QDir().mkpath(library);
    const TStorageSettings settings{false, library, true};
    // bob has no full name; his book would be bob.qcb, and nothing is there yet.
    EXPECT_EQ(Book(settings, "bob"), library + "/bob.qcb");
    QFile(library + "/Ann Lee.qcb").open(QIODevice::WriteOnly);
    EXPECT_EQ(Book(settings, "bob"), library + "/Ann Lee.qcb");
    QFile(library + "/bob.qcb").open(QIODevice::WriteOnly);
    EXPECT_EQ(Book(settings, "bob"), library + "/bob.qcb");
}

TEST_F(LocationTest, AFullNameCannotLeadTheBookElsewhere)
{
    EXPECT_EQ(Book({true, "", true}, "carl"), profiles + "/carl/Contacts/C_Ross.qcb");
}

TEST_F(LocationTest, SettingsComeFromTheTable)
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry(store);
    registry.SetKey(kProgramSettingsKey);
    EXPECT_EQ(ReadStorageSettings(registry), TStorageSettings());
    registry.SetValue("Options\\StoreUserContactsBookInUserContactsFolder", false);
    registry.SetValue("Options\\CommonContactsBookLibrary", library);
    registry.SetValue("Options\\UseDisplayNameAsWindowsUserAccountForStorage", true);
    EXPECT_EQ(ReadStorageSettings(registry), (TStorageSettings{false, library, true}));
}

TEST_F(LocationTest, ABookOnTheCommandLineNamesItsAccount)
{
    const struct
    {
        QStringList arguments;
        const char *account;
    } cases[] = {
        {{"/home/ann/Contacts/ann.qcb"}, "ann"},
        {{"/elsewhere/BOB.QCB"}, "bob"},
        {{"/media/My", "Books/public.qcb"}, "Public"},
        {{"/home/ann/Contacts/ann.csv"}, ""},
        {{"/home/zed/Contacts/zed.qcb"}, ""},
        {{}, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AccountOfBookArguments(c.arguments, accounts), c.account) << c.arguments.join(' ').toStdString();
}

} // namespace
