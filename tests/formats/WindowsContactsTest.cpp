#include "formats/FormatsFixture.h"

#include "contacts/SerialDate.h"

#include <QDir>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class WindowsContacts : public FormatsTest
{
protected:
    static QString Contact(const char *name) { return Fixture("contact/") + QLatin1String(name); }
};

TEST_F(WindowsContacts, ReadsTheElementWalkOfAFullFile)
{
    TContactData *c = book.CreateContactData();
    ASSERT_TRUE(book.ReadContactDataFromWindowsContactsFile(c, Contact("anna.contact")));
    EXPECT_EQ((QStringList{c->Title, c->FirstName, c->LastName, c->Nickname}),
              (QStringList{"Dr.", "Anna", "Lindqvist", "Ann"}));
    // No company: the first address is personal, the second other.
    EXPECT_EQ(c->PersonalEmail, "anna@home.example");
    EXPECT_EQ(c->OtherEmail, "anna@other.example");
    EXPECT_EQ(c->WorkEmail, "");
    EXPECT_EQ(c->Preferred, "Personal");
    EXPECT_EQ(c->WorkPhone, "+46 8 1");
    EXPECT_EQ(c->WorkFax, "+46 8 3"); // the fax label is still remembered
    EXPECT_EQ(c->PersonalMobilePhone, "+46 70 4");
    EXPECT_EQ(c->HomePhone, "+46 8 5"); // "Voice" from the mobile number is remembered
    EXPECT_EQ((QStringList{c->WorkStreet, c->WorkCity, c->WorkPostalCode, c->WorkStateProvince, c->WorkCountryRegion}),
              (QStringList{"Work St 1", "Stockholm", "111", "AB", "Sweden"}));
    EXPECT_EQ(c->HomeStreet, "Home St 2");
    EXPECT_EQ(c->HomeCity, "Uppsala");
    EXPECT_EQ(c->OtherStreet, "");
    EXPECT_EQ(SerialToDate(c->Birthday), QDate(1980, 5, 17));
    EXPECT_EQ(c->Anniversary, 0);
    EXPECT_EQ(c->WorkWebsite, "https://work.example");
    EXPECT_EQ(c->PersonalWebsite, "https://home.example");
    EXPECT_EQ(c->Gender, "Female");
    EXPECT_EQ(c->Notes, (QStringList{"first line", "second line"}));
    EXPECT_EQ(SerialToIsoUtc(c->Created), "2019-02-03T04:05:06Z");
    EXPECT_EQ(c->Modified, DateTimeToSerial(clock.NowUtc()));
}

TEST_F(WindowsContacts, AMobileNumberIsOnlyTheMobileWhateverItsOtherLabels)
{
    const auto number = [](const char *value, std::initializer_list<const char *> labels) {
        QByteArray xml = QByteArray("<c:PhoneNumber><c:Number>") + value + "</c:Number><c:LabelCollection>";
        for (const char *label : labels)
            xml += QByteArray("<c:Label>") + label + "</c:Label>";
        return xml + "</c:LabelCollection></c:PhoneNumber>";
    };
    const QString path = dir.filePath("mobile.contact");
    WriteAll(path, "<c:contact xmlns:c=\"http://schemas.microsoft.com/Contact\"><c:PhoneNumberCollection>"
                       + number("1", {"Fax", "Business"}) + number("2", {"Cellular", "Business"})
                       + number("3", {"Business", "Pager"}) + number("4", {"Voice", "Personal"})
                       + "</c:PhoneNumberCollection></c:contact>");
    TContactData *c = book.CreateContactData();
    ASSERT_TRUE(book.ReadContactDataFromWindowsContactsFile(c, path));
    EXPECT_EQ((QStringList{c->WorkFax, c->PersonalMobilePhone, c->WorkPager, c->HomePhone, c->WorkPhone}),
              (QStringList{"1", "2", "3", "4", ""}));
}

TEST_F(WindowsContacts, ACompanyMakesTheFirstAddressTheWorkOne)
{
    TContactData *c = book.CreateContactData();
    ASSERT_TRUE(book.ReadContactDataFromWindowsContactsFile(c, Contact("company.contact")));
    EXPECT_EQ(c->Company, "Acme");
    EXPECT_EQ(c->Department, "R&D");
    EXPECT_EQ(c->WorkEmail, "w@acme.example");
    EXPECT_EQ(c->PersonalEmail, "p@home.example");
    EXPECT_EQ(c->Preferred, "Personal");
}

TEST_F(WindowsContacts, HostileOrBrokenFilesAreRefusedWithoutTouchingTheRecord)
{
    for (const char *name : {"entities.contact", "truncated.contact", "missing.contact"}) {
        SCOPED_TRACE(name);
        TContactData *c = book.CreateContactData();
        c->FirstName = "kept";
        EXPECT_FALSE(book.ReadContactDataFromWindowsContactsFile(c, Contact(name)));
        EXPECT_EQ(c->FirstName, "kept");
        EXPECT_EQ(c->LastName, "");
    }
}

TEST_F(WindowsContacts, FolderImportCountsReadableFilesOnly)
{
    const QString folder = dir.filePath("contacts");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char *name : {"anna.contact", "company.contact", "truncated.contact"})
        ASSERT_TRUE(QFile::copy(Contact(name), folder + "/" + name));
    WriteAll(folder + "/card.vcf", "BEGIN:VCARD\r\nEND:VCARD\r\n");
    const QString before = QDir::currentPath();
    EXPECT_EQ(book.ImportFromWindowsContactsFolder(folder), 2);
    EXPECT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.SkippedFileCount(), 1);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(book.ImportFromWindowsContactsFolder(dir.filePath("none")), 0);
    EXPECT_EQ(book.ContactDataList().size(), 2u);
}

} // namespace
