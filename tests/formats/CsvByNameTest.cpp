#include "CsvTestSupport.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// Files of today's producers, whose headers none of the fixed layouts match
// exactly: detection reads their columns by name.
using CsvByName = CsvTest;

TEST_F(CsvByName, CurrentGoogleContactsExport)
{
    ASSERT_EQ(Import("google-contacts.csv"), 3);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(' ').toStdString();
    EXPECT_EQ(prompts.warnings,
              QStringList{"These columns are not known and were ignored: Custom Field 1 - Label, Custom Field 1 - Value."});
    const TContactData &zoe = At(0);
    EXPECT_EQ(zoe.FirstName, QString::fromUtf8("Zoë"));
    EXPECT_EQ(zoe.LastName, QString::fromUtf8("Ågren"));
    EXPECT_EQ(zoe.Title, "Dr.");
    EXPECT_EQ(zoe.Nickname, "Zo");
    EXPECT_EQ(zoe.Company, "Nordvik AB");
    EXPECT_EQ(zoe.JobTitle, "Engineer");
    EXPECT_EQ(zoe.Department, "R&D");
    EXPECT_EQ(SerialToDate(zoe.Birthday), QDate(1984, 2, 29));
    EXPECT_EQ(zoe.Notes, (QStringList{"Met at the fair", "Likes tea, not coffee"}));
    EXPECT_EQ(zoe.Categories.Entries(), (QStringList{"Contacts", "Friends", "Starred"}));
    // A starred label is the preferred location; a second home address finds a free field.
    EXPECT_EQ(zoe.WorkEmail, "zoe@nordvik.example");
    EXPECT_EQ(zoe.Preferred, "Work");
    EXPECT_EQ(zoe.PersonalEmail, "zoe@home.example");
    EXPECT_EQ(zoe.OtherEmail, "zoe.agren@mail.example");
    EXPECT_EQ(zoe.PersonalMobilePhone, "+46 70 123 45 67");
    EXPECT_EQ(zoe.WorkPhone, "+46 8 555 01 00");
    EXPECT_EQ(zoe.HomeFax, "+46 8 555 01 99");
    EXPECT_EQ(zoe.HomeStreet, "Storgatan 1;Lgh 4");
    EXPECT_EQ(zoe.HomeCity, "Stockholm");
    EXPECT_EQ(zoe.HomePostalCode, "111 22");
    EXPECT_EQ(zoe.HomeCountryRegion, "Sweden");
    EXPECT_EQ(zoe.WorkStreet, "Kungsgatan 5;Floor 3");
    EXPECT_EQ(zoe.WorkPOBox, "Box 12");
    EXPECT_EQ(zoe.WorkCity, "Uppsala");
    EXPECT_EQ(zoe.SignificantOther, QString::fromUtf8("Sam Ågren"));
    EXPECT_EQ(zoe.PersonalWebsite, "https://zoe.example");
    EXPECT_EQ(SerialToDate(zoe.Anniversary), QDate(2010, 6, 19));
    // Labels reach the collection's categories.
    EXPECT_TRUE(contacts.Categories().contains("Sailing"));

    EXPECT_EQ(At(1).OtherEmail, "anon@example.com");
    EXPECT_EQ(At(1).Preferred, "Other");

    const TContactData &bo = At(2);
    EXPECT_EQ(bo.Birthday, 0) << "a birthday without a year has no date to keep";
    EXPECT_EQ(bo.OtherPhone, "070-111 22 33") << "an unlabelled number";
    EXPECT_EQ(bo.PersonalMobilePhone, "070-444 55 66");
    EXPECT_EQ(bo.WorkMobilePhone, "070-777 88 99");
    EXPECT_EQ(bo.HomeStreet, QString::fromUtf8("Hamnvägen 3;Visby")) << "the formatted address when it comes alone";
}

TEST_F(CsvByName, OlderGoogleExportWithExtraColumns)
{
    ASSERT_EQ(Import("google-older.csv"), 1);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(' ').toStdString();
    EXPECT_EQ(prompts.warnings, QStringList{"These columns are not known and were ignored: Language, Photo."});
    const TContactData &jane = At(0);
    EXPECT_EQ(jane.FirstName, "Jane");
    EXPECT_EQ(jane.LastName, "Roe");
    EXPECT_EQ(SerialToDate(jane.Birthday), QDate(1985, 7, 20));
    EXPECT_EQ(jane.Notes, (QStringList{"Met at the fair", "Likes tea"}));
    EXPECT_EQ(jane.Categories.Entries(), (QStringList{"Contacts", "Friends"}));
    // Read by name, an e-mail pair goes where its type says, not by its number.
    EXPECT_EQ(jane.PersonalEmail, "jane@roe.example");
    EXPECT_EQ(jane.WorkEmail, "jane@work.example");
    EXPECT_EQ(jane.Preferred, "Personal");
    EXPECT_EQ(jane.PersonalMobilePhone, "07700 900111");
    EXPECT_EQ(jane.WorkFax, "0113 000");
    EXPECT_EQ(jane.HomeStreet, "2 Elm St");
    EXPECT_EQ(jane.HomeCity, "Leeds");
    EXPECT_EQ(jane.HomePostalCode, "LS1 4AB");
    EXPECT_EQ(jane.HomeCountryRegion, "UK");
    EXPECT_EQ(jane.Company, "Roe & Co");
    EXPECT_EQ(jane.JobTitle, "Director");
}

TEST_F(CsvByName, OutlookCsvOfGoogleContacts)
{
    ASSERT_EQ(Import("google-outlook.csv"), 2);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(' ').toStdString();
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("Home Address, ")) << prompts.warnings[0].toStdString();
    const TContactData &tom = At(0);
    EXPECT_EQ(tom.Title, "Mr.");
    EXPECT_EQ(tom.FirstName, "Tom");
    EXPECT_EQ(tom.LastName, "Hall");
    EXPECT_EQ(SerialToDate(tom.Birthday), QDate(1970, 4, 5));
    EXPECT_EQ(tom.Notes, (QStringList{"Line one", "Line two, with a comma"}));
    EXPECT_EQ(tom.WorkEmail, "tom@hall.example");
    EXPECT_EQ(tom.PersonalEmail, "tom@home.example");
    EXPECT_EQ(tom.HomePhone, "0161 496 0000");
    EXPECT_EQ(tom.WorkMobilePhone, "07700 900789");
    EXPECT_EQ(tom.HomeStreet, "5 Mill Lane");
    EXPECT_EQ(tom.HomeCity, "Salford");
    EXPECT_EQ(tom.HomePostalCode, "M3 5BW");
    EXPECT_EQ(tom.HomeCountryRegion, "UK");
    EXPECT_EQ(tom.SignificantOther, "Ann Hall");
    EXPECT_EQ(tom.Company, "Hall & Sons");
    EXPECT_TRUE(tom.Categories.Contains("Golf"));
    EXPECT_EQ(At(1).FirstName, QString::fromUtf8("Ümit"));
}

TEST_F(CsvByName, ThunderbirdExport)
{
    ASSERT_EQ(Import("thunderbird.csv"), 2);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(' ').toStdString();
    const TContactData &asa = At(0);
    EXPECT_EQ(asa.FirstName, QString::fromUtf8("Åsa"));
    EXPECT_EQ(asa.LastName, "Lind");
    EXPECT_EQ(asa.Nickname, QString::fromUtf8("Åsi"));
    EXPECT_EQ(asa.PersonalEmail, "asa@lind.example");
    EXPECT_EQ(asa.WorkEmail, "asa@work.example");
    EXPECT_EQ(asa.PersonalIM, "asa.im");
    EXPECT_EQ(asa.WorkPhone, "+46 8 100");
    EXPECT_EQ(asa.HomePhone, "+46 8 200");
    EXPECT_EQ(asa.WorkFax, "+46 8 300");
    EXPECT_EQ(asa.WorkMobilePhone, "+46 70 400");
    EXPECT_EQ(asa.HomeStreet, QString::fromUtf8("Vägen 1;Lgh 2"));
    EXPECT_EQ(asa.HomeCity, "Lund");
    EXPECT_EQ(asa.HomeStateProvince, QString::fromUtf8("Skåne"));
    EXPECT_EQ(asa.HomePostalCode, "222 22");
    EXPECT_EQ(asa.HomeCountryRegion, "Sweden");
    EXPECT_EQ(asa.Company, "Lind, Berg & Co");
    EXPECT_EQ(asa.WorkWebsite, "https://work.example");
    EXPECT_EQ(asa.PersonalWebsite, "https://asa.example");
    EXPECT_EQ(SerialToDate(asa.Birthday), QDate(1979, 3, 14));
    EXPECT_EQ(asa.Notes, (QStringList{"Line one", "Says \"hej\""}));

    // Only a display name: it is broken into the name fields.
    const TContactData &john = At(1);
    EXPECT_EQ(john.Title, "Dr.");
    EXPECT_EQ(john.FirstName, "John");
    EXPECT_EQ(john.LastName, "Smith");
    EXPECT_EQ(john.Birthday, 0);
}

// Saved again as UTF-8 without a byte-order mark, the accented French header
// still matches exactly and the values keep their accents.
TEST_F(CsvByName, Utf8WithoutByteOrderMark)
{
    ASSERT_EQ(Import("outlook-french-utf8.csv"), 1);
    EXPECT_EQ(At(0).FirstName, QString::fromUtf8("Élise"));
    EXPECT_EQ(At(0).Company, QString::fromUtf8("Société Générale"));
    EXPECT_EQ(At(0).Sensitivity, "Private");
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(CsvByName, ColumnsInAnyOrderWithMissingOnesEmpty)
{
    // Thunderbird's names, reordered and cut short, a stray column, quoted names
    // in other letter case, a blank line and a separator after each record.
    const QString path = Write("reordered.csv", "\"notes\" , Organization,Primary Email,Stray,FIRST NAME\r\n"
                                                "\"a, b\",Acme,ann@acme.example,x,Ann,\r\n"
                                                "\r\n"
                                                ",,bob@b.example\r\n");
    ASSERT_EQ(contacts.ImportFromCSVFile(path), 2);
    EXPECT_EQ(At(0).FirstName, "Ann");
    EXPECT_EQ(At(0).Company, "Acme");
    EXPECT_EQ(At(0).PersonalEmail, "ann@acme.example");
    EXPECT_EQ(At(0).Notes, QStringList{"a, b"});
    EXPECT_EQ(At(0).LastName, "");
    EXPECT_EQ(At(1).PersonalEmail, "bob@b.example");
    EXPECT_EQ(prompts.warnings, QStringList{"These columns are not known and were ignored: Stray."});
    EXPECT_TRUE(errors.empty());
}

// A value column is enough, even without its label column.
TEST_F(CsvByName, EmailValueAloneIdentifiesGoogleContacts)
{
    const QString path = Write("values.csv", "E-mail 1 - Value,Phone 1 - Value,Labels\r\nann@x.example,555,VIP\r\n");
    ASSERT_EQ(contacts.ImportFromCSVFile(path), 1);
    EXPECT_EQ(At(0).OtherEmail, "ann@x.example");
    EXPECT_EQ(At(0).OtherPhone, "555");
    EXPECT_EQ(At(0).Categories.Entries(), QStringList{"VIP"});
}

TEST_F(CsvByName, RecordsThatOverflowTheHeaderAreRejected)
{
    const QString path = Write("overflow.csv", "First Name,Primary Email\r\nAnn,a@x.example,extra\r\nBob,b@x.example\r\n");
    ASSERT_EQ(contacts.ImportFromCSVFile(path), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].context, "ImportFromThunderbirdCSVFile");
    EXPECT_EQ(errors[0].text, "Ann,a@x.example,extra");
    EXPECT_EQ(At(0).FirstName, "Bob");
}

// Names alone do not make a contact: without a name or an e-mail column the
// file is still not supported, and a layout's own importer refuses it.
TEST_F(CsvByName, HeadersWithoutNameOrEmailAreRefused)
{
    const QString path = Write("phones.csv", "Home Phone,Work Phone,Notes\r\n1,2,3\r\n");
    EXPECT_EQ(contacts.ImportFromCSVFile(path), 0);
    EXPECT_EQ(contacts.ImportFromGoogleContactsCSVFile(path), 0);
    EXPECT_EQ(prompts.errors,
              (QStringList{"The file header is not supported.", "The file header is not the expected one."}));
    EXPECT_TRUE(contacts.ContactDataList().empty());
}

} // namespace
