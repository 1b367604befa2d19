// quillet-cli google, run against the fake service of the test process: the
// tool is awaited in an event loop so that the fake keeps answering.

#include "fakes/FakeGeocodingServer.h"
#include "fakes/FakeGoogleService.h"
#include "fakes/Files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace cardolin::testing;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

class GoogleCli : public ::testing::Test
{
protected:
    GoogleCli()
    {
        QDir().mkpath(dir.filePath("home"));
        EXPECT_EQ(Cli({"settings", "set", "GoogleClientID", google.clientId}).exitCode, 0);
        EXPECT_EQ(Cli({"settings", "set", "GoogleClientSecret", google.clientSecret}).exitCode, 0);
    }

    Result Cli(const QStringList &arguments, const QByteArray &input = {},
               const QList<QPair<QString, QString>> &variables = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("CARDOLIN_GEOCODING_KEY");
        environment.remove("CARDOLIN_GOOGLE_REFRESH_TOKEN");
        for (const auto &[name, value] : variables)
            environment.insert(name, value);
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        // Never the keyring of whoever runs the tests: the settings file takes the secrets.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/cardolin-test-bus");
        environment.insert("CARDOLIN_GOOGLE_AUTH_URL", google.BaseUrl() + "o/oauth2/auth");
        environment.insert("CARDOLIN_GOOGLE_TOKEN_URL", google.BaseUrl());
        environment.insert("CARDOLIN_GOOGLE_PEOPLE_URL", google.BaseUrl());
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        process.start(QUILLET_CLI, arguments);
        process.write(input);
        process.closeWriteChannel();
        loop.exec();
        if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir dir;
    FakeGoogleService google;
    const QString token = google.refreshToken;
};

TEST_F(GoogleCli, ConnectTakesTheCodeFromStandardInputAndPrintsTheTokenOnlyWhenAsked)
{
    const Result printed = Cli({"google", "connect", "--print-token", "--login-hint", "ann@example.com"},
                               "4/valid-code\n");
    EXPECT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    EXPECT_EQ(printed.out, "refresh-1\n");
    EXPECT_TRUE(printed.err.contains(google.BaseUrl() + "o/oauth2/auth?scope="));
    EXPECT_TRUE(printed.err.contains("&login_hint=ann%40example.com&state="));
    EXPECT_TRUE(printed.err.contains("&code_challenge_method=S256"));
    ASSERT_EQ(google.tokenForms.size(), 1);
    EXPECT_EQ(google.tokenForms[0].queryItemValue("code_verifier").size(), 43);

    const Result quiet = Cli({"google", "connect"}, "4/valid-code\n");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_FALSE(quiet.out.contains("refresh-1"));

    EXPECT_EQ(Cli({"google", "connect"}, "4/refused\n").exitCode, 2);
    EXPECT_EQ(Cli({"google", "connect"}, "").exitCode, 2); // input ended: cancelled
}

TEST_F(GoogleCli, PullReplacesTheBookKeepingABackupAndPushUploadsIt)
{
    google.AddPeople(3);
    const QString book = dir.filePath("ann.qcb");
    const Result pulled = Cli({"google", "pull", book, "--refresh-token", token});
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    EXPECT_EQ(pulled.out, "3\n");
    EXPECT_EQ(Cli({"list", book}).out, "Given1 Person\nGiven2 Person\nGiven3 Person\n");

    google.AddPeople(1);
    ASSERT_EQ(Cli({"google", "pull", book, "--refresh-token", token}).exitCode, 0);
    EXPECT_EQ(Cli({"list", book}).out.count('\n'), 4);

    const Result pushed = Cli({"google", "push", book, "--refresh-token", token});
    EXPECT_EQ(pushed.exitCode, 0) << pushed.err.toStdString();
    EXPECT_EQ(pushed.out, "created 4, updated 0, failed 0\n");

    google.failUploadNumber = google.uploadCount + 2;
    google.failStatus = 400;
    const Result refused = Cli({"google", "push", book, "--refresh-token", token});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "created 1, updated 0, failed 1\n");
}

TEST_F(GoogleCli, FailedPullSavesNothing)
{
    google.AddPeople(150);
    google.failConnectionsPage = 1;
    google.failConnectionsTimes = 100;
    const QString book = dir.filePath("ann.qcb");
    const Result failed = Cli({"google", "pull", book, "--refresh-token", token});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(book));

    EXPECT_EQ(Cli({"google", "pull", book, "--refresh-token", "revoked"}).exitCode, 2);
    EXPECT_EQ(Cli({"google", "pull", book}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(book));
}

// A service that never stops handing out pages: the read stops at the most an
// account can hold, fails (exit 2) and the book stays as it was.
TEST_F(GoogleCli, EndlessListingsFailAndChangeNothing)
{
    google.AddPeople(2);
    const QString book = dir.filePath("ann.qcb");
    ASSERT_EQ(Cli({"google", "pull", book, "--refresh-token", token}).exitCode, 0);
    const QByteArray before = ReadAll(book);
    google.endlessPageSize = 2500;
    const Result pulled = Cli({"google", "pull", book, "--refresh-token", token});
    EXPECT_EQ(pulled.exitCode, 2);
    EXPECT_TRUE(pulled.err.contains("more than 100000 contacts")) << pulled.err.toStdString();
    EXPECT_EQ(ReadAll(book), before);

    google.endlessPageSize = 1000;
    const Result groups = Cli({"google", "groups", "--refresh-token", token});
    EXPECT_EQ(groups.exitCode, 2);
    EXPECT_TRUE(groups.err.contains("more than 10000 contact groups")) << groups.err.toStdString();
    EXPECT_TRUE(groups.out.isEmpty());
}

TEST_F(GoogleCli, ABookChangedWhileThePullRanIsLeftAsTheOtherWriterMadeIt)
{
    google.AddPeople(2);
    const QString book = dir.filePath("ann.qcb");
    ASSERT_EQ(Cli({"google", "pull", book, "--refresh-token", token}).exitCode, 0);
    // A writer that does not ask for the lock (an editor, a copy) replaces the
    // book while the pull waits for the account.
    const QByteArray theirs = "<?xml version=\"1.0\"?>\n<!-- theirs -->\n";
    google.AddPeople(1);
    google.onRequest = [&](const QString &line) {
        if (line.contains("connections"))
            WriteAll(book, theirs);
    };
    const Result pulled = Cli({"google", "pull", book, "--refresh-token", token});
    EXPECT_EQ(pulled.exitCode, 2);
    EXPECT_TRUE(pulled.err.contains("was changed or removed by another program")) << pulled.err.toStdString();
    EXPECT_EQ(ReadAll(book), theirs);
}

TEST_F(GoogleCli, GroupsArePrintedWithTheirResourceNames)
{
    google.groups = {{"My Contacts", "contactGroups/myContacts"}, {"Golf", "contactGroups/golf"}};
    const Result groups = Cli({"google", "groups", "--refresh-token", token});
    EXPECT_EQ(groups.exitCode, 0) << groups.err.toStdString();
    EXPECT_EQ(groups.out, "Contacts\tcontactGroups/myContacts\nGolf\tcontactGroups/golf\n");

    EXPECT_EQ(Cli({"settings", "set", "GoogleClientID", ""}).exitCode, 0);
    const Result unconfigured = Cli({"google", "groups", "--refresh-token", token});
    EXPECT_EQ(unconfigured.exitCode, 2);
    EXPECT_TRUE(unconfigured.err.contains("must be configured"));
}

} // namespace

TEST_F(GoogleCli, StoredAccountsServeTheGoogleCommands)
{
    EXPECT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", token}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts", "add", "bob@example.com", "--geocoding-key", "k"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts"}).out,
              "ann@example.com\ttoken\nbob@example.com\tno token\tgeocoding key\n");
    // Stored encrypted, never as typed.
    EXPECT_FALSE(Cli({"settings", "list", "Google Accounts"}).out.contains(token));
    google.AddPeople(2);
    const Result groups = Cli({"google", "groups", "--account", "ann@example.com"});
    EXPECT_EQ(groups.exitCode, 0) << groups.err.toStdString();
    EXPECT_EQ(Cli({"google", "groups", "--account", "bob@example.com"}).exitCode, 2);
    EXPECT_EQ(Cli({"google", "accounts", "remove", "bob@example.com"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts", "remove", "bob@example.com"}).exitCode, 2);
    EXPECT_EQ(Cli({"google", "accounts"}).out, "ann@example.com\ttoken\n");
}

TEST_F(GoogleCli, SecretsArePrintedOnlyWhenAsked)
{
    const QString masked = QString("<secret: %1 characters>").arg(google.clientSecret.size());
    EXPECT_EQ(Cli({"settings", "get", "GoogleClientSecret"}).out, masked + "\n");
    EXPECT_EQ(Cli({"settings", "get", "GoogleClientSecret", "--show-secrets"}).out, google.clientSecret + "\n");
    EXPECT_EQ(Cli({"settings", "get", "GoogleClientID"}).out, google.clientId + "\n");
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", token}).exitCode, 0);

    const QString listed = Cli({"settings", "list"}).out;
    EXPECT_TRUE(listed.contains("GoogleClientSecret = " + masked + "\n")) << listed.toStdString();
    EXPECT_FALSE(listed.contains(google.clientSecret));
    const QString account = Cli({"settings", "list", "Google Accounts\\ann@example.com"}).out;
    EXPECT_TRUE(account.contains(QRegularExpression("^GoogleRefreshToken = <secret: \\d+ characters>$",
                                                    QRegularExpression::MultilineOption)))
        << account.toStdString();
    EXPECT_TRUE(Cli({"settings", "list", "--show-secrets"}).out.contains("GoogleClientSecret = " + google.clientSecret));
    EXPECT_EQ(Cli({"settings", "set", "GoogleClientSecret", "x", "--show-secrets"}).exitCode, 2);
}

// A token typed on the command line shows in ps: standard input and the
// environment carry it too. Adding to a stored account changes only what is given.
TEST_F(GoogleCli, TokensComeFromStandardInputOrTheEnvironmentAndAddKeepsWhatIsNotGiven)
{
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", "-"}, token.toUtf8() + "\n").exitCode, 0);
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--geocoding-key", "NEWKEY"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts"}).out, "ann@example.com\ttoken\tgeocoding key\n");
    EXPECT_EQ(Cli({"google", "groups", "--account", "ann@example.com"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", "-"}, "\n").exitCode, 2);
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", "other"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "groups", "--account", "ann@example.com"}).exitCode, 2); // replaced
    EXPECT_EQ(Cli({"google", "accounts"}).out, "ann@example.com\ttoken\tgeocoding key\n");

    const QList<QPair<QString, QString>> withToken = {{"CARDOLIN_GOOGLE_REFRESH_TOKEN", token}};
    EXPECT_EQ(Cli({"google", "groups"}, {}, withToken).exitCode, 0);
    EXPECT_EQ(Cli({"google", "groups"}, {}, {{"CARDOLIN_GOOGLE_REFRESH_TOKEN", "revoked"}}).exitCode, 2);
    ASSERT_EQ(Cli({"google", "accounts", "add", "bob@example.com"}, {}, withToken).exitCode, 0);
    EXPECT_EQ(Cli({"google", "accounts"}).out, "ann@example.com\ttoken\tgeocoding key\nbob@example.com\ttoken\n");
    // A named account uses its own token, not the environment's.
    ASSERT_EQ(Cli({"google", "accounts", "add", "carl@example.com"}).exitCode, 0);
    EXPECT_EQ(Cli({"google", "groups", "--account", "carl@example.com"}, {}, withToken).exitCode, 2);
}

TEST_F(GoogleCli, SyncPrintsTheCountersAndAsksBeforeDeleting)
{
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", token}).exitCode, 0);
    google.AddPeople(3);
    const QString book = dir.filePath("ann.qcb");
    ASSERT_EQ(Cli({"google", "pull", book, "--account", "ann@example.com"}).exitCode, 0);
    google.AddPeople(2); // in the account only

    const Result refused = Cli({"sync", book, "--account", "ann@example.com", "--action", "echo"});
    EXPECT_EQ(refused.exitCode, 0) << refused.err.toStdString();
    EXPECT_TRUE(refused.out.startsWith("local created: 0\nlocal deleted: 0\nlocal updated: 0\ncloud created: ")
                && refused.out.contains("\ncloud deleted: 0\ncloud updated: "))
        << refused.out.toStdString();
    EXPECT_TRUE(refused.err.contains("2 contact(s) of the Google account"));
    EXPECT_EQ(google.people.size(), 5);

    const Result deleted = Cli({"sync", book, "--account", "ann@example.com", "--action", "echo", "--yes"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_TRUE(deleted.out.contains("cloud deleted: 2\n"));
    EXPECT_EQ(google.people.size(), 3);

    // An account-only contact comes into the book, which is saved with its backup.
    google.AddPeople(1);
    const Result copied = Cli({"sync", book, "--account", "ann@example.com", "--action", "synchronize"});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_TRUE(copied.out.contains("local created: 1\n")) << copied.out.toStdString();
    EXPECT_EQ(Cli({"list", book}).out.count('\n'), 4);

    EXPECT_EQ(Cli({"sync", book, "--account", "nobody"}).exitCode, 2);
    EXPECT_EQ(Cli({"sync", book, "--account", "ann@example.com", "--action", "mirror"}).exitCode, 2);
}

// Values without a type come into the book and go out of it again.
TEST_F(GoogleCli, UntypedValuesArePulledAndPushed)
{
    google.people.append(QJsonObject{{"resourceName", "people/c1"},
                                     {"etag", "e1"},
                                     {"names", QJsonArray{QJsonObject{{"givenName", "Ann"}, {"familyName", "Lee"}}}},
                                     {"emailAddresses", QJsonArray{QJsonObject{{"value", "ann@example.com"}}}},
                                     {"phoneNumbers", QJsonArray{QJsonObject{{"value", "555"}, {"type", "Boat"}}}}});
    const QString book = dir.filePath("ann.qcb");
    ASSERT_EQ(Cli({"google", "pull", book, "--refresh-token", token}).exitCode, 0);
    const QString shown = Cli({"show", book, "--json"}).out;
    EXPECT_TRUE(shown.contains("ann@example.com")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\"555\"")) << shown.toStdString();

    google.people.clear();
    ASSERT_EQ(Cli({"google", "push", book, "--refresh-token", token}).out, "created 1, updated 0, failed 0\n");
    ASSERT_EQ(google.people.size(), 1);
    const QByteArray sent = QJsonDocument(google.people[0]).toJson();
    EXPECT_TRUE(sent.contains("ann@example.com") && sent.contains("\"555\"")) << sent.toStdString();
}

// Without the program's client ID, sync stops after saying so: no counters,
// and the account keeps its token.
TEST_F(GoogleCli, SyncWithoutTheClientIDStopsAndKeepsTheToken)
{
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--refresh-token", token}).exitCode, 0);
    const QString book = dir.filePath("ann.qcb");
    google.AddPeople(1);
    ASSERT_EQ(Cli({"google", "pull", book, "--account", "ann@example.com"}).exitCode, 0);
    ASSERT_EQ(Cli({"settings", "set", "GoogleClientID", ""}).exitCode, 0);
    google.requestLines.clear();
    const Result stopped = Cli({"sync", book, "--account", "ann@example.com"});
    EXPECT_EQ(stopped.exitCode, 2);
    EXPECT_TRUE(stopped.out.isEmpty()) << stopped.out.toStdString();
    EXPECT_TRUE(stopped.err.contains("must be configured")) << stopped.err.toStdString();
    EXPECT_TRUE(google.requestLines.isEmpty());
    EXPECT_EQ(Cli({"google", "accounts"}).out, "ann@example.com\ttoken\n");
}

TEST_F(GoogleCli, TheGeocodingKeyComesFromTheCommandLineElseTheEnvironmentElseTheStoredAccount)
{
    FakeGeocodingServer geocoding;
    geocoding.body = "<GeocodeResponse><status>ZERO_RESULTS</status></GeocodeResponse>";
    ASSERT_EQ(Cli({"google", "accounts", "add", "ann@example.com", "--geocoding-key", "stored"}).exitCode, 0);
    const struct
    {
        QStringList options;
        QString environmentKey;
        QString sent;
    } cases[] = {
        {{"--geocoding-key", "typed"}, "from-environment", "&key=typed "},
        {{}, "from-environment", "&key=from-environment "},
        {{}, "", "&key=stored "},
    };
    for (const auto &c : cases) {
        geocoding.requestLines.clear();
        const Result result = Cli(QStringList{"convert", CARDOLIN_FIXTURES "/cli/people.qcb", dir.filePath("map.kml")}
                                      + c.options,
                                  {},
                                  {{"CARDOLIN_GOOGLE_GEOCODING_URL", geocoding.BaseUrl()},
                                   {"CARDOLIN_GEOCODING_KEY", c.environmentKey}});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        ASSERT_FALSE(geocoding.requestLines.isEmpty()) << c.sent.toStdString();
        for (const QString &line : geocoding.requestLines)
            EXPECT_TRUE(line.contains(c.sent)) << line.toStdString();
    }
}
