#include "MainWindowFixture.h"

#include "app/ErrorReportDialog.h"
#include "app/SyncCommands.h"
#include "app/dialogs/GoogleAccountsDialog.h"
#include "app/dialogs/SyncResultsDialog.h"
#include "fakes/FakeGoogleService.h"
#include "online/StoredGoogleAccounts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace cardolin::testing {
namespace {

const QString kAccount = QStringLiteral("ann@example.com");

// The window over the fake service, with one stored account holding its token.
struct SyncCommandsTest : MainWindowFixture
{
    FakeGoogleService google;

    SyncCommandsTest()
    {
        google.Install();
        SetOption(SettingId::GoogleClientID, google.clientId);
        SetOption(SettingId::GoogleClientSecret, google.clientSecret);
        SaveGoogleAccounts(registry, {{kAccount, "geo-key", google.refreshToken}, {"bob@example.com", "", ""}}, kAccount);
    }
    ~SyncCommandsTest() override
    {
        for (const char *name : {"CARDOLIN_GOOGLE_AUTH_URL", "CARDOLIN_GOOGLE_TOKEN_URL", "CARDOLIN_GOOGLE_PEOPLE_URL"})
            qunsetenv(name);
    }
    void AddPerson(const QString &first, const QString &last)
    {
        google.people.append(QJsonObject{{"resourceName", QString("people/c%1").arg(google.people.size() + 1)},
                                         {"etag", "e1"},
                                         {"names", QJsonArray{QJsonObject{{"givenName", first}, {"familyName", last}}}}});
    }
    QComboBox *GoogleBox() const { return Child<QComboBox>("GoogleAccountComboBox"); }
    void ClickSync() const { Child<QPushButton>("SyncButton")->click(); }
    app::SyncCommands &Sync() const { return window->Sync(); }
};

TEST_F(SyncCommandsTest, FillsTheAccountBoxAtStart)
{
    Start();
    ASSERT_EQ(GoogleBox()->count(), 2);
    EXPECT_EQ(GoogleBox()->currentText(), kAccount);
    EXPECT_EQ(window->QorContacts1().GoogleGeocodingKey(), "geo-key");
    EXPECT_EQ(window->QorContacts2().GoogleGeocodingKey(), "geo-key");
}

// The window geocodes with the same key the command-line tool would.
TEST_F(SyncCommandsTest, TheEnvironmentsGeocodingKeyStandsBeforeTheStoredOne)
{
    qputenv("CARDOLIN_GEOCODING_KEY", "from-environment");
    Start();
    qunsetenv("CARDOLIN_GEOCODING_KEY");
    EXPECT_EQ(GoogleBox()->currentText(), kAccount);
    EXPECT_EQ(window->QorContacts1().GoogleGeocodingKey(), "from-environment");
    EXPECT_EQ(window->QorContacts2().GoogleGeocodingKey(), "from-environment");
}

TEST_F(SyncCommandsTest, SyncFillsAnEmptyBookAndShowsTheResults)
{
    google.AddPeople(40);
    Start();
    ClickSync();
    EXPECT_EQ(Rows(), 40);
    EXPECT_EQ(shownDialogs, QStringList{"Sync Results"});
    EXPECT_EQ(Sync().Form5()->LocalTexts(), QStringList({"40", "0", "0"}));
    EXPECT_EQ(Sync().Form5()->CloudTexts(), QStringList({"0", "0", "0"}));
    EXPECT_TRUE(Sync().Form5()->InformationText().startsWith("40 contacts have been synced in "));
    EXPECT_TRUE(Child<QPushButton>("ApplyButton")->isEnabled());
    EXPECT_TRUE(window->QorContacts2().ContactDataList().empty());
    EXPECT_EQ(ReadTextSetting(registry, SettingId::DefaultGoogleAccount), kAccount);
}

TEST_F(SyncCommandsTest, ShowsWarningsAndLeavesApplyAloneWhenNothingChanged)
{
    AddPerson("Anna", "Weber");
    WriteBook("ann", {"Anna", "Anna"}, [](TContactData &c) {
        c.LastName = "Weber";
        c.Synced = c.Modified;
    });
    Start();
    ClickSync();
    EXPECT_EQ(shownDialogs, QStringList({window->Form6()->windowTitle(), "Sync Results"}));
    EXPECT_EQ(window->Form6()->CountText(), "1 warning(s)");
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
    EXPECT_EQ(Sync().Form5()->InformationText().left(30), "0 contacts have been synced in");
}

// A configuration error is not a sync: the warning, then nothing more.
TEST_F(SyncCommandsTest, StopsAfterTheWarningWhenNoClientIDIsSet)
{
    SetOption(SettingId::GoogleClientID, QString());
    AddPerson("Anna", "Weber");
    Start();
    ClickSync();
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("must be configured")) << prompts.warnings[0].toStdString();
    EXPECT_TRUE(shownDialogs.isEmpty()) << shownDialogs.join('|').toStdString();
    EXPECT_TRUE(google.requestLines.isEmpty());
    EXPECT_EQ(ReadGoogleRefreshToken(registry, kAccount), google.refreshToken);
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
}

// A partly read book must never stand for the book: Echo would empty the account.
TEST_F(SyncCommandsTest, RefusesABookThatFailedToLoad)
{
    AddPerson("Anna", "Weber");
    SetOption(SettingId::SyncAction, 1);
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    QFile::copy(CARDOLIN_FIXTURES "/cli/malformed.qcb", Book("ann"));
    Start();
    prompts.errors.clear();
    ClickSync();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("Refresh")) << prompts.errors[0].toStdString();
    EXPECT_TRUE(google.requestLines.isEmpty());
    EXPECT_TRUE(shownDialogs.isEmpty());
}

TEST_F(SyncCommandsTest, ManagesAccountsInTheDialog)
{
    Start();
    app::GoogleAccountsDialog *dialog = Sync().Form7();
    std::function<void()> inDialog;
    bool accept = true;
    window->ExecDialog = [&](QDialog &shown) {
        inDialog();
        shown.setResult(accept ? QDialog::Accepted : QDialog::Rejected);
    };

    // Adding an existing account keeps one row and forgets its token; an empty name is refused.
    inDialog = [&] {
        EXPECT_EQ(dialog->GoogleAccountsQorListView()->Items().Text(0, 2), "Yes");
        dialog->AccountEdit()->setText(kAccount);
        dialog->GeocodingKeyEdit()->setText("new-key");
        dialog->Add1Click();
        dialog->AccountEdit()->setText("carl@example.com");
        dialog->GeocodingKeyEdit()->clear();
        dialog->Add1Click();
        dialog->AccountEdit()->clear();
        dialog->Add1Click();
    };
    Sync().ManageGoogleAccountsSpeedButtonClick();
    EXPECT_EQ(prompts.errors, QStringList{"The Google Account value must be non-empty."});
    ASSERT_EQ(GoogleBox()->count(), 3);
    EXPECT_EQ(GoogleBox()->currentText(), kAccount);
    EXPECT_EQ(ReadGoogleRefreshToken(registry, kAccount), QString());
    EXPECT_EQ(ReadGoogleGeocodingKey(registry, kAccount), "new-key");
    EXPECT_EQ(StoredGoogleAccountNames(registry).size(), 3);

    // Cancel changes nothing, even after deleting rows.
    accept = false;
    inDialog = [&] {
        dialog->GoogleAccountsQorListView()->selectAll();
        dialog->Delete1Click();
    };
    Sync().ManageGoogleAccountsSpeedButtonClick();
    EXPECT_EQ(GoogleBox()->count(), 3);

    // Every account deleted: no default account is left.
    accept = true;
    Sync().ManageGoogleAccountsSpeedButtonClick();
    EXPECT_EQ(GoogleBox()->count(), 0);
    EXPECT_TRUE(StoredGoogleAccountNames(registry).isEmpty());
    EXPECT_FALSE(registry.ValueExists("DefaultGoogleAccount"));
}

} // namespace
} // namespace cardolin::testing
