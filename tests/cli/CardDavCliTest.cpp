// quillet-cli carddav against a Radicale of the test's own, which checks the
// password: accounts, address books and the sync's counters and exit status.

#include "contacts/QorContacts.h"
#include "online/carddav/CardDavClient.h"
#include "fakes/CliProcess.h"
#include "fakes/DavServers.h"
#include "fakes/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using Result = CliResult;

const char *const kZeroCounts = "local created: 0\nlocal updated: 0\nlocal deleted: 0\n"
                                "server created: 0\nserver updated: 0\nserver deleted: 0\n";

class CardDavCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CARDOLIN_START_DAV_SERVER(server);
        QDir().mkpath(dir.filePath("home"));
    }

    // The tool with the password in the environment unless password is null.
    Result Cli(const QStringList &arguments, const std::optional<QString> &password = std::nullopt,
               const QByteArray &input = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("CARDOLIN_CARDDAV_PASSWORD");
        if (password)
            environment.insert("CARDOLIN_CARDDAV_PASSWORD", *password);
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        environment.insert("XDG_CACHE_HOME", dir.filePath("cache"));
        // Never the keyring of whoever runs the tests: the settings file takes the password.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/cardolin-test-bus");
        return RunProcess(QUILLET_CLI, arguments, environment, input);
    }

    Result AddAccount(const QString &name, const QStringList &more = {})
    {
        return Cli(QStringList{"carddav", "accounts", "add", name, "--url", server.BaseUrl(), "--user", server.User()}
                       + more,
                   server.Password());
    }

    // A book of count people, written as the program writes books.
    QString Book(const QString &name, int count)
    {
        TQorContacts contacts;
        for (int i = 1; i <= count; ++i) {
            TContactData *contact = contacts.CreateContactData();
            contact->FirstName = QStringLiteral("Person%1").arg(i);
            contact->LastName = QStringLiteral("Example");
            contact->PersonalEmail = QStringLiteral("person%1@example.com").arg(i);
        }
        const QString path = dir.filePath(name);
        QFile::remove(path);
        EXPECT_EQ(contacts.SaveToXMLFile(path), count);
        return path;
    }

    RunningDavServer server{RunningDavServer::Kind::Radicale};
    QTemporaryDir dir;
};

QString Counts(int serverCreated, int serverDeleted, int localCreated = 0)
{
    return QStringLiteral("local created: %1\nlocal updated: 0\nlocal deleted: 0\n"
                          "server created: %2\nserver updated: 0\nserver deleted: %3\n")
        .arg(localCreated)
        .arg(serverCreated)
        .arg(serverDeleted);
}

TEST_F(CardDavCli, AnAccountIsKeptOnlyWhenItsAddressBookWasFound)
{
    const Result refused = Cli({"carddav", "accounts", "add", "work", "--url", server.BaseUrl(), "--user",
                                server.User(), "--addressbook", "Contacts"},
                               "wrong password");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("refused the user name or password")) << refused.err.toStdString();
    EXPECT_FALSE(refused.err.contains("Password for")) << "no prompt on a pipe";
    EXPECT_EQ(Cli({"carddav", "accounts"}).out, "");

    ASSERT_FALSE(server.CreateBook("family", "Family").isEmpty());
    const Result several = AddAccount("work");
    EXPECT_EQ(several.exitCode, 2);
    EXPECT_TRUE(several.err.contains("/alice/contacts/\tContacts")) << several.err.toStdString();
    EXPECT_TRUE(several.err.contains("/alice/family/\tFamily")) << several.err.toStdString();
    EXPECT_EQ(Cli({"carddav", "accounts"}).out, "");

    // The password may come as a line of input instead; never as an option.
    const Result typed = Cli({"carddav", "accounts", "add", "work", "--url", server.BaseUrl(), "--user",
                              server.User(), "--addressbook", "Family"},
                             std::nullopt, server.Password().toUtf8() + "\n");
    ASSERT_EQ(typed.exitCode, 0) << typed.err.toStdString();
    EXPECT_TRUE(typed.err.contains("protected only by that file's permissions")) << typed.err.toStdString();
    EXPECT_EQ(Cli({"carddav", "accounts", "add", "x", "--password", "p"}).exitCode, 2);
    EXPECT_EQ(Cli({"carddav", "accounts"}).out,
              QStringList({"work", server.BaseUrl(), server.User(), "/alice/family/", "Family"}).join('\t') + "\n");
    const Result books = Cli({"carddav", "books", "--account", "work"});
    EXPECT_EQ(books.exitCode, 0) << books.err.toStdString();
    EXPECT_TRUE(books.out.contains("/alice/contacts/\tContacts\n")) << books.out.toStdString();
    EXPECT_TRUE(books.out.contains("/alice/family/\tFamily\n")) << books.out.toStdString();

    // The password stays out of listings and exports unless asked for.
    const QString exported = dir.filePath("accounts.reg");
    ASSERT_EQ(Cli({"settings", "export", "CardDAV Accounts", exported}).exitCode, 0);
    EXPECT_TRUE(ReadAll(exported).contains("family"));
    EXPECT_FALSE(ReadAll(exported).contains("Password"));
    EXPECT_TRUE(Cli({"settings", "list", "CardDAV Accounts\\work"}).out.contains("Password = <secret"));

    EXPECT_EQ(Cli({"carddav", "accounts", "remove", "work"}).exitCode, 0);
    EXPECT_EQ(Cli({"carddav", "accounts"}).out, "");
    EXPECT_EQ(Cli({"carddav", "accounts", "remove", "work"}).exitCode, 2);
}

TEST_F(CardDavCli, SyncPrintsItsCountersAndAsksBeforeDeletingMany)
{
    ASSERT_EQ(AddAccount("work").exitCode, 0);
    const QString book = Book("ann.qcb", 12);
    const Result first = Cli({"carddav", "sync", book, "--account", "work"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, Counts(12, 0));
    EXPECT_EQ(Cli({"carddav", "sync", book, "--account", "work"}).out, kZeroCounts);

    // A dry run into a book not made yet tells and writes nothing.
    const QString other = dir.filePath("bob.qcb");
    const Result dry = Cli({"carddav", "sync", other, "--account", "work", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_EQ(dry.out, Counts(0, 0, 12));
    EXPECT_TRUE(dry.err.contains("Dry run: nothing was changed")) << dry.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(other));

    // Every contact gone here would empty the server: not without --yes.
    Book("ann.qcb", 0);
    const Result asked = Cli({"carddav", "sync", book, "--account", "work"});
    EXPECT_EQ(asked.exitCode, 2);
    EXPECT_TRUE(asked.err.contains("12")) << asked.err.toStdString();
    EXPECT_EQ(Cli({"carddav", "sync", other, "--account", "work", "--dry-run"}).out, Counts(0, 0, 12));
    const Result confirmed = Cli({"carddav", "sync", book, "--account", "work", "--yes"});
    EXPECT_EQ(confirmed.exitCode, 0) << confirmed.err.toStdString();
    EXPECT_EQ(confirmed.out, Counts(0, 12));

    // Removing the account forgets what its syncs knew.
    const QString states = Cli({"settings", "get", "CardDAV Accounts\\work\\SyncStateFolders"}).out.trimmed();
    ASSERT_FALSE(states.isEmpty());
    EXPECT_TRUE(QFileInfo(states).isDir()) << states.toStdString();
    ASSERT_EQ(Cli({"carddav", "accounts", "remove", "work"}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(states)) << states.toStdString();
}

// A field changed on both sides: the counters, then the conflict line on
// stdout, and exit 1 since the local value was set aside.
TEST_F(CardDavCli, AConflictIsReportedAndExitsOne)
{
    ASSERT_EQ(AddAccount("work").exitCode, 0);
    const QString book = Book("ann.qcb", 2);
    ASSERT_EQ(Cli({"carddav", "sync", book, "--account", "work"}).exitCode, 0);

    QNetworkAccessManager network;
    carddav::TCardDavClient other(network, QUrl(server.BookUrl()), {server.User(), server.Password()});
    const carddav::TListing listing = other.ListAll();
    ASSERT_EQ(listing.present.size(), 2);
    QStringList hrefs;
    for (const carddav::TCardVersion &card : listing.present)
        hrefs.append(card.href);
    for (const carddav::TFetchedCard &card : other.Multiget(hrefs).cards)
        if (card.text.contains("person1@example.com")) {
            ASSERT_TRUE(other.Put(card.href, QByteArray(card.text).replace("person1@", "there@"), card.etag).outcome.Ok());
        }
    TQorContacts contacts;
    ASSERT_EQ(contacts.LoadFromXMLFile(book), 2);
    for (const auto &contact : contacts.ContactDataList())
        if (contact->PersonalEmail == "person1@example.com")
            contact->PersonalEmail = "here@example.com";
    ASSERT_EQ(contacts.SaveToXMLFile(book), 2);

    const Result conflicted = Cli({"carddav", "sync", book, "--account", "work"});
    EXPECT_EQ(conflicted.exitCode, 1) << conflicted.err.toStdString();
    const QStringList lines = conflicted.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << conflicted.out.toStdString();
    EXPECT_EQ(lines[0], "local created: 0");
    EXPECT_EQ(lines[1], "local updated: 1");
    EXPECT_TRUE(lines[6].startsWith("conflict: Person1 Example: ")) << lines[6].toStdString();
    EXPECT_TRUE(lines[6].endsWith(": kept \"there@example.com\", local was \"here@example.com\""))
        << lines[6].toStdString();
    EXPECT_EQ(Cli({"carddav", "sync", book, "--account", "work"}).out, kZeroCounts);
}

} // namespace
