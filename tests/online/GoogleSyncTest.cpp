#include "online/GoogleSync.h"
#include "online/StoredGoogleAccounts.h"
#include "online/GoogleFixture.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"

#include <QThread>

namespace cardolin::testing {
namespace {

const QString kAccount = QStringLiteral("me@example.com");

// The book in `book`, the account side in `cloud`, the stored account holding
// the fake service's refresh token.
struct GoogleSyncTest : GoogleFixture
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    TQorContacts cloud;
    QStringList log;

    GoogleSyncTest()
    {
        registry.SetKey(QString(kProgramSettingsKey));
        SaveGoogleAccounts(registry, {{kAccount, QString(), google.refreshToken}}, kAccount);
        cloud.SetClock(clock);
        cloud.SetPrompts(prompts);
        cloud.SetDesktop(desktop);
        cloud.SetGoogleClientID(google.clientId);
        cloud.SetGoogleClientSecret(google.clientSecret);
        cloud.SetGoogleServiceTiming({0, 3, 0});
    }

    void AddPerson(const QString &first, const QString &last, const QString &updated = "2030-01-01T00:00:00Z")
    {
        google.people.append(QJsonObject{
            {"resourceName", QString("people/c%1").arg(google.people.size() + 1)},
            {"etag", "e1"},
            {"names", QJsonArray{QJsonObject{{"givenName", first}, {"familyName", last}}}},
            {"metadata", QJsonObject{{"sources", QJsonArray{QJsonObject{{"updateTime", updated}}}}}}});
    }
    // A book contact; synced ones carry no change since their last run.
    TContactData *AddContact(const QString &first, const QString &last, bool synced = false)
    {
        TContactData *c = book.CreateContactData();
        c->FirstName = first;
        c->LastName = last;
        if (synced)
            c->Synced = c->Modified;
        return c;
    }

    TGoogleSync Sync(TSyncAction action)
    {
        TGoogleSync sync(registry, book, cloud, prompts);
        sync.Action = action;
        sync.Log = [this](const QString &line) { log.append(line); };
        return sync;
    }
    QStringList BookNames() const
    {
        QStringList names;
        for (const auto &c : book.ContactDataList())
            names.append(book.GetDisplayNameFromContactData(c.get(), dtFirstLastName));
        return names;
    }
};

TEST_F(GoogleSyncTest, FillsAnEmptyBookFromTheAccount)
{
    google.AddPeople(40);
    TGoogleSync sync = Sync(saContribute);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().LocalCreated, 40);
    EXPECT_EQ(sync.Counters().Total(), 40);
    ASSERT_EQ(book.ContactDataList().size(), 40u);
    EXPECT_EQ(book.ContactDataList()[0]->GoogleContactID, "people/c1");
    EXPECT_EQ(google.uploadCount, 0);
    EXPECT_TRUE(log.size() == 1 && log[0].startsWith("40 contacts have been synced in ")) << log.join('|').toStdString();
    EXPECT_TRUE(cloud.ContactDataList().empty());
    EXPECT_EQ(ReadGoogleRefreshToken(registry, kAccount), google.refreshToken);
}

TEST_F(GoogleSyncTest, UploadsEveryContactIntoAnEmptyAccountAfterAWarning)
{
    for (int i = 0; i < 10; ++i)
        AddContact(QString("Name%1").arg(i), "Local");
    TGoogleSync sync = Sync(saEcho);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(prompts.warnings, QStringList{"First time sync of 10 contact(s) can take up to 5 second(s)."});
    EXPECT_EQ(sync.Counters().CloudCreated, 10);
    EXPECT_EQ(google.people.size(), 10);
    EXPECT_TRUE(prompts.questions.isEmpty()); // nothing to delete, nothing asked
    EXPECT_TRUE(log.contains("    Exporting all contacts"));
}

TEST_F(GoogleSyncTest, SkipsANameFoundTwiceInTheBookWithAWarning)
{
    AddPerson("Anna", "Weber");
    AddContact("Anna", "Weber", true);
    AddContact("Anna", "Weber", true);
    TGoogleSync sync = Sync(saSynchronize);
    ASSERT_TRUE(sync.Run(kAccount));
    ASSERT_EQ(sync.Warnings().size(), 1);
    EXPECT_EQ(sync.Warnings()[0], "2 contacts have been found for the following contact:\rAnna Weber\r"
                                  "This contact will be skipped during sync process.");
    EXPECT_EQ(sync.Counters().Total(), 0);
    EXPECT_EQ(google.uploadCount, 0);
    EXPECT_EQ(google.CountRequests("DELETE"), 0);
    EXPECT_TRUE(book.ContactDataList()[0]->GoogleContactID.isEmpty());
}

TEST_F(GoogleSyncTest, EchoDeletesAccountOnlyContactsOnlyWhenConfirmed)
{
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer);
        google.people.clear();
        book.ClearContactDataList();
        prompts.questions.clear();
        AddPerson("Kept", "Person");
        for (const char *first : {"Gone1", "Gone2", "Gone3"})
            AddPerson(first, "Person");
        AddPerson("Also", "Kept");
        AddContact("Kept", "Person", true);
        AddContact("Also", "Kept", true);
        prompts.answerYes = answer;
        TGoogleSync sync = Sync(saEcho);
        ASSERT_TRUE(sync.Run(kAccount));
        ASSERT_EQ(prompts.questions.size(), 1);
        EXPECT_TRUE(prompts.questions[0].startsWith("3 contact(s) of the Google account")) << prompts.questions[0].toStdString();
        EXPECT_EQ(sync.Counters().CloudDeleted, answer ? 3 : 0);
        EXPECT_EQ(google.people.size(), answer ? 2 : 5);
        EXPECT_EQ(book.ContactDataList().size(), 2u);
    }
}

TEST_F(GoogleSyncTest, UploadsANeverSyncedMatchAsAnUpdate)
{
    AddPerson("Carl", "Jung");
    AddContact("Carl", "Jung");
    AddContact("Other", "Local", true);
    TGoogleSync sync = Sync(saContribute);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().CloudUpdated, 1);
    EXPECT_EQ(sync.Counters().CloudCreated, 0);
    EXPECT_EQ(google.CountRequests("PATCH /v1/people/c1:updateContact"), 1);
    EXPECT_EQ(google.CountRequests("POST /v1/people:createContact"), 0);
    EXPECT_TRUE(log.contains("  Force sync of Carl Jung"));
    EXPECT_TRUE(log.contains("    Other Local is not present in cloud"));
}

TEST_F(GoogleSyncTest, SynchronizeCopiesBothWaysAndLinksTheCopy)
{
    AddPerson("Solo", "Cloud");
    AddPerson("Newer", "Cloud", "2031-01-01T00:00:00Z");
    google.people[1]["emailAddresses"] = QJsonArray{QJsonObject{{"value", "newer@example.com"}, {"type", "home"}}};
    TContactData *older = AddContact("Newer", "Cloud", true);
    older->Synced = 1.0; // long ago
    older->Modified = 1.0;
    TGoogleSync sync = Sync(saSynchronize);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().LocalCreated, 1);
    EXPECT_EQ(sync.Counters().LocalUpdated, 1);
    EXPECT_EQ(sync.Counters().CloudCreated, 0); // the copy was made in the book, not in the account
    EXPECT_EQ(sync.Counters().CloudUpdated, 1);
    EXPECT_EQ(BookNames(), QStringList({"Newer Cloud", "Solo Cloud"}));
    EXPECT_EQ(book.ContactDataList()[0]->PersonalEmail, "newer@example.com");
    EXPECT_EQ(book.ContactDataList()[1]->GoogleContactID, "people/c1");
    // The copy goes back as an update of its own account contact, never as a new one.
    EXPECT_EQ(google.CountRequests("PATCH /v1/people/c1:updateContact"), 1);
    EXPECT_EQ(google.CountRequests("POST /v1/people:createContact"), 0);
    EXPECT_EQ(google.people.size(), 2);
}

// A part of the account must count neither as the account nor as empty.
TEST_F(GoogleSyncTest, AFailedReadChangesNothingOnEitherSide)
{
    for (int i = 0; i < 150; ++i)
        AddPerson(QString("Cloud%1").arg(i), "Person");
    google.failConnectionsPage = 1;
    google.failConnectionsTimes = 100;
    AddContact("Cloud1", "Person");
    AddContact("Local", "Only");
    for (const TSyncAction action : {saEcho, saSynchronize}) {
        prompts.answerYes = true;
        TGoogleSync sync = Sync(action);
        EXPECT_FALSE(sync.Run(kAccount));
        EXPECT_EQ(sync.Counters().Total(), 0);
        EXPECT_EQ(sync.Warnings().size(), 1);
    }
    // An empty book is not filled from a part of the account either.
    book.ClearContactDataList();
    EXPECT_FALSE(Sync(saContribute).Run(kAccount));
    EXPECT_TRUE(book.ContactDataList().empty());
    EXPECT_EQ(google.people.size(), 150);
    EXPECT_EQ(google.uploadCount, 0);
    EXPECT_EQ(google.CountRequests("DELETE"), 0);
    EXPECT_TRUE(prompts.questions.isEmpty());
}

TEST_F(GoogleSyncTest, GoesOnAfterARateLimitDuringTheUpload)
{
    AddPerson("Anchor", "Person");
    AddContact("Anchor", "Person", true);
    for (const char *first : {"One", "Two", "Three"})
        AddContact(first, "New");
    google.failUploadNumber = 2;
    google.failStatus = 429;
    TGoogleSync sync = Sync(saContribute);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().CloudCreated, 2); // the refused one is no creation
    EXPECT_EQ(google.uploadCount, 3);
    EXPECT_EQ(google.people.size(), 3);
    EXPECT_EQ(book.ContactDataList()[2]->Synced, 0.0); // sent again next time
}

TEST_F(GoogleSyncTest, ForgetsATokenThatNoLongerWorks)
{
    SaveGoogleAccounts(registry, {{kAccount, QString(), "revoked"}}, kAccount);
    prompts.inputAnswer = QString(); // the user gives up at the code box
    AddContact("Some", "One");
    TGoogleSync sync = Sync(saEcho);
    EXPECT_FALSE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().Total(), 0);
    EXPECT_EQ(ReadGoogleRefreshToken(registry, kAccount), QString());
    EXPECT_EQ(google.CountRequests("GET /v1/people"), 0);
}

// Ten account contacts with e-mails of no type (one also with a labelled
// phone and more e-mails than the book has fields): nothing of it may leave
// the account when the book sends its changes back.
struct UntypedValues : GoogleSyncTest
{
    void AddAccountPeople(const QString &updated)
    {
        for (int i = 0; i < 10; ++i) {
            AddPerson(QString("Name%1").arg(i), "Person", updated);
            google.people[i]["emailAddresses"] = QJsonArray{QJsonObject{{"value", QString("p%1@example.com").arg(i)}}};
        }
        google.people[0]["emailAddresses"] = QJsonArray{
            QJsonObject{{"value", "p0@example.com"}}, QJsonObject{{"value", "w@example.com"}, {"type", "work"}},
            QJsonObject{{"value", "h@example.com"}, {"type", "home"}},
            QJsonObject{{"value", "school@example.com"}, {"type", "school"}}};
        google.people[0]["phoneNumbers"] = QJsonArray{QJsonObject{{"value", "555"}, {"type", "Boat"}}};
    }
    static QStringList Values(const QJsonObject &person, const char *member)
    {
        QStringList values;
        for (const QJsonValue &element : person.value(member).toArray())
            if (!element["value"].toString().isEmpty())
                values.append(element["value"].toString() + u'/' + element["type"].toString());
        return values;
    }
    void ExpectAccountKeepsEverything()
    {
        ASSERT_EQ(google.people.size(), 10);
        for (int i = 1; i < 10; ++i)
            EXPECT_TRUE(Values(google.people[i], "emailAddresses").join(' ').contains(QString("p%1@example.com").arg(i)))
                << i << ": " << Values(google.people[i], "emailAddresses").join(' ').toStdString();
        const QStringList first = Values(google.people[0], "emailAddresses");
        EXPECT_EQ(first.size(), 4) << first.join(' ').toStdString();
        EXPECT_TRUE(first.contains("school@example.com/school")) << first.join(' ').toStdString();
        EXPECT_TRUE(first.join(' ').contains("p0@example.com/")) << first.join(' ').toStdString();
        EXPECT_EQ(Values(google.people[0], "phoneNumbers"), QStringList{"555/Boat"});
    }
};

// The book's own changes go out under every action, and nothing else is lost.
TEST_F(UntypedValues, AnUpdateKeepsWhatTheBookCannotHoldUnderEveryAction)
{
    for (const TSyncAction action : {saContribute, saEcho, saSynchronize}) {
        SCOPED_TRACE(action);
        google.people.clear();
        book.ClearContactDataList();
        AddAccountPeople("2029-01-01T00:00:00Z");
        ASSERT_TRUE(Sync(action).Run(kAccount)); // the empty book is filled
        ASSERT_EQ(book.ContactDataList()[1]->WorkEmail, "p1@example.com");
        for (const auto &c : book.ContactDataList()) {
            c->Synced = c->Modified - 1; // synced yesterday, edited since
            c->JobTitle = "Edited";
        }
        google.uploads.clear();
        TGoogleSync sync = Sync(action);
        ASSERT_TRUE(sync.Run(kAccount));
        EXPECT_EQ(sync.Counters().CloudUpdated, 10);
        EXPECT_EQ(google.uploads.size(), 10);
        EXPECT_EQ(google.people[3]["organizations"][0]["title"], "Edited");
        ExpectAccountKeepsEverything();
    }
}

// As found in use: Synchronize against a book of the same names, never synced.
TEST_F(UntypedValues, SynchronizeBringsTheEmailsIntoTheBookAndLeavesThemInTheAccount)
{
    AddAccountPeople("2030-01-01T00:00:00Z");
    for (int i = 0; i < 10; ++i)
        AddContact(QString("Name%1").arg(i), "Person");
    TGoogleSync sync = Sync(saSynchronize);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_EQ(sync.Counters().LocalUpdated, 10);
    EXPECT_EQ(book.ContactDataList()[5]->WorkEmail, "p5@example.com");
    const TContactData &first = *book.ContactDataList()[0];
    EXPECT_EQ(QStringList({first.WorkEmail, first.PersonalEmail, first.OtherEmail}),
              QStringList({"w@example.com", "h@example.com", "p0@example.com"}));
    EXPECT_EQ(first.OtherPhone, "555");
    EXPECT_EQ(google.uploads.size(), 10);
    ExpectAccountKeepsEverything();
}

// The results count what the service accepted, creations apart from updates;
// after a refusal nothing more is sent, or counted.
TEST_F(GoogleSyncTest, CountsWhatTheServiceAccepted)
{
    const struct
    {
        const char *name;
        int failUpload, failStatus, created, updated;
    } cases[] = {
        {"rate limited update", 5, 429, 50, 9},
        {"refused creation stops the upload", 12, 400, 1, 10},
        {"nothing refused", 0, 0, 50, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        google.people.clear();
        google.uploadCount = 0;
        book.ClearContactDataList();
        for (int i = 0; i < 10; ++i)
            AddPerson(QString("Name%1").arg(i), "Person");
        for (int i = 0; i < 60; ++i)
            AddContact(QString("Name%1").arg(i), "Person");
        google.failUploadNumber = c.failUpload;
        google.failStatus = c.failStatus;
        TGoogleSync sync = Sync(saContribute);
        ASSERT_TRUE(sync.Run(kAccount));
        EXPECT_EQ(sync.Counters().CloudCreated, c.created);
        EXPECT_EQ(sync.Counters().CloudUpdated, c.updated);
        EXPECT_EQ(google.people.size(), 10 + c.created);
    }
}

// Signing in may wait for the user: the time shown is the sync's own.
TEST_F(GoogleSyncTest, TimesTheRunFromAfterTheSignIn)
{
    AddPerson("Anna", "Weber");
    AddContact("Anna", "Weber", true);
    bool signedIn = false; // the account side's own token request is no sign-in
    google.onRequest = [&](const QString &line) {
        if (line.startsWith("POST /token") && !std::exchange(signedIn, true))
            QThread::msleep(1500);
    };
    TGoogleSync sync = Sync(saContribute);
    ASSERT_TRUE(sync.Run(kAccount));
    EXPECT_LT(sync.ElapsedMs(), 1500);
}

// Without the program's client ID nothing is tried and nothing is reported,
// and the account keeps its token.
TEST_F(GoogleSyncTest, StopsAtOnceWithoutTheClientID)
{
    book.SetGoogleClientID("");
    AddContact("Some", "One");
    TGoogleSync sync = Sync(saEcho);
    EXPECT_FALSE(sync.Run(kAccount));
    EXPECT_TRUE(sync.NotConfigured());
    EXPECT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(google.requestLines.isEmpty());
    EXPECT_EQ(ReadGoogleRefreshToken(registry, kAccount), google.refreshToken);

    book.SetGoogleClientID(google.clientId);
    EXPECT_TRUE(sync.Run(kAccount));
    EXPECT_FALSE(sync.NotConfigured());
}

TEST(DurationTextTest, NamesTheLargestWholeUnit)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "0 millisecond"},         {1, "1 millisecond(s)"},      {1000, "1000 millisecond(s)"},
        {1001, "1 second(s)"},        {5000, "5 second(s)"},        {60000, "60 second(s)"},
        {60001, "1 minute(s)"},       {3600001, "1 hour(s)"},       {86400000, "24 hour(s)"},
        {86400001, "Too many milliseconds to display."},
    };
    for (const auto &[ms, text] : cases)
        EXPECT_EQ(DurationText(ms), QString(text)) << ms;
}

} // namespace
} // namespace cardolin::testing
