#include "GoogleFixture.h"

#include "online/PersonBody.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

void FillEveryField(TContactData &c)
{
    c.GoogleContactID = "people/c1";
    c.GoogleContactETag = "e1";
    c.Language = "de";
    c.Title = "Dr.", c.FirstName = "Ann", c.MiddleName = "B", c.LastName = "O\"Hara \\ Smith", c.Suffix = "Jr.";
    c.Nickname = "Annie", c.Gender = "Female", c.Company = "ACME", c.Department = "R&D", c.JobTitle = "Boss";
    c.Notes = {"line\tone", "", "bell\x07 and \x1f", "quote \" end"};
    c.Role = "Eng", c.SignificantOther = "Bob", c.Sensitivity = "Private", c.Priority = "High";
    c.Birthday = DateToSerial(QDate(1980, 7, 4));
    c.Anniversary = DateToSerial(QDate(2005, 6, 1));
    c.WorkEmail = "w@x", c.PersonalEmail = "h@x", c.OtherEmail = "o@x";
    c.WorkWebsite = "w.org", c.PersonalWebsite = "h.org", c.OtherWebsite = "o.org";
    c.WorkIM = "ann@GoogleTalk", c.PersonalIM = "ann@WhatsApp", c.OtherIM = "plain";
    c.WorkPhone = "1", c.WorkMobilePhone = "2", c.WorkFax = "3", c.WorkPager = "4";
    c.HomePhone = "5", c.PersonalMobilePhone = "6", c.HomeFax = "7", c.PersonalPager = "8";
    c.OtherPhone = "777", c.OtherMobilePhone = "555", c.OtherFax = "9";
    c.HomeStreet = "1 \"Main\" St;Flat 2", c.HomeCity = "Bonn", c.HomeCountryRegion = "germany";
    c.Preferred = "Personal";
    c.Categories = {"Family", "Golf"};
}

QJsonObject Parsed(const QString &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << body.toStdString();
    return document.object();
}

TEST(PersonBody, EveryMemberInOrderAsValidJson)
{
    TContactData c;
    FillEveryField(c);
    const QString body = BuildPersonBody(c, {"Contacts=contactGroups/my", "Golf=contactGroups/golf",
                                             "Family=contactGroups/family"});
    const QJsonObject person = Parsed(body);

    QStringList order;
    static const QRegularExpression topMember("^\"(\\w+)\":", QRegularExpression::MultilineOption);
    for (auto it = topMember.globalMatch(body); it.hasNext();)
        order << it.next().captured(1);
    EXPECT_EQ(order, (QStringList{"resourceName", "etag", "locales", "names", "nicknames", "genders", "biographies",
                                  "organizations", "occupations", "relations", "miscKeywords", "memberships",
                                  "birthdays", "events", "emailAddresses", "urls", "imClients", "phoneNumbers",
                                  "addresses"}));

    EXPECT_EQ(person["names"][0]["familyName"].toString(), c.LastName);
    EXPECT_EQ(person["biographies"][0]["value"].toString(), c.Notes.join('\n'));
    EXPECT_EQ(person["genders"][0]["value"].toString(), "female");
    EXPECT_EQ(person["miscKeywords"][1]["value"].toString(), "high");
    EXPECT_EQ(person["memberships"].toArray().size(), 1);
    EXPECT_EQ(person["memberships"][0]["contactGroupMembership"]["contactGroupResourceName"].toString(),
              "contactGroups/golf");
    EXPECT_EQ(person["birthdays"][0]["date"].toObject(), (QJsonObject{{"year", 1980}, {"month", 7}, {"day", 4}}));
    EXPECT_EQ(person["events"][0]["type"].toString(), "anniversary");
    EXPECT_EQ(person["addresses"][1]["streetAddress"].toString(), c.HomeStreet);
    EXPECT_EQ(person["addresses"][1]["countryCode"].toString(), "DE");
    EXPECT_EQ(person["addresses"][0]["countryCode"].toString(), "");

    // IM split: protocol spelling, and an address without "@".
    EXPECT_EQ(person["imClients"][0]["protocol"].toString(), "googleTalk");
    EXPECT_EQ(person["imClients"][1]["username"].toString(), "ann");
    EXPECT_EQ(person["imClients"][1]["protocol"].toString(), "whatsApp");
    EXPECT_EQ(person["imClients"][2]["username"].toString(), "plain");
    EXPECT_EQ(person["imClients"][2]["protocol"].toString(), "");

    // Ten phone elements; one "other" number, the mobile one.
    const QJsonArray phones = person["phoneNumbers"].toArray();
    ASSERT_EQ(phones.size(), 10);
    QStringList values, primary;
    for (const QJsonValue &phone : phones) {
        values << phone["value"].toString();
        if (phone["metadata"]["primary"].toBool())
            primary << phone["type"].toString();
    }
    EXPECT_EQ(values, (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "555", "9"}));
    EXPECT_EQ(primary, (QStringList{"home", "mobile", "homeFax", "pager"}));
    for (const char *member : {"emailAddresses", "urls", "imClients", "addresses"}) {
        const QJsonArray elements = person[member].toArray();
        ASSERT_EQ(elements.size(), 3) << member;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(elements[i]["metadata"]["primary"].toBool(), i == 1) << member << i;
    }
}

TEST(PersonBody, EmptyContactSendsEmptyTextsNoDatesAndTheContactsGroup)
{
    TContactData c;
    c.Preferred = "None";
    const QJsonObject person = Parsed(BuildPersonBody(c, {"Contacts=contactGroups/my"}));
    EXPECT_FALSE(person.contains("resourceName"));
    EXPECT_EQ(person["birthdays"].toArray().size(), 0);
    EXPECT_EQ(person["events"].toArray().size(), 0);
    EXPECT_EQ(person["names"][0]["givenName"], QJsonValue(""));
    EXPECT_EQ(person["memberships"][0]["contactGroupMembership"]["contactGroupResourceName"].toString(),
              "contactGroups/my");
    EXPECT_EQ(Parsed(BuildPersonBody(c, {"Golf=contactGroups/golf"}))["memberships"].toArray().size(), 0);

    // As loaded from a book: no categories is one empty entry.
    c.Categories.Assign({""});
    ASSERT_EQ(c.Categories.Count(), 1);
    const QJsonArray loaded = Parsed(BuildPersonBody(c, {"Contacts=contactGroups/my"}))["memberships"].toArray();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded[0]["contactGroupMembership"]["contactGroupResourceName"].toString(), "contactGroups/my");
}

class Writing : public GoogleFixture
{
protected:
    void AddContacts(int count)
    {
        for (int i = 0; i < count; ++i) {
            TContactData *c = book.CreateContactData();
            c->FirstName = QString("N%1").arg(i);
            c->Exportable = true;
        }
    }
};

TEST_F(Writing, RateLimitedUploadWaitsAndGoesOn)
{
    AddContacts(5);
    google.failUploadNumber = 3;
    google.failStatus = 429;
    Connect();
    EXPECT_EQ(book.ExportToGoogleContactsService(), 4);
    EXPECT_EQ(google.people.size(), 4);
    EXPECT_EQ(book.ContactDataList()[2]->Synced, 0);
    EXPECT_EQ(book.ContactDataList()[3]->GoogleContactID, "people/c3");
    EXPECT_EQ(prompts.errors, QStringList{"Error(s) occurred while creating/reading/updating contact(s) in Google "
                                          "Contacts Service:\n1 create error(s)\n0 read error(s)\n0 update error(s)\n"});
}

TEST_F(Writing, RefusedUploadStopsTheLoop)
{
    AddContacts(5);
    google.failUploadNumber = 3;
    google.failStatus = 400;
    Connect();
    EXPECT_EQ(book.ExportToGoogleContactsService(), 2);
    EXPECT_EQ(google.uploadCount, 3);
    EXPECT_EQ(book.LastGoogleExportCounts().created, 2);
    EXPECT_EQ(book.LastGoogleExportCounts().failed, 1);
    EXPECT_EQ(book.ContactDataList()[3]->GoogleContactID, "");
}

TEST_F(Writing, UpdateTakesTheAnswerAndAStaleEtagIsReported)
{
    AddContacts(2);
    Connect();
    ASSERT_EQ(book.ExportToGoogleContactsService(), 2);
    TContactData &first = *book.ContactDataList()[0];
    EXPECT_EQ(first.GoogleContactETag, "e1");
    EXPECT_EQ(first.GoogleContactUpdated, "2030-05-06T07:08:09.123Z");
    EXPECT_GE(first.Synced, first.Modified);

    first.LastName = "Changed";
    EXPECT_EQ(book.ExportToGoogleContactsService(), 2);
    EXPECT_EQ(google.CountRequests("PATCH /v1/people/c1:updateContact?updatePersonFields=names,"), 1);
    EXPECT_EQ(first.GoogleContactETag, "e2");
    EXPECT_EQ(google.people[0]["names"][0]["familyName"].toString(), "Changed");

    first.GoogleContactETag = "e1"; // changed elsewhere since
    EXPECT_EQ(book.ExportToGoogleContactsService(), 0);
    EXPECT_EQ(first.Synced, 0);
    ASSERT_EQ(prompts.errors.size(), 2);
    EXPECT_TRUE(prompts.errors[0].contains("failedPrecondition"));
    EXPECT_TRUE(prompts.errors[1].endsWith("0 create error(s)\n0 read error(s)\n1 update error(s)\n"));
}

TEST_F(Writing, NothingToSendOrNoConnectionAnswersMinusOne)
{
    EXPECT_EQ(book.ExportToGoogleContactsService(), -1);
    AddContacts(1);
    book.SetGoogleClientID("");
    EXPECT_EQ(book.ExportToGoogleContactsService(), -1);
    EXPECT_TRUE(google.requestLines.isEmpty());
}

TEST_F(Writing, DeleteRemovesTheContactOnlyWhenTheAccountConfirms)
{
    AddContacts(1);
    Connect();
    ASSERT_EQ(book.ExportToGoogleContactsService(), 1);
    TContactData *contact = book.ContactDataList()[0].get();
    EXPECT_TRUE(book.DeleteGoogleContactFromGoogleContactsService(contact, false));
    EXPECT_EQ(google.CountRequests("DELETE /v1/people/c1:deleteContact"), 1);
    EXPECT_EQ(book.ContactDataList().size(), 1u);

    EXPECT_FALSE(book.DeleteGoogleContactFromGoogleContactsService(contact, true));
    EXPECT_EQ(prompts.errors.value(0),
              "An error occurred while deleting the following contact from Google Contacts Service:\nN0");
    EXPECT_EQ(book.ContactDataList().size(), 1u);

    google.people.append(QJsonObject{{"resourceName", "people/c1"}});
    EXPECT_TRUE(book.DeleteGoogleContactFromGoogleContactsService(contact, true));
    EXPECT_TRUE(book.ContactDataList().empty());
}

} // namespace
