#include "contacts/ContactFormatting.h"
#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(FormatDialNumber, WithTheLocationsCountry)
{
    const struct { const char *number, *country, *expected; } cases[] = {
        {"+1 (425) 555-0100 x123", "United States", "+1 (425) 5550100 x 123"},
        {"01 23 45 67 89", "France", "+33 0123456789"},
        {"+33 1 23 45 67 89", "United States", "+33 123456789"},
        {"+44 20 7946 0000", "", "+44 2079460000"},
        {"+1 425.555.0100", "", "+1 4255550100"},
        {"(425) 555-0100", "united states", "+1 (425) 5550100"},
        {"555-0100", "", "5550100"},
        {"555 0100 X12", "", "5550100X12 x 12"}, // an upper-case X stays in the number too
        {"+999 1234", "", "+9991234"},            // unknown code: no country, code kept in the digits
        {"", "France", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatDialNumber(QString::fromUtf8(c.number), QString::fromUtf8(c.country)).formatted,
                  QString::fromUtf8(c.expected))
            << c.number << " / " << c.country;
}

TEST(FormatEmailAndWebsite, Cases)
{
    EXPECT_EQ(FormatEmail("Mailto:John.Smith at Example dot COM"), "john.smith@example.com");
    EXPECT_EQ(FormatEmail(" a b@c.d"), "ab@c.d");
    EXPECT_EQ(FormatEmail(""), "");
    const struct { const char *site, *expected; } sites[] = {
        {"example.com", "http://example.com/"},
        {"https://example.com", "https://example.com/"},
        {"http://example.com/people", "http://example.com/people/"},
        {"http://example.com/index.html", "http://example.com/index.html"},
        {"http://example.com/people/", "http://example.com/people/"},
        {"", ""},
    };
    for (const auto &c : sites)
        EXPECT_EQ(FormatWebsite(c.site), c.expected) << c.site;
}

class FormatContactTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        book.SetClock(clock);
        book.SetPrompts(prompts);
        contact = book.CreateContactData();
        contact->Modified = contact->Accessed = 1;
        contact->WorkPhone = "+33 1 23 45 67 89";
        contact->WorkCountryRegion = "United States";
        contact->HomePhone = "01 23 45 67 89";
        contact->HomeCountryRegion = "France";
        contact->PersonalEmail = "Ann AT Example.com";
        contact->OtherWebsite = "example.com";
        contact->LastName = QString::fromUtf8("van der Lée");
    }
    FixedClock clock{QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC)};
    cardolin::testing::RecordingPrompts prompts;
    TQorContacts book;
    TContactData *contact = nullptr;
};

TEST_F(FormatContactTest, EachOptionItsFields)
{
    book.SetFormatContactsOptions(fcoDialNumber | fcoEmail | fcoWebsite | fcoLastNameUppercase);
    EXPECT_TRUE(book.FormatContactData(contact));
    EXPECT_EQ(contact->WorkPhone, "+33 123456789");
    EXPECT_EQ(contact->HomePhone, "+33 0123456789");
    EXPECT_EQ(contact->PersonalEmail, "ann@example.com");
    EXPECT_EQ(contact->OtherWebsite, "http://example.com/");
    EXPECT_EQ(contact->LastName, QString::fromUtf8("VAN DER LÉE"));
    EXPECT_EQ(SerialToUtc(contact->Modified), clock.NowUtc());
    EXPECT_TRUE(prompts.warnings.isEmpty()); // the properties dialog is not open
}

TEST_F(FormatContactTest, LastNameUppercaseTakesEveryLetter)
{
    book.SetFormatContactsOptions(fcoLastNameUppercase);
    const struct
    {
        const char *name, *upper;
    } cases[] = {
        {"Müller", "MÜLLER"},
        {"Østergård", "ØSTERGÅRD"},
        {"Çelik-Şahin", "ÇELIK-ŞAHIN"},
        {"Παπαδόπουλος", "ΠΑΠΑΔΌΠΟΥΛΟΣ"},
        {"Иванов", "ИВАНОВ"},
        {"o'neil 3rd", "O'NEIL 3RD"},
    };
    for (const auto &c : cases) {
        contact->LastName = QString::fromUtf8(c.name);
        book.FormatContactData(contact);
        EXPECT_EQ(contact->LastName, QString::fromUtf8(c.upper)) << c.name;
    }
}

TEST_F(FormatContactTest, NoOptionTouchesOnlyAccessed)
{
    book.SetFormatContactsOptions({});
    const TContactData before = *contact;
    EXPECT_FALSE(book.FormatContactData(contact));
    EXPECT_EQ(contact->WorkPhone, before.WorkPhone);
    EXPECT_EQ(contact->Modified, 1);
    EXPECT_EQ(SerialToUtc(contact->Accessed), clock.NowUtc());
    EXPECT_FALSE(book.FormatContactData(nullptr));
}

TEST_F(FormatContactTest, WarnsOfConflictingCountryOnlyWhileDialogOpen)
{
    TQorContacts::SetPropertiesDialogOpen(true);
    book.FormatContactData(contact);
    TQorContacts::SetPropertiesDialogOpen(false);
    EXPECT_EQ(prompts.warnings,
              QStringList{"Country/region inconsistency:\nFrance \"+33\" (Extracted from dial number)\n"
                          "United States \"+1\" (Based on country/region hint)"});
}

} // namespace

namespace {

TEST(ComposeDialNumber, FromTheFourParts)
{
    const struct
    {
        const char *country, *area, *local, *extension, *expected;
    } cases[] = {
        {"France", "1", "23456789", "12", "+33 (1) 23456789 x 12"},
        {"", "", "5550100", "", "5550100"},
        {"", "425", "", "7", "(425) x 7"},
        {"Atlantis", "1", "2", "", "(1) 2"}, // a name outside the table has no code
        {"united states", "", "5550100", "", "+1 5550100"},
        {"", "", "", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ComposeDialNumber({c.country, c.area, c.local, c.extension}), c.expected) << c.expected;
}

TEST(FormatDialNumber, PartsComposeToTheFormattedNumber)
{
    const DialNumber dial = FormatDialNumber("+1 (425) 555-0100 x123", "");
    EXPECT_EQ(dial.parts.country, "United States");
    EXPECT_EQ(dial.parts.areaCode, "425");
    EXPECT_EQ(dial.parts.localNumber, "5550100");
    EXPECT_EQ(dial.parts.extension, "123");
    EXPECT_EQ(ComposeDialNumber(dial.parts), dial.formatted);
}

} // namespace
