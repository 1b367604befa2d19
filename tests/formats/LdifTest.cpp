#include "formats/FormatsFixture.h"

#include "contacts/ContactFields.h"
#include "contacts/SerialDate.h"

#include <QDir>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class Ldif : public FormatsTest
{
protected:
    QStringList RecordOf(const TContactData &contact)
    {
        const QString path = dir.filePath("one.ldif");
        EXPECT_TRUE(book.WriteContactDataToLDIFFile(&contact, path));
        QString text = QString::fromUtf8(ReadAll(path));
        EXPECT_TRUE(text.endsWith("\n"));
        EXPECT_FALSE(text.contains("\r"));
        text.chop(1);
        QStringList lines = text.split("\n");
        EXPECT_EQ(lines.mid(0, 2), (QStringList{"version: 1", ""}));
        return lines.mid(2);
    }

    TContactData *Read(const QString &text)
    {
        const QString path = dir.filePath("in.ldif");
        WriteAll(path, text.toUtf8());
        TContactData *contact = book.CreateContactData();
        EXPECT_TRUE(book.ReadContactDataFromLDIFFile(contact, path));
        return contact;
    }
};

TEST_F(Ldif, WritesTheMozillaAttributes)
{
    TContactData *c = book.CreateContactData();
    c->FirstName = "John", c->LastName = "Smith", c->Company = "Smith, Jones & Co";
    c->WorkEmail = "j@x.org", c->Preferred = "Work";
    c->HomeStreet = "12 High St;Flat 3;Rear", c->WorkStreet = "1 Main";
    c->WorkMobilePhone = "+44 7", c->Notes = {"a", "", "b"};
    EXPECT_EQ(RecordOf(*c), (QStringList{
                                "dn: cn=John Smith,mail=j@x.org",
                                "objectclass: top",
                                "objectclass: person",
                                "objectclass: organizationalPerson",
                                "objectclass: inetOrgPerson",
                                "objectclass: mozillaAbPersonAlpha",
                                "givenName: John",
                                "sn: Smith",
                                "cn: John Smith",
                                "company: Smith, Jones & Co",
                                "o: Smith, Jones & Co",
                                "street: 1 Main",
                                "mobile: +44 7",
                                "mail: j@x.org",
                                "homeStreet: 12 High St",
                                "mozillaHomeStreet: 12 High St",
                                "mozillaHomeStreet2: Flat 3;Rear",
                                "description:: YQoKYg==", // "a\n\nb"
                            }));

    TContactData *bare = book.CreateContactData();
    bare->Nickname = " padded";
    const QStringList lines = RecordOf(*bare);
    EXPECT_EQ(lines.first(), "dn: cn=");
    bare->OtherEmail = "o@x", bare->Preferred = "Other";
    EXPECT_EQ(RecordOf(*bare).first(), "dn: mail=o@x");
    EXPECT_EQ(lines.last(), "mozillaNickname:: IHBhZGRlZA==");

    // Letters beyond ASCII go out in base64, so no reader has to guess the code page.
    TContactData *accented = book.CreateContactData();
    accented->FirstName = "Zoë", accented->Birthday = DateToSerial(QDate(1982, 11, 5));
    const QStringList more = RecordOf(*accented);
    EXPECT_EQ(more.first(), "dn:: Y249Wm/Dqw=="); // "cn=Zoë"
    EXPECT_TRUE(more.contains("givenName:: Wm/Dqw=="));
    EXPECT_EQ(more.mid(more.size() - 3), (QStringList{"birthyear: 1982", "birthmonth: 11", "birthday: 05"}));
}

TEST_F(Ldif, NamesInTheDnAreEscapedAndReadBack)
{
    TContactData *c = book.CreateContactData();
    c->LastName = "Doe,Jr+1";
    EXPECT_EQ(RecordOf(*c).first(), "dn: cn=Doe\\,Jr\\+1");
    TContactData *back = Read("dn: cn=Doe\\,Jr\\+1,mail=\r\n");
    EXPECT_EQ(back->LastName, "Doe,Jr+1");
    TContactData *two = Read("dn: cn=John van Smith,mail=j@x.org\r\n");
    EXPECT_EQ(two->FirstName, "John");
    EXPECT_EQ(two->LastName, "van Smith");
}

TEST_F(Ldif, ReadsWhatOtherWritersProduce)
{
    struct Case
    {
        const char *what;
        QString text;
        std::function<void(const TContactData &)> check;
    };
    const Case cases[] = {
        {"mail with a company is work mail",
         "dn: cn=a\ncompany: Acme\nmail: w@x\nmobile: 1\npager: 2\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.WorkEmail, "w@x");
             EXPECT_EQ(c.WorkMobilePhone, "1");
             EXPECT_EQ(c.WorkPager, "2");
         }},
        {"mail without a company is personal, the second mail other",
         "dn: cn=a\nmail: p@x\nmozillaSecondEmail: o@x\no: Org\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.PersonalEmail, "p@x");
             EXPECT_EQ(c.OtherEmail, "o@x");
             EXPECT_EQ(c.Company, "Org");
         }},
        {"a value holding \": \" is kept whole",
         "dn: cn=a\ndescription: Note: call back¤x\n",
         [](const TContactData &c) { EXPECT_EQ(c.Notes, (QStringList{"Note: call back", "x"})); }},
        {"base64 and folded values",
         "dn: cn=a\ngivenName:: w4lsb2TDrWU=\nsn: Lon\n g\ndescription: one\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.FirstName, "Élodíe");
             EXPECT_EQ(c.LastName, "Long");
         }},
        {"street lines",
         "dn: cn=a\nstreet: 1 Main\nmozillaWorkStreet2: Suite 2\nmozillaHomeStreet2: Flat 3\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.WorkStreet, "1 Main;Suite 2");
             EXPECT_EQ(c.HomeStreet, "Flat 3");
         }},
        {"names in any case; unknown, broken and comment lines are skipped",
         "dn: cn=a\nfoo: bar\nnocolon\n: empty\nGIVENNAME: x\n# sn: comment\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.FirstName, "x");
             EXPECT_EQ(c.LastName, "a");
         }},
        {"no blank after the colon, options, a URL value, a folded base64 value",
         "DN: cn=a\nsn:Plain\ntitle;lang-fr: Chef\ncompany:< file:///etc/passwd\ndescription:: TGlnbmUgMQpM\n aWduZSAy\n",
         [](const TContactData &c) {
             EXPECT_EQ(c.LastName, "Plain");
             EXPECT_EQ(c.JobTitle, "Chef");
             EXPECT_EQ(c.Company, "");
             EXPECT_EQ(c.Notes, (QStringList{"Ligne 1", "Ligne 2"}));
         }},
        {"a given name alone is not repeated as the last name", "dn: cn=Jane\ngivenName: Jane\n",
         [](const TContactData &c) { EXPECT_EQ((QStringList{c.FirstName, c.LastName}), (QStringList{"Jane", ""})); }},
        {"the full name gives the part that givenName or sn leaves out",
         "dn: cn=Mary Ann Lee\ngivenName: Mary Ann\n",
         [](const TContactData &c) {
             EXPECT_EQ((QStringList{c.FirstName, c.LastName}), (QStringList{"Mary Ann", "Lee"}));
         }},
        {"a family name alone", "dn: cn=Roe,mail=r@x\nsn: Roe\n",
         [](const TContactData &c) { EXPECT_EQ((QStringList{c.FirstName, c.LastName}), (QStringList{"", "Roe"})); }},
        {"a name only in cn, a department only in ou, the birthday in three parts",
         "dn: uid=7,ou=people\ncn: Ann Lee\nou: Sales\nbirthyear: 1990\nbirthmonth: 2\nbirthday: 28\n",
         [](const TContactData &c) {
             EXPECT_EQ((QStringList{c.FirstName, c.LastName, c.Department}), (QStringList{"Ann", "Lee", "Sales"}));
             EXPECT_EQ(SerialToDate(c.Birthday), QDate(1990, 2, 28));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.check(*Read(c.text));
    }
}

TEST_F(Ldif, EveryCarriedFieldSurvivesAFileRoundTrip)
{
    TContactData *o = book.CreateContactData();
    o->FirstName = "Zoë", o->LastName = "Élan", o->Nickname = "Z", o->Company = "Acme", o->Department = "R&D";
    o->JobTitle = "Boss", o->WorkStreet = "1 Rue;Bât B", o->WorkPOBox = "BP 1", o->WorkCity = "Lyon";
    o->WorkStateProvince = "RA", o->WorkPostalCode = "69000", o->WorkCountryRegion = "France";
    o->WorkPhone = "+33 1", o->WorkFax = "+33 2", o->WorkMobilePhone = "+33 6", o->WorkPager = "+33 3";
    o->WorkEmail = "w@x.fr", o->WorkWebsite = "https://x.fr", o->HomeStreet = "2 Home;Flat 1;Back";
    o->HomeCity = "Nice", o->HomeStateProvince = "PACA", o->HomePostalCode = "06000";
    o->HomeCountryRegion = "France", o->HomePhone = "+33 4", o->PersonalEmail = "p@x.fr";
    o->PersonalWebsite = "http://p.fr", o->Notes = {"one: 1", "", " two "};
    o->Birthday = DateToSerial(QDate(1975, 4, 23));
    const QString path = dir.filePath("all.ldif");
    ASSERT_EQ(book.ExportToLDIFFile(path), 1);

    TQorContacts other;
    other.SetClock(clock);
    other.SetPrompts(prompts);
    ASSERT_EQ(other.ImportFromLDIFFile(path), 1);
    TContactData copy = *other.ContactDataList().front();
    copy.Created = o->Created, copy.Modified = o->Modified, copy.Accessed = o->Accessed, copy.Uid = o->Uid;
    for (const ContactField &field : ContactFields())
        std::visit([&](auto member) { EXPECT_TRUE(copy.*member == o->*member) << field.name.data(); },
                   field.member);
}

TEST_F(Ldif, FilesAndFoldersOfRecords)
{
    const QString path = dir.filePath("two.ldif");
    WriteAll(path, "version: 1\r\n\r\ndn: cn=A\r\nsn: A\r\n\r\ndn: cn=B\r\n");
    EXPECT_EQ(book.ImportFromLDIFFile(path), 2);
    EXPECT_EQ(book.ImportFromLDIFFile(dir.filePath("missing.ldif")), 0);

    const QString folder = dir.filePath("records");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(book.ExportToLDIFFolder(folder), 2);
    WriteAll(folder + "/junk.ldif", "hello");
    const QString before = QDir::currentPath();
    TQorContacts other;
    other.SetClock(clock);
    other.SetPrompts(prompts);
    EXPECT_EQ(other.ImportFromLDIFFolder(folder), 2);
    EXPECT_EQ(other.SkippedFileCount(), 1);
    EXPECT_EQ(other.ContactDataList().size(), 2u);
    EXPECT_EQ(QDir::currentPath(), before);
}

} // namespace
