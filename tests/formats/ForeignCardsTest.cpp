// Cards and LDIF files written by other programs (tests/fixtures/README.md says
// which) must land in the fields the program's own files use.

#include "formats/FormatsFixture.h"

#include "contacts/SerialDate.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class ForeignCards : public FormatsTest
{
protected:
    const TContactData &ImportOne(const QString &path, qsizetype count = 1)
    {
        EXPECT_EQ(path.endsWith(".ldif") ? book.ImportFromLDIFFile(path) : book.ImportFromvCardFile(path), count);
        return *book.ContactDataList().front();
    }
};

QStringList Address(const TContactData &c, bool work)
{
    return work ? QStringList{c.WorkStreet, c.WorkCity, c.WorkStateProvince, c.WorkPostalCode, c.WorkCountryRegion}
                : QStringList{c.HomeStreet, c.HomeCity, c.HomeStateProvince, c.HomePostalCode, c.HomeCountryRegion};
}

// The same contact written by four programs.
TEST_F(ForeignCards, EveryProgramsCardOfTheSameContactReadsAlike)
{
    struct Case
    {
        const char *file;
        QString TContactData::*website;
        bool nickname, anniversary;
        QStringList categories;
    };
    const Case cases[] = {
        {"vobject-3.0.vcf", &TContactData::WorkWebsite, true, false, {"Friends", "Work, old"}},
        {"ez-vcard-4.0.vcf", &TContactData::WorkWebsite, true, true, {"Friends", "Work, old"}},
        {"ez-vcard-2.1.vcf", &TContactData::WorkWebsite, false, false, {}},
        {"kcontacts-3.0.vcf", &TContactData::OtherWebsite, true, true, {}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.file);
        book.ClearContactDataList();
        const TContactData &c = ImportOne(Fixture("vcard/") + k.file);
        EXPECT_EQ((QStringList{c.Title, c.FirstName, c.MiddleName, c.LastName, c.Suffix}),
                  (QStringList{"Dr.", "Jürgen", "K.", "Müller", "Jr."}));
        EXPECT_EQ(c.Nickname, k.nickname ? "Jogi" : "");
        EXPECT_EQ((QStringList{c.Company, c.Department, c.JobTitle, c.Role}),
                  (QStringList{"Acme GmbH", "R&D", "Engineer", "Team lead"}));
        EXPECT_EQ((QStringList{c.WorkPhone, c.HomePhone, c.PersonalMobilePhone, c.WorkFax, c.OtherPhone}),
                  (QStringList{"+49 30 1111", "+49 30 2222", "+49 170 3333", "+49 30 4444", ""}));
        EXPECT_EQ((QStringList{c.WorkEmail, c.PersonalEmail, c.OtherEmail}),
                  (QStringList{"j.mueller@acme.example", "juergen@home.example", ""}));
        EXPECT_EQ(Address(c, true), (QStringList{"Hauptstraße 1", "Berlin", "", "10115", "Germany"}));
        EXPECT_EQ(Address(c, false), (QStringList{"Gartenweg 2;Hinterhaus", "München", "BY", "80331", "Germany"}));
        EXPECT_EQ(c.*k.website, "https://acme.example/jm");
        EXPECT_EQ(SerialToDate(c.Birthday), QDate(1975, 4, 23));
        EXPECT_EQ(SerialToDate(c.Anniversary), k.anniversary ? QDate(2001, 6, 30) : QDate(1899, 12, 30));
        if (!k.categories.isEmpty()) {
            EXPECT_EQ(c.Categories.Entries(), k.categories);
        }
        EXPECT_EQ(c.Notes, (QStringList{"First line, with comma; and semicolon", "Second line: Ünïcode"}));
    }
}

TEST_F(ForeignCards, PhoneCardWithGroupsLabelsAndAPhoto)
{
    const TContactData &c = ImportOne(Fixture("vcard/phone-3.0.vcf"), 2);
    EXPECT_EQ((QStringList{c.FirstName, c.LastName, c.Company, c.Department, c.JobTitle}),
              (QStringList{"Éric", "Roy", "Lumière Inc.", "Ventes", "Directeur"}));
    EXPECT_EQ((QStringList{c.PersonalEmail, c.WorkEmail, c.OtherEmail}),
              (QStringList{"eric@maison.example", "eric@lumiere.example", "eric@autre.example"}));
    EXPECT_EQ(c.Preferred, "Personal");
    EXPECT_EQ((QStringList{c.PersonalMobilePhone, c.OtherMobilePhone, c.HomePhone, c.WorkPhone, c.HomeFax,
                           c.OtherPhone}),
              (QStringList{"+1 418 555 0101", "+1 418 555 0102", "+1 418 555 0103", "+1 418 555 0104",
                           "+1 418 555 0105", "+1 418 555 0106"}));
    EXPECT_EQ(Address(c, false), (QStringList{"12 rue des Érables;App. 3", "Québec", "QC", "G1R 2B5", "Canada"}));
    EXPECT_EQ(Address(c, true), (QStringList{"1 boul. Laurier", "Québec", "QC", "G1V 4M6", "Canada"}));
    EXPECT_EQ(c.PersonalWebsite, "http://www.lumiere.example/eric");
    EXPECT_EQ(SerialToDate(c.Birthday), QDate(1969, 7, 20));
    EXPECT_EQ(SerialToDate(c.Anniversary), QDate(2001, 6, 30));
    EXPECT_EQ(c.SignificantOther, "Marie");
    EXPECT_EQ(c.Categories.Entries(), (QStringList{"Amis", "Famille"}));
    EXPECT_EQ(c.Notes, (QStringList{"Rencontré à Montréal, 2019.", "Aime le café; pas le thé."}));

    // The second card is written in lower case, untyped and folded.
    const TContactData &lea = *book.ContactDataList().back();
    EXPECT_EQ((QStringList{lea.FirstName, lea.LastName, lea.OtherPhone, lea.OtherStreet, lea.OtherCity,
                           lea.WorkEmail}),
              (QStringList{"Léa", "Tremblay", "514 555 0199", "5 rue Saint-Paul", "Montréal", "lea@example.org"}));
    EXPECT_EQ(lea.Notes, QStringList{"Une longue note qui est pliée sur plusieurs lignes pour vérifier que le "
                                     "dépliage ne coupe rien."});
}

TEST_F(ForeignCards, OldPhoneCardWithCharsetsAndQuotedPrintable)
{
    const TContactData &c = ImportOne(Fixture("vcard/phone-2.1.vcf"));
    EXPECT_EQ((QStringList{c.FirstName, c.LastName}), (QStringList{"Jürgen", "Müller"}));
    EXPECT_EQ((QStringList{c.PersonalMobilePhone, c.WorkPhone, c.HomePhone, c.WorkFax}),
              (QStringList{"+49 170 3333", "+49 30 1111", "+49 30 2222", "+49 30 4444"}));
    EXPECT_EQ((QStringList{c.PersonalEmail, c.WorkEmail}), (QStringList{"ñandú@example.org", "j.mueller@acme.example"}));
    EXPECT_EQ(Address(c, false), (QStringList{"Gartenweg 2", "München", "", "80331", "Deutschland"}));
    EXPECT_EQ(c.Notes, (QStringList{"Erste Zeile", "Zweite Zeile mit Ümlaut und einem langen Text, der weich "
                                                   "umbrochen ist."}));
    EXPECT_EQ(c.Categories.Entries(), QStringList{"Familie"});
    EXPECT_EQ(SerialToDate(c.Birthday), QDate(1975, 4, 23));
}

// Quoted-printable values folded like any other line, a blank starting the
// continuation, with and without a soft line break before it.
TEST_F(ForeignCards, QuotedPrintableFoldedWithABlank)
{
    const TContactData &c = ImportOne(Fixture("vcard/folded-qp-2.1.vcf"));
    EXPECT_EQ((QStringList{c.FirstName, c.LastName}), (QStringList{"Renée", "Église"}));
    EXPECT_EQ((QStringList{c.Company, c.Department}), (QStringList{"Café de la Gare", "Cuisine"}));
    EXPECT_EQ(Address(c, false), (QStringList{"12 rue de l'Église", "Orléans", "", "45000", "France"}));
    EXPECT_EQ(c.Notes, (QStringList{"Première ligne", "Deuxième ligne"}));
}

TEST_F(ForeignCards, ThunderbirdStyleLdifWithBase64AndAMailingList)
{
    const TContactData &c = ImportOne(Fixture("ldif/thunderbird.ldif"), 2);
    EXPECT_EQ((QStringList{c.FirstName, c.LastName, c.Nickname}), (QStringList{"Zoë", "Lefèvre", "Zo"}));
    EXPECT_EQ((QStringList{c.Company, c.Department, c.JobTitle}),
              (QStringList{"Bâtir & Cie", "Études", "Architecte"}));
    // The e-mail comes before the company, so it counts as personal.
    EXPECT_EQ((QStringList{c.PersonalEmail, c.OtherEmail}), (QStringList{"zoe@example.fr", "zoe.perso@example.org"}));
    EXPECT_EQ((QStringList{c.WorkPhone, c.HomePhone, c.WorkFax, c.PersonalPager, c.PersonalMobilePhone}),
              (QStringList{"+33 1 23 45 67 89", "+33 4 11 22 33 44", "+33 1 23 45 67 80", "+33 6 00 00 00 01",
                           "+33 6 12 34 56 78"}));
    EXPECT_EQ(Address(c, false), (QStringList{"Ancien Chemin de l’Église;Bâtiment B", "Aix-en-Provence", "PACA",
                                              "13100", "France"}));
    EXPECT_EQ(Address(c, true), (QStringList{"1 Avenue des Champs;Bureau 12", "Paris", "IDF", "75008", "France"}));
    EXPECT_EQ((QStringList{c.WorkWebsite, c.PersonalWebsite}),
              (QStringList{"https://batir.example", "http://zoe.example"}));
    EXPECT_EQ(SerialToDate(c.Birthday), QDate(1982, 11, 5));
    EXPECT_EQ(c.Notes, (QStringList{"Première ligne", "Deuxième ligne: avec deux-points", "", "Après une ligne vide"}));

    const TContactData &folded = *book.ContactDataList().back();
    EXPECT_EQ((QStringList{folded.FirstName, folded.LastName}), (QStringList{"Folded", "Person"}));
    EXPECT_EQ(folded.Notes, QStringList{"Kept: with a colon"});
}

TEST_F(ForeignCards, LdifOfPythonLdapAndKContacts)
{
    for (const char *file : {"python-ldap.ldif", "kcontacts.ldif"}) {
        SCOPED_TRACE(file);
        book.ClearContactDataList();
        const TContactData &c = ImportOne(Fixture("ldif/") + file);
        EXPECT_EQ((QStringList{c.FirstName, c.LastName, c.Nickname}), (QStringList{"Jürgen", "Müller", "Jogi"}));
        EXPECT_EQ((QStringList{c.Company, c.Department, c.JobTitle}),
                  (QStringList{"Acme GmbH", "R&D", "Engineer"}));
        EXPECT_EQ((QStringList{c.WorkPhone, c.HomePhone, c.WorkFax}),
                  (QStringList{"+49 30 1111", "+49 30 2222", "+49 30 4444"}));
        EXPECT_EQ(c.PersonalMobilePhone + c.WorkMobilePhone, "+49 170 3333");
        // Which slot "mail" takes depends on whether the company came first.
        QStringList mails{c.WorkEmail, c.PersonalEmail, c.OtherEmail};
        mails.removeAll(QString());
        mails.sort();
        EXPECT_EQ(mails, (QStringList{"j.mueller@acme.example", "juergen@home.example"}));
        EXPECT_EQ(Address(c, true), (QStringList{"Hauptstraße 1", "Berlin", "", "10115", "Germany"}));
        EXPECT_EQ(Address(c, false), (QStringList{"Gartenweg 2;Hinterhaus", "München", "BY", "80331", "Germany"}));
        EXPECT_EQ(SerialToDate(c.Birthday), QDate(1975, 4, 23));
        EXPECT_EQ(c.Notes, (QStringList{"First line, with comma; and semicolon", "Second line: Ünïcode"}));
    }
}

} // namespace
