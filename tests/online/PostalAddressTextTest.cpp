#include "contacts/ReferenceTables.h"
#include "online/PostalAddressText.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace cardolin {
void PrintTo(const PostalAddressFields &f, std::ostream *os)
{
    const QStringList parts{f.street, f.poBox, f.city, f.postalCode, f.stateProvince, f.country};
    *os << '{' << parts.join(" | ").toStdString() << '}';
}
} // namespace cardolin

namespace {

PostalAddressFields Analysed(const QStringList &lines, PostalAddressFields fields = {})
{
    AnalysePostalAddressLines(lines, CountryNames(), fields);
    return fields;
}

TEST(AnalysePostalAddress, SpreadsLinesOverTheFields)
{
    struct Case
    {
        const char *name;
        QStringList lines;
        PostalAddressFields expected;
    };
    const Case cases[] = {
        {"us address with state code",
         {"1 Main Street", "Springfield, IL 62701", "United States"},
         {"1 Main Street", "", "Springfield", "62701", "IL", "United States"}},
        {"city followed by digits", {"12 rue de la Paix", "Paris 75002"}, {"12 rue de la Paix", "", "Paris", "75002", "", ""}},
        {"postal code first goes to the street",
         {"12 rue de la Paix", "75002 Paris"},
         {"12 rue de la Paix;75002 Paris", "", "", "", "", ""}},
        {"state spelled out", {"Springfield, Illinois 62701"}, {"", "", "Springfield", "62701", "Illinois", ""}},
        {"street keyword wins over the state", {"Sunset Park, CA 90001"}, {"Sunset Park, CA 90001", "", "", "", "", ""}},
        {"po box", {"P.O. Box 12", "Boston, MA"}, {"", "P.O. Box 12", "Boston", "", "MA", ""}},
        {"only A to Z are lowered", {"ALLÉE DES ROSES"}, {"ALLÉE DES ROSES", "", "", "", "", ""}},
        {"unknown lines join the street", {"Building A", "Floor B"}, {"Building A;Floor B", "", "", "", "", ""}},
        {"word and digits read as city and postal code", {"Building 4"}, {"", "", "Building", "4", "", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Analysed(c.lines), c.expected) << c.name;
}

TEST(AnalysePostalAddress, KeepsFieldsNoLineSetsButRebuildsTheStreet)
{
    const PostalAddressFields before{"Old street", "PO Box 9", "Lyon", "69001", "", "France"};
    EXPECT_EQ(Analysed({"Paris 75002"}, before), (PostalAddressFields{"", "PO Box 9", "Paris", "75002", "", "France"}));
    EXPECT_EQ(Analysed({}, before), PostalAddressFields{});
}

TEST(ComposePostalAddress, LinesFromFields)
{
    EXPECT_EQ(ComposePostalAddressLines({"Building 4;1 Main St", "", "Boston", "02101", "MA", "United States"}),
              (QStringList{"Building 4", "1 Main St", "Boston, MA 02101", "United States"}));
    EXPECT_EQ(ComposePostalAddressLines({"", "BP 12", "Paris", "75001", "", "France"}),
              (QStringList{"BP 12", "75001 Paris", "France"}));
    EXPECT_TRUE(ComposePostalAddressLines({}).isEmpty());
}

TEST(ComposePostalAddress, RoundTripsThroughTheAnalysis)
{
    const PostalAddressFields fields{"Suite B;1 Main Street", "", "Springfield", "62701", "IL", "United States"};
    EXPECT_EQ(Analysed(ComposePostalAddressLines(fields)), fields);
}

TEST(StateProvinceCodes, FiftyOneCodes)
{
    EXPECT_EQ(StateProvinceCodes().size(), 51);
    EXPECT_TRUE(StateProvinceCodes().contains("DC"));
}

} // namespace
