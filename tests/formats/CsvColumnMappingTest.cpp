#include "CsvTestSupport.h"

#include "formats/CsvColumnMapping.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using CsvColumnMappingTest = CsvTest;

// A file no layout knows: French names, semicolons, a note over two lines.
const QByteArray kFile = "Nom;Courriel;Autre courriel;Rue;N\xC3\xA9 le;Groupes;Remarque;Code\r\n"
                         "Durand;;marie@durand.example;\"1 rue Haute\r\nB\xC3\xA2timent 2\";1980-12-31;Amis;\"ligne 1\r\nligne 2\";x1\r\n"
                         "Petit;paul@petit.example;paul@autre.example;;;;;x2\r\n";

CsvColumnMapping FrenchMapping()
{
    return {";",
            {"Nom", "Courriel", "Autre courriel", "Rue", QString::fromUtf8("Né le"), "Groupes", "Remarque", "Code"},
            {"LastName", "PersonalEmail", "PersonalEmail", "HomeStreet", "Birthday", "Categories", "Notes", ""}};
}

TEST_F(CsvColumnMappingTest, PreviewShowsSeparatorColumnsAndFirstRecords)
{
    const CsvPreview preview = PreviewCSVFile(Write("fr.csv", kFile), 1);
    EXPECT_EQ(preview.separator, ";");
    EXPECT_EQ(preview.columns, FrenchMapping().columns);
    ASSERT_EQ(preview.records.size(), 1);
    EXPECT_EQ(preview.records[0].value(3), QString::fromUtf8("1 rue Haute\nBâtiment 2"));
    EXPECT_TRUE(MappableContactFields().contains("HomeStreet"));
    EXPECT_FALSE(MappableContactFields().contains("GoogleContactID"));
    EXPECT_FALSE(MappableContactFields().contains("Created"));
}

TEST_F(CsvColumnMappingTest, ImportFillsTheChosenFields)
{
    ASSERT_EQ(ImportCSVFileWithMapping(contacts, Write("fr.csv", kFile), FrenchMapping()), 2);
    const TContactData &marie = At(0);
    EXPECT_EQ(marie.LastName, "Durand");
    EXPECT_EQ(marie.PersonalEmail, "marie@durand.example") << "the first non-empty of two columns";
    EXPECT_EQ(marie.HomeStreet, QString::fromUtf8("1 rue Haute;Bâtiment 2"));
    EXPECT_EQ(SerialToDate(marie.Birthday), QDate(1980, 12, 31));
    EXPECT_EQ(marie.Categories.Entries(), QStringList{"Amis"});
    EXPECT_EQ(marie.Notes, (QStringList{"ligne 1", "ligne 2"}));
    EXPECT_EQ(At(1).PersonalEmail, "paul@petit.example");
    EXPECT_TRUE(contacts.Categories().contains("Amis"));
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_TRUE(prompts.warnings.isEmpty()) << "columns left out on purpose are not reported";

    // Without a name or an e-mail address there is no contact to make.
    CsvColumnMapping streetsOnly = FrenchMapping();
    streetsOnly.fields = {"", "", "", "HomeStreet", "", "", "", ""};
    EXPECT_EQ(ImportCSVFileWithMapping(contacts, Write("fr.csv", kFile), streetsOnly), 0);
    EXPECT_EQ(prompts.errors, QStringList{"The file header is not the expected one."});
}

TEST_F(CsvColumnMappingTest, RememberedPerHeader)
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced settings(store);
    settings.SetKey(kProgramSettingsKey);
    const CsvColumnMapping mapping = FrenchMapping();
    ASSERT_TRUE(RememberCSVColumnMapping(settings, mapping));

    // The same names, in other letter case and quoted, find it again.
    QStringList same = mapping.columns;
    same[0] = "\"NOM\"";
    const auto found = RememberedCSVColumnMapping(settings, ";", same);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->fields, mapping.fields);
    EXPECT_EQ(found->columns, same);

    QStringList other = mapping.columns;
    other.removeLast();
    EXPECT_FALSE(RememberedCSVColumnMapping(settings, ";", other).has_value());
    EXPECT_FALSE(RememberedCSVColumnMapping(settings, ",", mapping.columns).has_value());
}

} // namespace
