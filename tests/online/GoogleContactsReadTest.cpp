#include "GoogleFixture.h"

#include "contacts/SerialDate.h"
#include "online/PeopleFields.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using Reading = GoogleFixture;

QJsonObject Person(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

TEST_F(Reading, ReadsEveryPageUntilTheTotal)
{
    google.AddPeople(250);
    Connect();
    EXPECT_EQ(book.ImportFromGoogleContactsService(), 250);
    ASSERT_EQ(google.CountRequests("GET /v1/people/me/connections?personFields=names,addresses,"), 3);
    EXPECT_TRUE(google.requestLines[1].contains("&pageSize=100"));
    EXPECT_TRUE(google.requestLines[1].contains("metadata,photos"));
    EXPECT_TRUE(google.requestLines.last().endsWith("&pageToken=200"));
    EXPECT_EQ(book.ContactDataList().back()->FirstName, "Given250");
    EXPECT_FALSE(book.RESTStrings().isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(Reading, EmptyAccountAnswersMinusOneAndUnconnectedZero)
{
    book.SetGoogleClientID("");
    book.CreateContactData();
    EXPECT_EQ(book.ImportFromGoogleContactsService(), 0);
    EXPECT_EQ(book.ContactDataList().size(), 1u);

    book.SetGoogleClientID(google.clientId);
    Connect();
    EXPECT_EQ(book.ImportFromGoogleContactsService(), -1);
    EXPECT_TRUE(book.ContactDataList().empty());
}

TEST_F(Reading, LaterPageIsAskedAgainAFewTimesThenTheReadStops)
{
    google.AddPeople(250);
    google.failConnectionsPage = 1;
    google.failConnectionsTimes = 2;
    Connect();
    EXPECT_EQ(book.ImportFromGoogleContactsService(), 250);
    EXPECT_TRUE(prompts.errors.isEmpty());

    google.failConnectionsTimes = 100;
    google.requestLines.clear();
    EXPECT_EQ(book.ImportFromGoogleContactsService(), 100);
    EXPECT_EQ(google.requestLines.size(), 1 + 4); // the first page, then the second four times
    EXPECT_EQ(prompts.errors, QStringList{"An error occurred while importing contacts from Google Contacts Service."});
    EXPECT_FALSE(book.LastError().isEmpty());
}

TEST_F(Reading, FieldTableFillsTheContact)
{
    google.groups = {{"Golf", "contactGroups/golf"}, {"My Contacts", "contactGroups/myContacts"}};
    google.people.append(Person(R"({
      "resourceName": "people/c7", "etag": "%EgU=",
      "metadata": {"sources": [{"updateTime": "2029-03-04T05:06:07.890Z"}]},
      "photos": [{"url": "http://photo/1"}], "locales": [{"value": "fr"}],
      "names": [{"displayName": "Dr. Anna Maria Weber"}],
      "nicknames": [{"value": "AW", "type": "INITIALS"}, {"value": "Annie", "type": "DEFAULT"},
                    {"value": "x", "type": "MAIDEN_NAME"}],
      "genders": [{"value": "female", "formattedValue": "Female"}],
      "emailAddresses": [{"value": "w@x.org", "type": "work"},
                         {"value": "h@x.org", "type": "home", "metadata": {"primary": true}},
                         {"value": "c@x.org", "type": "custom"}],
      "urls": [{"value": "w.org", "type": "work"}, {"value": "o.org", "type": "other"}],
      "biographies": [{"value": "one\n\nthree"}],
      "organizations": [{"name": "ACME", "department": "R&D", "title": "Chief"}],
      "occupations": [{"value": "Engineer"}],
      "imClients": [{"username": "anna", "protocol": "whatsApp", "type": "home"},
                    {"username": "aw", "protocol": "", "type": "work"}],
      "relations": [{"person": "Bob", "type": "brother"}, {"person": "Carl", "type": "partner"}],
      "phoneNumbers": [{"value": "1", "type": "mobile"}, {"value": "2", "type": "mobile"},
                       {"value": "3", "type": "main"}, {"value": "4", "type": "workFax"},
                       {"value": "5", "type": "other", "metadata": {"primary": true}}],
      "addresses": [{"streetAddress": "1 Rue", "poBox": "BP 2", "city": "Lyon", "region": "ARA",
                     "postalCode": "69001", "country": "France", "type": "work"}],
      "miscKeywords": [{"value": "private", "type": "OUTLOOK_SENSITIVITY"},
                       {"value": "high", "type": "OUTLOOK_PRIORITY"}],
      "memberships": [{"contactGroupMembership": {"contactGroupResourceName": "contactGroups/golf"}},
                      {"contactGroupMembership": {"contactGroupResourceName": "contactGroups/unknown"}}],
      "birthdays": [{"date": {"month": 7, "day": 4}}],
      "events": [{"date": {"year": 1990, "month": 1, "day": 2}, "type": "custom"},
                 {"date": {"year": 2001, "month": 9, "day": 8}, "type": "anniversary"}]
    })"));
    Connect();
    ASSERT_EQ(book.ImportFromGoogleContactsService(), 1);
    const TContactData &c = *book.ContactDataList().front();

    EXPECT_EQ(c.GoogleContactID, "people/c7");
    EXPECT_EQ(c.GoogleContactETag, "%EgU=");
    EXPECT_EQ(c.GoogleContactUpdated, "2029-03-04T05:06:07.890Z");
    EXPECT_EQ(SerialToIsoUtc(c.Synced), "2029-03-04T05:06:07Z");
    EXPECT_EQ(c.GoogleContactPhotoUrl, "http://photo/1");
    EXPECT_EQ(c.Language, "fr");
    EXPECT_EQ(QStringList({c.Title, c.FirstName, c.MiddleName, c.LastName}),
              QStringList({"Dr.", "Anna", "Maria", "Weber"}));
    EXPECT_EQ(c.Initials, "AW");
    EXPECT_EQ(c.Nickname, "Annie");
    EXPECT_EQ(c.Gender, "Female");
    // A type of its own takes the first free field of its kind.
    EXPECT_EQ(QStringList({c.WorkEmail, c.PersonalEmail, c.OtherEmail}), QStringList({"w@x.org", "h@x.org", "c@x.org"}));
    EXPECT_EQ(QStringList({c.WorkWebsite, c.OtherWebsite}), QStringList({"w.org", "o.org"}));
    EXPECT_EQ(c.Notes, QStringList({"one", "", "three"}));
    EXPECT_EQ(QStringList({c.Company, c.Department, c.JobTitle, c.Role}),
              QStringList({"ACME", "R&D", "Chief", "Engineer"}));
    EXPECT_EQ(c.PersonalIM, "anna@whatsApp");
    EXPECT_EQ(c.WorkIM, "aw");
    EXPECT_EQ(c.SignificantOther, "Carl");
    EXPECT_EQ(c.PersonalMobilePhone, "2");
    EXPECT_EQ(c.WorkFax, "4");
    EXPECT_EQ(c.OtherPhone, "5");
    EXPECT_EQ(c.HomePhone, "3");
    EXPECT_EQ(c.Preferred, "Other"); // the primary phone comes after the primary e-mail
    EXPECT_EQ(QStringList({c.WorkStreet, c.WorkPOBox, c.WorkCity, c.WorkStateProvince, c.WorkPostalCode,
                           c.WorkCountryRegion}),
              QStringList({"1 Rue", "BP 2", "Lyon", "ARA", "69001", "France"}));
    EXPECT_EQ(c.Sensitivity, "Private");
    EXPECT_EQ(c.Priority, "High");
    EXPECT_EQ(c.Categories.Entries(), QStringList{"Golf"});
    EXPECT_TRUE(book.Categories().contains("Golf"));
    EXPECT_EQ(c.Birthday, 0);
    EXPECT_EQ(SerialToIsoDate(c.Anniversary), "2001-09-08");
}

// Values without a type, or with a label the user typed, take the first free
// field of their kind after the typed ones; what finds no field is kept for
// the next update, without what only the service writes.
TEST_F(Reading, UntypedValuesTakeFreeFieldsAndTheRestIsKeptForTheUpdate)
{
    google.people.append(Person(R"({"resourceName": "people/c1",
      "names": [{"givenName": "Ann"}],
      "emailAddresses": [{"value": "a@x.org"}, {"value": "s@x.org", "type": "school", "formattedType": "school"},
                         {"value": "w@x.org", "type": "work"}, {"value": "w@x.org"},
                         {"value": "c@x.org", "metadata": {"primary": true}}, {"value": "", "type": "club"}],
      "phoneNumbers": [{"value": "1"}, {"value": "2", "type": "main"}, {"value": "3", "type": "home"},
                       {"value": "4", "type": "Boat"}, {"value": "5", "type": "mobile"}, {"value": "6", "type": "mobile"}],
      "urls": [{"value": "blog.org", "type": "blog"}],
      "imClients": [{"username": "ann", "protocol": "skype"}],
      "addresses": [{"streetAddress": "1 Way", "city": "Lyon", "metadata": {"primary": true}}],
      "nicknames": [{"value": "Annie", "type": "DEFAULT"}, {"value": "Smith", "type": "MAIDEN_NAME"}],
      "relations": [{"person": "Bob", "type": "brother"}],
      "events": [{"date": {"year": 2001, "month": 9, "day": 8}, "type": "graduation"}]})"));
    google.people.append(Person(R"({"resourceName": "people/c2", "names": [{"givenName": "Bea"}],
      "emailAddresses": [{"value": "b@x.org", "type": "home"}]})"));
    Connect();
    ASSERT_EQ(book.ImportFromGoogleContactsService(), 2);
    const TContactData &c = *book.ContactDataList().front();
    EXPECT_EQ(QStringList({c.WorkEmail, c.PersonalEmail, c.OtherEmail}), QStringList({"w@x.org", "a@x.org", "s@x.org"}));
    EXPECT_EQ(QStringList({c.OtherPhone, c.HomePhone, c.WorkPhone, c.PersonalMobilePhone}),
              QStringList({"1", "3", "2", "6"}));
    EXPECT_EQ(c.WorkWebsite, "blog.org");
    EXPECT_EQ(c.WorkIM, "ann@skype");
    EXPECT_EQ(QStringList({c.WorkStreet, c.WorkCity}), QStringList({"1 Way", "Lyon"}));
    EXPECT_EQ(c.Preferred, "Work"); // the primary address went to the work fields

    const auto leftovers = book.GooglePersonLeftovers();
    EXPECT_EQ(leftovers.size(), 1); // Bea's typed e-mail has its field
    const QJsonObject kept = leftovers.value("people/c1");
    EXPECT_EQ(kept.value("emailAddresses"), QJsonDocument::fromJson(R"([{"value": "c@x.org"}])").array());
    EXPECT_EQ(kept.value("phoneNumbers"),
              QJsonDocument::fromJson(R"([{"value": "4", "type": "Boat"}, {"value": "5", "type": "mobile"}])").array());
    EXPECT_EQ(kept.value("nicknames"), QJsonDocument::fromJson(R"([{"value": "Smith", "type": "MAIDEN_NAME"}])").array());
    EXPECT_EQ(kept.value("relations").toArray().size(), 1);
    EXPECT_EQ(kept.value("events").toArray().size(), 1);
    EXPECT_FALSE(kept.contains("urls"));
    EXPECT_FALSE(kept.contains("addresses"));
}

TEST_F(Reading, InvalidDatesAreSkippedAndNamelessContactsAreNamedAfterTheirEmail)
{
    google.people.append(Person(R"({"resourceName": "people/1",
      "emailAddresses": [{"value": "jean.dupont@x.org", "type": "work", "metadata": {"primary": true}}],
      "birthdays": [{"date": {"year": 1980, "month": 13, "day": 40}}],
      "events": [{"date": {"year": 2001, "month": 2, "day": 30}, "type": "anniversary"}]})"));
    google.people.append(Person(R"({"resourceName": "people/2",
      "emailAddresses": [{"value": "o'neil-smith@x.org", "type": "home", "metadata": {"primary": true}}],
      "birthdays": [{"date": {"year": 1980, "month": 7, "day": 4}}]})"));
    Connect();
    ASSERT_EQ(book.ImportFromGoogleContactsService(), 2);
    const TContactData &jean = *book.ContactDataList()[0];
    EXPECT_EQ(QStringList({jean.FirstName, jean.LastName, jean.Preferred}), QStringList({"Jean", "Dupont", "Work"}));
    EXPECT_EQ(jean.Birthday, 0);
    EXPECT_EQ(jean.Anniversary, 0);
    const TContactData &oneil = *book.ContactDataList()[1];
    EXPECT_EQ(oneil.LastName, "O'neil-Smith");
    EXPECT_EQ(SerialToIsoDate(oneil.Birthday), "1980-07-04");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(Reading, PhotoIsLoadedWhenItIsAJpeg)
{
    google.photos["/photos/1"] = QByteArray("\xFF\xD8\xFF\xE0 jpeg", 9);
    google.photos["/photos/2"] = "<html>";
    TContactData *contact = book.CreateContactData();
    EXPECT_FALSE(book.ReadGoogleContactPhotoFromGoogleContactsService(contact));
    contact->GoogleContactPhotoUrl = google.BaseUrl() + "photos/1";
    EXPECT_TRUE(book.ReadGoogleContactPhotoFromGoogleContactsService(contact));
    EXPECT_EQ(contact->Photo, google.photos["/photos/1"]);
    contact->GoogleContactPhotoUrl = google.BaseUrl() + "photos/2";
    EXPECT_FALSE(book.ReadGoogleContactPhotoFromGoogleContactsService(contact));
    contact->GoogleContactPhotoUrl = google.BaseUrl() + "photos/3";
    EXPECT_FALSE(book.ReadGoogleContactPhotoFromGoogleContactsService(contact));
    EXPECT_EQ(prompts.errors,
              (QStringList{"No photo is available for the contact.",
                           "An error occurred while processing contact photo from Google Contacts Service.",
                           "An error occurred while reading contact photo from Google Contacts Service."}));
    EXPECT_EQ(contact->Photo, google.photos["/photos/1"]);
}

} // namespace

namespace {

TEST(CapitalizeWords, AfterSpacesHyphensAndOpenersThatFollowASpace)
{
    const struct
    {
        const char *text, *expected;
    } cases[] = {
        {"normal", "Normal"}, {"o'neil-smith", "O'neil-Smith"}, {"a (b \"c", "A (B \"C"},
        {"x(y\"z", "X(y\"z"}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cardolin::CapitalizeWords(c.text), c.expected) << c.text;
}

} // namespace
