#include "formats/FormatsFixture.h"

#include <QXmlStreamReader>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class MapExports : public FormatsTest
{
protected:
    QStringList Lines(const QString &path)
    {
        const QByteArray bytes = ReadAll(path);
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        QString text = QString::fromUtf8(bytes.mid(3));
        text.chop(2);
        return text.split("\r\n");
    }
};

TEST_F(MapExports, BatchGeoPicksTheLocationAndGroupByPriority)
{
    book.SetBatchGeoHighPriorityMarkerGroup("VIP");
    TContactData *home = book.CreateContactData();
    home->FirstName = "Ann", home->HomeCity = "Oslo", home->HomePostalCode = "0150", home->PersonalMobilePhone = "+47";
    home->Priority = "High", home->WorkPostalCode = "ignored";
    TContactData *none = book.CreateContactData();
    none->FirstName = "Bo", none->Priority = "Urgent", none->Notes = {"x"};
    TContactData *preferred = book.CreateContactData();
    preferred->FirstName = "Cy", preferred->Preferred = "Other", preferred->OtherStreet = "a;b\tc";
    preferred->WorkCity = "Paris", preferred->OtherEmail = "c@x";
    book.CreateContactData()->Exportable = false;
    const QString path = dir.filePath("b.csv");
    EXPECT_EQ(book.ExportToBatchGeoCSVFile(path), 3);
    EXPECT_EQ(Lines(path), (QStringList{
                               "Address\tCity\tState\tZip\tName\tGroup\tPhone\tEmail\tURL",
                               "\tOslo\t\t0150\tAnn\tVIP\t+47\t\t",
                               "\t\t\t\tBo\tDefault Group\t\t\t",
                               "a;b c\t\t\t\tCy\tDefault Group\t\tc@x\t",
                           }));
}

TEST_F(MapExports, ZeeMapsQuotesCommasAndSpreadsNotesOverLines)
{
    book.SetZeeMapsNormalPriorityMarkerColor("Blue");
    TContactData *a = book.CreateContactData();
    a->LastName = "Smith, Jr", a->WorkCity = "Paris", a->WorkCountryRegion = "France", a->Notes = {"one", "say \"two\""};
    TContactData *b = book.CreateContactData();
    b->FirstName = "Bo", b->Priority = "Urgent", b->Notes = {"a, b"};
    const QString path = dir.filePath("z.csv");
    EXPECT_EQ(book.ExportToZeeMapsCSVFile(path), 2);
    EXPECT_EQ(Lines(path), (QStringList{
                               "Name,Street,City,State,Country,Zipcode,Color,Email,Phone,Website,Notes",
                               "\"Smith, Jr\",,Paris,,France,,blue,,,,\"one",
                               "say \"\"two\"\"\"",
                               "Bo,,,,,,red,,,,\"a, b\"",
                           }));
    EXPECT_EQ(book.ExportToZeeMapsCSVFile(dir.filePath("no/such/z.csv")), 0);
    EXPECT_EQ(prompts.errors.size(), 1);
}

TEST_F(MapExports, KmlHoldsStylesAndPlacemarksInTheKmlNamespace)
{
    book.SetGoogleEarthHighPriorityMarkerColor("Red");
    book.SetGoogleEarthNormalPriorityMarkerColor("blue");
    TContactData *a = book.CreateContactData();
    a->FirstName = "Ann & Co", a->WorkCity = "Paris", a->WorkPhone = "+33", a->WorkCoordinates = "2.29,48.85,0";
    a->Priority = "High";
    const QString path = dir.filePath("m.kml");
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile(path), 1);
    EXPECT_EQ(book.Tag(), 0);

    QXmlStreamReader xml(ReadAll(path));
    QStringList seen;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        EXPECT_EQ(xml.namespaceUri().toString(), "http://www.opengis.net/kml/2.2");
        const QString name = xml.name().toString();
        if (name == "href" || name == "name" || name == "description" || name == "styleUrl" || name == "coordinates")
            seen.append(name + "=" + xml.readElementText());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(seen, (QStringList{
                        "href=https://maps.google.com/intl/en_us/mapfiles/ms/icons/blue-dot.png",
                        "href=https://maps.google.com/intl/en_us/mapfiles/ms/icons/blue-dot.png",
                        "href=https://maps.google.com/intl/en_us/mapfiles/ms/icons/red-dot.png",
                        "name=Ann & Co",
                        "description=Paris\n\n+33 (Work)",
                        "styleUrl=#HighPriorityMarker",
                        "coordinates=2.29,48.85,0",
                    }));
}

} // namespace
