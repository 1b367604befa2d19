// quillet-cli's accounts, settings and @NAME books, run as a user whose home,
// neighbours and settings folder live in a scratch folder.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "fakes/CliProcess.h"
#include "fakes/Files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

using Result = cardolin::testing::CliResult;

struct CliUserTest : ::testing::Test
{
    QTemporaryDir dir;
    QString home = dir.filePath("home/ann");
    QString config = dir.filePath("config");
    QString store = config + "/cardolin/registry.txt";

    CliUserTest()
    {
        QDir().mkpath(home);
        QDir().mkpath(dir.filePath("home/bob"));
    }

    Result Cli(const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", config);
        // Never the keyring of whoever runs the tests: the settings file takes the secrets.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/cardolin-test-bus");
        return cardolin::testing::RunProcess(QUILLET_CLI, arguments, environment, {}, 60000);
    }

    QString Book(const char *account) const { return dir.filePath(QString("home/%1/Contacts/%1.qcb").arg(account)); }
};

TEST_F(CliUserTest, SettingsAreSetReadListedAndExported)
{
    const struct
    {
        QStringList arguments;
        int exitCode;
        const char *out;
    } steps[] = {
        {{"settings", "get", "Options\\SortAlphabetically"}, 0, "1\n"}, // the default
        {{"settings", "set", "Options\\SortAlphabetically", "no"}, 0, ""},
        {{"settings", "get", "options\\sortalphabetically"}, 0, "0\n"},
        {{"settings", "set", "Options\\DisplayType", "3"}, 0, ""},
        {{"settings", "set", "Options\\DisplayType", "three"}, 2, ""},
        {{"settings", "set", "Options\\Maps", "true", "--type", "boolean"}, 0, ""},
        {{"settings", "set", "Custom\\Note", "-1", "--type", "integer"}, 0, ""},
        {{"settings", "get", "Custom\\Note"}, 0, "-1\n"},
        {{"settings", "set", "Custom\\Note", "text"}, 2, ""}, // keeps the stored type
        {{"settings", "get", "FormInfo\\Main Window"}, 1, ""},
        {{"settings", "get", "Options"}, 1, ""},
        {{"settings", "set", "Categories", "x"}, 2, ""},
        {{"settings", "list", "Nowhere"}, 1, ""},
        {{"settings", "frobnicate"}, 2, ""},
        {{"settings", "get", "A", "--type", "string"}, 2, ""},
    };
    for (const auto &step : steps) {
        const Result result = Cli(step.arguments);
        EXPECT_EQ(result.exitCode, step.exitCode) << step.arguments.join(' ').toStdString() << result.err.toStdString();
        EXPECT_EQ(result.out, step.out) << step.arguments.join(' ').toStdString();
    }

    const Result listed = Cli({"settings", "list", "Options"});
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(listed.out.startsWith("SortAlphabetically = 0\nDisplayType = 3\nMaps = 1\n")) << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains("\nFormatEmail = 1 (default)\n"));
    EXPECT_TRUE(Cli({"settings", "list"}).out.startsWith("Custom\\\nOptions\\\n"));

    const QString exported = dir.filePath("options.reg");
    ASSERT_EQ(Cli({"settings", "export", "Options", exported}).exitCode, 0);
    EXPECT_EQ(ReadAll(exported), "REGEDIT4\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Velmora\\Cardolin\\Options]\r\n"
                                 "\"SortAlphabetically\"=dword:00000000\r\n"
                                 "\"DisplayType\"=dword:00000003\r\n"
                                 "\"Maps\"=dword:00000001\r\n");
    EXPECT_EQ(Cli({"settings", "export", "Nowhere", exported}).exitCode, 2);
}

TEST_F(CliUserTest, AccountsAndTheirBooksFollowTheSettings)
{
    Result listed = Cli({"accounts"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "* ann\t" + Book("ann") + "\n  bob\t" + Book("bob") + "\n");

    // A book written to @bob lands in bob's profile, and a second write keeps
    // the first as the backup.
    ASSERT_EQ(Cli({"convert", CARDOLIN_FIXTURES "/cli/people.qcb", "@bob"}).exitCode, 0);
    const QByteArray first = ReadAll(Book("bob"));
    ASSERT_EQ(Cli({"dedupe", "@BOB"}).exitCode, 0);
    EXPECT_EQ(ReadAll(dir.filePath("home/bob/Contacts/bob.~cb")), first);
    EXPECT_EQ(Cli({"list", "@bob"}).out, Cli({"list", Book("bob")}).out);

    const Result missing = Cli({"list", "@"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(Book("ann"))) << missing.err.toStdString();
    const Result nobody = Cli({"list", "@zed"});
    EXPECT_EQ(nobody.exitCode, 2);
    EXPECT_TRUE(nobody.err.contains("There is no account \"zed\"")) << nobody.err.toStdString();

    // Moving books to a library asks; --yes answers Yes to All.
    const QString library = dir.filePath("Books");
    QDir().mkpath(library);
    ASSERT_EQ(Cli({"settings", "set", "Options\\CommonContactsBookLibrary", library}).exitCode, 0);
    const Result declined = Cli({"settings", "set", "Options\\StoreUserContactsBookInUserContactsFolder", "0"});
    EXPECT_EQ(declined.exitCode, 0);
    EXPECT_TRUE(declined.err.contains("Do you want to relocate bob's contacts book? (answered No to All"));
    EXPECT_TRUE(QFile::exists(Book("bob")));

    ASSERT_EQ(Cli({"settings", "set", "Options\\StoreUserContactsBookInUserContactsFolder", "1"}).exitCode, 0);
    ASSERT_EQ(Cli({"settings", "set", "Options\\StoreUserContactsBookInUserContactsFolder", "0", "--yes"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(Book("bob")));
    EXPECT_EQ(ReadAll(library + "/bob.~cb"), first);
    listed = Cli({"accounts"});
    EXPECT_EQ(listed.out, "* ann\t" + library + "/ann.qcb\n  bob\t" + library + "/bob.qcb\n");
    EXPECT_EQ(Cli({"list", "@bob"}).exitCode, 0);
}

TEST_F(CliUserTest, ADamagedStoreIsKeptAsideAndTheToolStillWorks)
{
    ASSERT_TRUE(WriteAll(store, "[Software\\Velmora\\Cardolin\\Options]\n\"SortAlphabetically\"=dword:0\nnot a line\n"));

    const Result got = Cli({"settings", "get", "Options\\SortAlphabetically"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "1\n");
    EXPECT_TRUE(got.err.startsWith("warning: The settings file")) << got.err.toStdString();
    EXPECT_TRUE(ReadAll(store + ".bad").contains("not a line"));
    EXPECT_EQ(Cli({"settings", "set", "Options\\SortAlphabetically", "0"}).exitCode, 0);
    EXPECT_EQ(Cli({"settings", "get", "Options\\SortAlphabetically"}).err, "");
}

TEST_F(CliUserTest, ExportsLeaveSecretsOutUnlessAskedAndOnlyTheirOwnerCanReadThem)
{
    ASSERT_EQ(Cli({"settings", "set", "GoogleClientID", "id-1.apps"}).exitCode, 0);
    ASSERT_EQ(Cli({"settings", "set", "GoogleClientSecret", "GOCSPX-hidden"}).exitCode, 0);
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", "1//refresh", "--geocoding-key",
                   "AIza-key"})
                  .exitCode,
              0);
    const QString account = "Google Accounts\\ann@example.com\\";
    const QString storedToken = Cli({"settings", "get", account + "GoogleRefreshToken", "--show-secrets"}).out.trimmed();
    const QString storedKey = Cli({"settings", "get", account + "GoogleGeocodingKey", "--show-secrets"}).out.trimmed();
    ASSERT_FALSE(storedToken.isEmpty());
    ASSERT_FALSE(storedKey.isEmpty());

    const QString file = dir.filePath("all.reg");
    ASSERT_TRUE(WriteAll(file, "old")); // an earlier export, readable by all
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const auto mode = [&] {
        struct stat info {};
        return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_mode & 0777 : 0u;
    };
    const QStringList secrets{"GOCSPX-hidden", storedToken, storedKey, "GoogleClientSecret", "GoogleRefreshToken",
                              "GoogleGeocodingKey"};

    const Result plain = Cli({"settings", "export", "\\", file});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_TRUE(plain.err.contains("3 secret value(s)")) << plain.err.toStdString();
    QString text = QString::fromLatin1(ReadAll(file));
    EXPECT_TRUE(text.contains("\"GoogleClientID\"=\"id-1.apps\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("\\Google Accounts\\ann@example.com]")) << text.toStdString();
    for (const QString &secret : secrets)
        EXPECT_FALSE(text.contains(secret)) << secret.toStdString();
    EXPECT_EQ(mode(), 0600u);

    const Result full = Cli({"settings", "export", "\\", file, "--include-secrets"});
    ASSERT_EQ(full.exitCode, 0) << full.err.toStdString();
    EXPECT_EQ(full.err, "");
    text = QString::fromLatin1(ReadAll(file));
    for (const QString &secret : secrets)
        EXPECT_TRUE(text.contains(secret)) << secret.toStdString();
    EXPECT_EQ(mode(), 0600u);

    EXPECT_EQ(Cli({"settings", "list", "--include-secrets"}).exitCode, 2);
}

} // namespace
