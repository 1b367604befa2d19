#include "contacts/QorContacts.h"
#include "online/LocationText.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(LocationText, AddressTextAndEncoding)
{
    TContactData c;
    c.WorkStreet = "12, Rue de l'Été", c.WorkCity = "Paris", c.WorkPostalCode = "75001", c.WorkCountryRegion = "France";
    EXPECT_EQ(BuildLocationAddressText(c, ltWork), "12 Rue de l'Ete, 75001 Paris, France");
    EXPECT_EQ(EncodeURLText(BuildLocationAddressText(c, ltWork), true), "12+Rue+de+l'Ete%2C+75001+Paris%2C+France");
    EXPECT_EQ(BuildLocationAddressText(c, ltAll), "");
    EXPECT_EQ(CleanStreetText("c/o Smith;Building 4;1 Main St"), "1 Main St");

    const struct { const char *city, *state, *zip, *line; } cities[] = {
        {"Boston", "MA", "02101", "Boston, MA 02101"}, {"", "MA", "", "MA"}, {"Paris", "", "75001", "75001 Paris"},
        {"", "", "75001", "75001"}, {"Oslo", "", "", "Oslo"}, {"", "", "", ""},
    };
    for (const auto &t : cities)
        EXPECT_EQ(FormatCityLine(t.city, t.state, t.zip), t.line) << t.line;
    EXPECT_EQ(EncodeURLText("Zoë ł", false), "Zo%EB%20%142");
}

TEST(LocationText, PlaceSummaryListsPlaceThenWaysToReach)
{
    TQorContacts book;
    TContactData c;
    c.HomeStreet = "1 Main", c.HomeCity = "Oslo", c.HomePhone = "+47 1", c.PersonalEmail = "a@x.no";
    QStringList lines;
    book.BuildContactDataPlaceSummary(&c, ltPersonal, lines);
    EXPECT_EQ(lines, (QStringList{"1 Main", "Oslo", "", "+47 1 (Home)", "a@x.no"}));
    lines.clear();
    c.FirstName = "Ann", c.Company = "Acme";
    book.BuildContactDataSummary(&c, ltWork, lines);
    EXPECT_EQ(lines, (QStringList{"Ann", "Acme", "", ""}));
}

} // namespace
