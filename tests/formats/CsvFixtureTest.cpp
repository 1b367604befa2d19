#include "CsvTestSupport.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// Files as each vendor's program writes them, read by detection.
using CsvFixture = CsvTest;

TEST_F(CsvFixture, WindowsContactsWithMultiLineStreetAndNotes)
{
    ASSERT_EQ(Import("windows-contacts.csv"), 2);
    const TContactData &ann = At(0);
    EXPECT_EQ(ann.HomeStreet, "12 High St;Flat 3");
    EXPECT_EQ(ann.HomeCity, "Leeds");
    EXPECT_EQ(ann.Company, "Lee; Partners");
    EXPECT_EQ(ann.WorkMobilePhone, "07700 900123");
    EXPECT_EQ(ann.PersonalEmail, "ann@example.com");
    EXPECT_EQ(ann.Notes, (QStringList{"Call after 6", "Ask for \"Ann\"", "Not on Sundays"}));
    EXPECT_EQ(At(1).WorkStreet, "1 Dock Rd");
    EXPECT_EQ(At(1).WorkMobilePhone, "07700 900456");

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].text.startsWith("Short;Record;"));
    EXPECT_EQ(prompts.errors, QStringList{"1 contact(s) failed to be imported."});
}

TEST_F(CsvFixture, OutlookWithQuotesNotesDatesAndAnUnlistedTitle)
{
    const qsizetype vocabularySize = contacts.Categories().size();
    ASSERT_EQ(Import("outlook.csv"), 3);
    const TContactData &tom = At(0);
    EXPECT_EQ(tom.Title, "Mr.");
    EXPECT_EQ(tom.Company, "Hall & \"Sons\"");
    EXPECT_EQ(tom.WorkStreet, "5 Mill Lane");
    EXPECT_EQ(tom.WorkMobilePhone, "07700 900789");
    EXPECT_EQ(SerialToDate(tom.Birthday), QDate(1970, 4, 5));
    EXPECT_EQ(tom.Anniversary, 0);
    EXPECT_EQ(tom.Categories.Entries(), (QStringList{"Golf", "Work"}));
    EXPECT_EQ(tom.Keywords.Entries(), QStringList{"vip"});
    EXPECT_EQ(tom.WorkEmail, "tom@hall.example");
    EXPECT_EQ(tom.Notes, (QStringList{"Line one", "Line two, with a comma"}));
    EXPECT_EQ(tom.WorkLocation, "Desk 4");
    EXPECT_EQ(contacts.Categories().mid(vocabularySize), (QStringList{"Golf", "Work"}));
    EXPECT_TRUE(contacts.Keywords().contains("vip"));

    // A title the collection does not list still starts its own record.
    EXPECT_EQ(At(1).Title, "Sir");
    EXPECT_EQ(At(1).WorkWebsite, "https://cole.example");
    // The shortest record accepted ends with the first e-mail address.
    EXPECT_EQ(At(2).WorkEmail, "min@field.example");
    EXPECT_EQ(At(2).Notes, QStringList{""});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].context, "ImportFromOutlookCSVFile");
}

TEST_F(CsvFixture, FrenchOutlookValuesAreTranslated)
{
    ASSERT_EQ(Import("outlook-french.csv"), 1);
    const TContactData &elise = At(0);
    EXPECT_EQ(elise.FirstName, QString::fromUtf8("Élise"));
    EXPECT_EQ(elise.Company, QString::fromUtf8("Société Générale"));
    EXPECT_EQ(elise.Sensitivity, "Private");
    EXPECT_EQ(elise.Priority, "High");
    EXPECT_EQ(elise.Gender, "Unspecified");
    EXPECT_EQ(SerialToDate(elise.Birthday), QDate(1980, 12, 31));
    EXPECT_EQ(elise.Categories.Entries(), QStringList{"Amis"});
    EXPECT_EQ(elise.Notes, QStringList{"Note unique"});
}

TEST_F(CsvFixture, GoogleGroupsTelephonesAddressesAndTheShortForm)
{
    const QStringList vocabulary = contacts.Categories();
    ASSERT_EQ(Import("google.csv"), 2);
    const TContactData &jane = At(0);
    EXPECT_EQ(jane.Categories.Entries(), (QStringList{"Contacts", "Friends"}));
    EXPECT_EQ(jane.Preferred, "Personal");
    EXPECT_EQ(jane.PersonalEmail, "jane@roe.example");
    EXPECT_EQ(jane.PersonalMobilePhone, "07700 900111");
    EXPECT_EQ(jane.WorkFax, "0113 000");
    EXPECT_EQ(jane.HomeStreet, "2 Elm St");
    EXPECT_EQ(jane.HomeCity, "Leeds");
    EXPECT_EQ(jane.HomeCountryRegion, "UK");
    EXPECT_EQ(jane.Company, "Roe & Co");
    EXPECT_EQ(jane.SignificantOther, "Rick");
    EXPECT_EQ(SerialToDate(jane.Birthday), QDate(1985, 7, 20));
    EXPECT_EQ(SerialToDate(jane.Anniversary), QDate(2010, 9, 1));
    EXPECT_EQ(jane.Notes, (QStringList{"Met at the fair", "Likes tea"}));
    EXPECT_EQ(contacts.Categories(), vocabulary);

    const TContactData &john = At(1);
    EXPECT_EQ(john.Title, "Dr.");
    EXPECT_EQ(john.FirstName, "John");
    EXPECT_EQ(john.LastName, "Smith");
    EXPECT_EQ(john.PersonalEmail, "john@smith.example");
    EXPECT_EQ(john.Notes, QStringList{"Bring the plans"});
}

TEST_F(CsvFixture, DeprecatedGoogleFourLineAddress)
{
    ASSERT_EQ(Import("google-deprecated.csv"), 1);
    const TContactData &al = At(0);
    EXPECT_EQ(al.FirstName, "Al");
    EXPECT_EQ(al.LastName, "Jones");
    EXPECT_EQ(al.WorkStreet, "1 Main St");
    EXPECT_EQ(al.WorkPOBox, "PO Box 5");
    EXPECT_EQ(al.WorkCity, "Springfield");
    EXPECT_EQ(al.WorkStateProvince, "IL");
    EXPECT_EQ(al.WorkPostalCode, "62701");
    EXPECT_EQ(al.WorkCountryRegion, "USA");
    EXPECT_EQ(al.WorkIM, "al@chat.example");
    EXPECT_EQ(al.Company, "Jones Ltd");
    EXPECT_EQ(al.JobTitle, "Boss");
    EXPECT_EQ(al.HomePhone, "555-0200");
    // The general address stands in for the first section without one.
    EXPECT_EQ(al.WorkEmail, "al@jones.example");
    EXPECT_EQ(al.PersonalEmail, "");
    EXPECT_EQ(al.Preferred, "Work");
    EXPECT_EQ(al.Notes, QStringList{"Old friend"});
}

TEST_F(CsvFixture, BlackBerryAnniversaryBeforeALineJoin)
{
    ASSERT_EQ(Import("blackberry.csv"), 1);
    const TContactData &kim = At(0);
    EXPECT_EQ(SerialToDate(kim.Anniversary), QDate(2015, 6, 7));
    EXPECT_EQ(SerialToDate(kim.Birthday), QDate(1990, 2, 3));
    EXPECT_EQ(kim.WorkStreet, "9 Bay Rd;Unit 2");
    EXPECT_EQ(kim.WorkMobilePhone, "07700 900222");
    EXPECT_EQ(kim.PersonalWebsite, "https://park.example");
    EXPECT_EQ(kim.Notes, QStringList{"Quote \"this\""});
    EXPECT_EQ(kim.Categories.Entries(), (QStringList{"Family", "Friends"}));
}

TEST_F(CsvFixture, NokiaTwoLineStreetAndYahooMessengerFallback)
{
    ASSERT_EQ(Import("nokia.csv"), 1);
    EXPECT_EQ(At(0).HomeStreet, "Storgatan 1;Lgh 4");
    EXPECT_EQ(At(0).HomeCity, "Stockholm");
    EXPECT_EQ(At(0).HomePhone, "555-0300");
    EXPECT_EQ(SerialToDate(At(0).Birthday), QDate(1975, 3, 4));

    ASSERT_EQ(Import("yahoo.csv"), 1);
    const TContactData &liu = At(1);
    EXPECT_EQ(liu.PersonalIM, "liu@msn.example");
    EXPECT_EQ(liu.Preferred, "Personal");
    EXPECT_EQ(liu.PersonalMobilePhone, "555-0400");
    EXPECT_EQ(liu.Categories.Entries(), QStringList{"Work"});
    EXPECT_TRUE(errors.empty());
}

} // namespace
