#include "CsvTestSupport.h"

#include "formats/CsvLayout.h"
#include "formats/CsvLayouts.h"
#include "formats/CsvText.h"

#include <QLocale>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using Operation = int (TQorContacts::*)(const QString &);

struct Layout
{
    const char *name;
    const CsvLayout &(*layout)();
    Operation exporter, importer;
    qsizetype exportedFields;
    std::vector<const char *> carried;
};

const std::vector<const char *> kOutlookCarried{
    "Title", "FirstName", "MiddleName", "LastName", "Suffix", "Company", "Department", "JobTitle", "WorkStreet",
    "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion", "HomeStreet", "HomeCity",
    "HomeStateProvince", "HomePostalCode", "HomeCountryRegion", "OtherStreet", "OtherCity", "OtherStateProvince",
    "OtherPostalCode", "OtherCountryRegion", "WorkFax", "WorkPhone", "HomeFax", "HomePhone", "WorkMobilePhone",
    "OtherFax", "OtherPhone", "WorkPager", "Anniversary", "Birthday", "WorkPOBox", "Categories", "WorkEmail",
    "PersonalEmail", "OtherEmail", "Gender", "HomePOBox", "Initials", "Keywords", "Language", "HomeLocation", "Notes",
    "WorkLocation", "OtherPOBox", "Priority", "Role", "Sensitivity", "SignificantOther", "WorkWebsite"};

const Layout kLayouts[] = {
    {"WindowsContacts", WindowsContactsCsvLayout, &TQorContacts::ExportToWindowsContactsCSVFile,
     &TQorContacts::ImportFromWindowsContactsCSVFile, 29,
     {"FirstName", "LastName", "MiddleName", "Nickname", "HomeStreet", "HomeCity", "HomePostalCode",
      "HomeStateProvince", "HomeCountryRegion", "HomePhone", "HomeFax", "WorkMobilePhone", "PersonalWebsite",
      "WorkStreet", "WorkCity", "WorkPostalCode", "WorkStateProvince", "WorkCountryRegion", "WorkWebsite",
      "WorkPhone", "WorkFax", "WorkPager", "Company", "JobTitle", "Department", "WorkLocation", "Notes"}},
    {"Outlook", OutlookCsvLayout, &TQorContacts::ExportToOutlookCSVFile, &TQorContacts::ImportFromOutlookCSVFile,
     92, kOutlookCarried},
    {"OutlookFrench", OutlookFrenchCsvLayout, &TQorContacts::ExportToOutlookFrenchCSVFile,
     &TQorContacts::ImportFromOutlookFrenchCSVFile, 92, kOutlookCarried},
    {"Google", GoogleCsvLayout, &TQorContacts::ExportToGoogleCSVFile, &TQorContacts::ImportFromGoogleCSVFile, 92,
     {"FirstName", "MiddleName", "LastName", "Title", "Suffix", "Initials", "Nickname", "Birthday", "Gender",
      "HomeLocation", "Sensitivity", "Priority", "Notes", "Categories", "Preferred", "WorkEmail", "PersonalEmail",
      "OtherEmail", "WorkIM", "PersonalIM", "WorkPhone", "WorkMobilePhone", "HomePhone", "OtherPhone", "WorkFax",
      "WorkStreet", "WorkPOBox", "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion",
      "HomeStreet", "HomePOBox", "HomeCity", "HomeStateProvince", "HomePostalCode", "HomeCountryRegion",
      "OtherStreet", "OtherCity", "OtherStateProvince", "OtherPostalCode", "OtherCountryRegion", "Company",
      "JobTitle", "Department", "WorkLocation", "SignificantOther", "WorkWebsite", "PersonalWebsite",
      "Anniversary"}},
    {"GoogleDeprecated", GoogleDeprecatedCsvLayout, &TQorContacts::ExportToGoogleDeprecatedCSVFile,
     &TQorContacts::ImportFromGoogleDeprecatedCSVFile, 36,
     {"FirstName", "LastName", "Notes", "WorkEmail", "PersonalEmail", "OtherEmail", "WorkIM", "PersonalIM",
      "WorkPhone", "WorkMobilePhone", "WorkPager", "WorkFax", "HomePhone", "HomeFax", "OtherPhone", "OtherFax",
      "Company", "JobTitle", "WorkStreet", "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion",
      "HomeStreet", "HomePOBox", "HomeCity", "HomeStateProvince", "HomePostalCode", "HomeCountryRegion",
      "OtherStreet", "OtherCity", "OtherStateProvince", "OtherPostalCode", "OtherCountryRegion"}},
    {"Nokia", NokiaCsvLayout, &TQorContacts::ExportToNokiaCSVFile, &TQorContacts::ImportFromNokiaCSVFile, 56,
     {"Title", "FirstName", "MiddleName", "LastName", "Suffix", "JobTitle", "Company", "Birthday", "Notes",
      "OtherPhone", "OtherEmail", "OtherFax", "OtherWebsite", "OtherStreet", "OtherPostalCode", "OtherCity",
      "OtherStateProvince", "OtherCountryRegion", "HomePhone", "PersonalEmail", "HomeFax", "PersonalWebsite",
      "HomePOBox", "HomeStreet", "HomePostalCode", "HomeCity", "HomeStateProvince", "HomeCountryRegion",
      "WorkMobilePhone", "WorkPhone", "WorkEmail", "WorkFax", "WorkWebsite", "WorkStreet", "WorkPostalCode",
      "WorkCity", "WorkStateProvince", "WorkCountryRegion"}},
    {"Yahoo", YahooCsvLayout, &TQorContacts::ExportToYahooCSVFile, &TQorContacts::ImportFromYahooCSVFile, 55,
     {"FirstName", "MiddleName", "LastName", "Nickname", "WorkEmail", "PersonalIM", "HomePhone", "WorkPhone",
      "WorkPager", "WorkFax", "WorkMobilePhone", "OtherPhone", "Preferred", "PersonalEmail", "OtherEmail",
      "PersonalWebsite", "WorkWebsite", "JobTitle", "Company", "WorkStreet", "WorkCity", "WorkStateProvince",
      "WorkPostalCode", "WorkCountryRegion", "HomeStreet", "HomeCity", "HomeStateProvince", "HomePostalCode",
      "HomeCountryRegion", "Birthday", "Anniversary", "Notes"}},
    {"BlackBerry", BlackBerryCsvLayout, &TQorContacts::ExportToBlackBerryCSVFile,
     &TQorContacts::ImportFromBlackBerryCSVFile, 44,
     {"FirstName", "MiddleName", "LastName", "JobTitle", "Company", "WorkPhone", "HomePhone", "OtherPhone",
      "WorkFax", "WorkMobilePhone", "WorkPager", "WorkEmail", "PersonalEmail", "OtherEmail", "WorkStreet",
      "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion", "HomeStreet", "HomeCity",
      "HomeStateProvince", "HomePostalCode", "HomeCountryRegion", "Notes", "Categories", "Birthday",
      "Anniversary"}},
    {"GoogleContacts", GoogleContactsCsvLayout, &TQorContacts::ExportToGoogleContactsCSVFile,
     &TQorContacts::ImportFromGoogleContactsCSVFile, 93,
     {"FirstName", "MiddleName", "LastName", "Title", "Suffix", "Nickname", "Company", "JobTitle", "Department",
      "Birthday", "Notes", "Categories", "Preferred", "WorkEmail", "PersonalEmail", "OtherEmail", "WorkPhone",
      "WorkFax", "WorkMobilePhone", "WorkPager", "HomePhone", "HomeFax", "OtherPhone", "OtherFax", "WorkStreet",
      "WorkPOBox", "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion", "HomeStreet", "HomePOBox",
      "HomeCity", "HomeStateProvince", "HomePostalCode", "HomeCountryRegion", "OtherStreet", "OtherCity",
      "OtherStateProvince", "OtherPostalCode", "OtherCountryRegion", "WorkWebsite", "PersonalWebsite",
      "OtherWebsite", "WorkIM", "PersonalIM", "SignificantOther", "Anniversary"}},
    {"Thunderbird", ThunderbirdCsvLayout, &TQorContacts::ExportToThunderbirdCSVFile,
     &TQorContacts::ImportFromThunderbirdCSVFile, 37,
     {"FirstName", "LastName", "Nickname", "PersonalEmail", "WorkEmail", "PersonalIM", "WorkPhone", "HomePhone",
      "WorkFax", "WorkPager", "WorkMobilePhone", "HomeStreet", "HomeCity", "HomeStateProvince", "HomePostalCode",
      "HomeCountryRegion", "WorkStreet", "WorkCity", "WorkStateProvince", "WorkPostalCode", "WorkCountryRegion",
      "JobTitle", "Department", "Company", "WorkWebsite", "PersonalWebsite", "Birthday", "Notes"}},
};

// A contact whose every carried field holds something a careless writer could
// break: separators, quotes, several lines, accents.
void FillRichContact(TContactData &c)
{
    c.Title = "Dr.";
    c.FirstName = "Zoë";
    c.MiddleName = "Q";
    c.LastName = "O'Hara";
    c.Suffix = "Jr.";
    c.Nickname = "Zo \"Z\"";
    c.Initials = "ZQO";
    c.Language = "fr-FR";
    c.Preferred = "Work";
    c.Company = "Acme, Inc; West";
    c.Department = "R&D";
    c.JobTitle = "Engineer";
    c.Role = "Lead";
    c.WorkStreet = "1 Main St;Suite 4";
    c.WorkCity = "Springfield";
    c.WorkPostalCode = "62701";
    c.WorkStateProvince = "IL";
    c.WorkCountryRegion = "USA";
    c.WorkPhone = "+1 555 0100";
    c.WorkFax = "+1 555 0101";
    c.WorkMobilePhone = "+1 555 0102";
    c.WorkPager = "+1 555 0103";
    c.WorkEmail = "zoe@acme.example";
    c.WorkIM = "zoe@im.example";
    c.WorkWebsite = "https://acme.example";
    c.WorkLocation = "Building 2";
    c.HomeStreet = "2 Elm St";
    c.HomePOBox = "PO Box 5";
    c.HomeCity = "Shelbyville";
    c.HomePostalCode = "62565";
    c.HomeStateProvince = "IN";
    c.HomeCountryRegion = "USA";
    c.HomePhone = "+1 555 0200";
    c.HomeFax = "+1 555 0201";
    c.PersonalEmail = "zoe@home.example";
    c.PersonalIM = "zoe@chat.example";
    c.PersonalWebsite = "https://zoe.example";
    c.HomeLocation = "Kitchen";
    c.Gender = "Female";
    c.Birthday = DateToSerial(QDate(1905, 3, 4));
    c.SignificantOther = "Sam";
    c.Anniversary = DateToSerial(QDate(2005, 6, 7));
    c.OtherStreet = "3 Oak Rd";
    c.OtherCity = "Ogdenville";
    c.OtherPostalCode = "62999";
    c.OtherStateProvince = "OH";
    c.OtherCountryRegion = "USA";
    c.OtherPhone = "+1 555 0300";
    c.OtherFax = "+1 555 0301";
    c.OtherEmail = "zoe@other.example";
    c.OtherWebsite = "https://other.example";
    c.Notes = {"first line, with a comma; and a semicolon", "", "say \"hello\"", "Dr. Who @ noon", ",,a comma first",
               "\"\",quoted title"};
    c.Categories = {"Contacts", "Friends"};
    c.Keywords = {"alpha", "beta"};
    c.Priority = "High";
    c.Sensitivity = "Private";
}

class CsvRoundTrip : public CsvTest, public ::testing::WithParamInterface<Layout>
{
};

TEST_P(CsvRoundTrip, EveryCarriedFieldComesBack)
{
    const Layout &layout = GetParam();
    TContactData &rich = *contacts.CreateContactData();
    FillRichContact(rich);
    TContactData &bare = *contacts.CreateContactData();
    bare.LastName = "Smith";
    bare.Notes = {"one note, quoted"};
    TContactData &blankFirstNote = *contacts.CreateContactData();
    blankFirstNote.FirstName = "Blank";
    blankFirstNote.Notes = {"", "after an empty line"};
    // Line breaks typed in a dialog must not end a record early.
    bare.Company = "Line\nBreak";
    bare.WorkStreet = "9 Dock Rd\r\nUnit 4";
    bare.Categories.Clear();
    bare.Keywords.Clear();
    const QString path = Path("out.csv");
    ASSERT_EQ((contacts.*layout.exporter)(path), 3);

    TQorContacts back;
    back.SetPrompts(prompts);
    back.OnError = contacts.OnError;
    ASSERT_EQ((back.*layout.importer)(path), 3);
    EXPECT_TRUE(errors.empty()) << errors.front().text.toStdString();
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(" ").toStdString();
    for (const char *field : layout.carried)
        EXPECT_EQ(FieldText(*back.ContactDataList()[0], field), FieldText(rich, field)) << field;
    EXPECT_EQ(back.ContactDataList()[1]->LastName, "Smith");
    EXPECT_EQ(back.ContactDataList()[2]->Notes, blankFirstNote.Notes);
    const TContactData &bareBack = *back.ContactDataList()[1];
    EXPECT_EQ(bareBack.Notes, bare.Notes);
    EXPECT_EQ(bareBack.Company, QString("Line") + kLineJoinMarker + "Break");
    if (std::string_view(layout.name) != "GoogleDeprecated") {
        EXPECT_EQ(bareBack.WorkStreet, "9 Dock Rd;Unit 4");
    }

    // Every record holds the layout's number of fields, whatever is empty.
    const QStringList records = AssembleCSVRecords(ReadCSVLines(path), layout.layout(), back);
    ASSERT_EQ(records.size(), 4);
    for (qsizetype i = 1; i < records.size(); ++i)
        EXPECT_EQ(SplitCSVFields(records[i], layout.layout().separator).size(), layout.exportedFields)
            << records[i].toStdString();
}

// Dates travel in the user's short format, which differs from one locale to the next.
TEST_P(CsvRoundTrip, DatesSurviveInOtherLocales)
{
    const Layout &layout = GetParam();
    for (const char *locale : {"de_DE", "en_GB", "ja_JP"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        TQorContacts out, back;
        out.SetPrompts(prompts);
        back.SetPrompts(prompts);
        FillRichContact(*out.CreateContactData());
        const QString path = Path(locale);
        ASSERT_EQ((out.*layout.exporter)(path), 1);
        ASSERT_EQ((back.*layout.importer)(path), 1);
        for (const char *field : {"Birthday", "Anniversary"}) {
            if (std::count(layout.carried.begin(), layout.carried.end(), std::string_view(field))) {
                EXPECT_EQ(FieldText(*back.ContactDataList()[0], field), FieldText(*out.ContactDataList()[0], field))
                    << locale << " " << field;
            }
        }
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, CsvRoundTrip, ::testing::ValuesIn(kLayouts),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CsvHeaders, NamesAndCountsOfEveryLayout)
{
    EXPECT_EQ(WindowsContactsCsvLayout().Header().split(';').size(), 29);
    EXPECT_TRUE(NokiaCsvLayout().Header().endsWith(";\"Business country/region\";\"\""));
    EXPECT_EQ(NokiaCsvLayout().columns.size(), 56u);
    EXPECT_EQ(YahooCsvLayout().columns.size(), 55u);
    EXPECT_EQ(BlackBerryCsvLayout().columns.size(), 44u);
    EXPECT_EQ(GoogleCsvLayout().Header().split(',').size(), 92);
    EXPECT_EQ(GoogleDeprecatedCsvLayout().Header().split(',').size(), 58);
    EXPECT_TRUE(GoogleDeprecatedCsvLayout().Header().startsWith("Name,E-mail,Notes,Section 1 - Description,"));
    EXPECT_TRUE(GoogleDeprecatedCsvLayout().Header().endsWith(",Section 5 - Other,Section 5 - Address"));
    EXPECT_EQ(OutlookCsvLayout().Header().split("\",\"").size(), 92);
    EXPECT_TRUE(OutlookFrenchCsvLayout().Header().startsWith(
        QString::fromUtf8("\"Titre\",\"Prénom\",\"Deuxième prénom\",\"Nom\",\"Suffixe\",\"Société\",\"Service\","
                          "\"Titre\",\"Rue (bureau)\",\"Rue (bureau) 2\",\"Rue (bureau) 3\",\"Ville (bureau)\","
                          "\"Dép/Région (bureau)\",")));
    EXPECT_TRUE(OutlookFrenchCsvLayout().Header().contains(
        QString::fromUtf8(",\"Anniversaire de mariage ou fête\",\"Autre boîte postale\",")));
}

} // namespace
