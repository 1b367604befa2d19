#include "contacts/QorContacts.h"
#include "contacts/SerialDate.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// Other implementations of the formats, run through Debian's Python modules
// (scripts/install-deps.sh installs them).
const QString kPython = QStringLiteral("/usr/bin/python3");

bool HasModule(const char *module)
{
    QProcess p;
    p.start(kPython, {"-c", QString("import ") + module});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString RunPython(const QString &script, const QStringList &args)
{
    QProcess p;
    p.start(kPython, QStringList{"-c", script} + args);
    if (!p.waitForFinished(60000))
        return "timeout";
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

#define REQUIRE_PEER(module)                                                                                       \
    if (!HasModule(module))                                                                                        \
        GTEST_SKIP() << "peer missing: python3 module " module " (install it with scripts/install-deps.sh)";

class Peers : public ::testing::Test
{
protected:
    Peers()
    {
        book.SetClock(SystemClock::Instance());
        book.SetPrompts(prompts);
        TContactData *c = book.CreateContactData();
        c->FirstName = "Zoë", c->LastName = "Élan", c->WorkStreet = "1 Rue Haute", c->WorkCity = "Lyon";
        c->WorkPostalCode = "69001", c->WorkCountryRegion = "France", c->WorkPhone = "+33 4 1";
        c->HomePhone = "+33 4 2", c->WorkEmail = "z@x.fr", c->PersonalEmail = "p@x.fr", c->Notes = {"call: soon"};
        c->HomeStreet = "2 Home;Flat 3", c->Company = "Smith, Jones";
    }

    RecordingPrompts prompts;
    TQorContacts book;
    QTemporaryDir dir;
};

TEST_F(Peers, VObjectReadsOurCard)
{
    REQUIRE_PEER("vobject");
    const QString path = dir.filePath("c.vcf");
    ASSERT_EQ(book.ExportTovCardFile(path), 1);
    // vobject does not join quoted-printable soft line breaks, so the card it
    // reads holds single-line values only.
    book.ContactDataList().front()->HomeStreet = "2 Home";
    ASSERT_EQ(book.ExportTovCardFile(path), 1);
    const QString out = RunPython(R"(
import sys, vobject
c = vobject.readOne(open(sys.argv[1], encoding='utf-8-sig').read())
print(c.n.value.family, c.n.value.given, sep='|')
a = [x for x in c.adr_list if 'WORK' in x.params.get('TYPE', []) or 'WORK' in x.singletonparams][0]
print(a.value.street, a.value.city, a.value.code, a.value.country, sep='|')
print(*sorted(t.value for t in c.tel_list), sep='|')
print(*sorted(e.value for e in c.email_list), sep='|')
print(c.note.value)
)", {path});
    EXPECT_EQ(out.split('\n'), (QStringList{"Élan|Zoë", "1 Rue Haute|Lyon|69001|France", "+33 4 1|+33 4 2",
                                            "p@x.fr|z@x.fr", "call: soon"}));
}

TEST_F(Peers, CardsWrittenByVObjectImportIntoTheRightFields)
{
    REQUIRE_PEER("vobject");
    const QString path = dir.filePath("peer.vcf");
    RunPython(R"(
import sys, vobject
c = vobject.vCard()
c.add('n').value = vobject.vcard.Name(family='Roy', given='Éric')
c.add('fn').value = 'Éric Roy'
t = c.add('tel'); t.value = '+1 418'; t.type_param = 'WORK'
a = c.add('adr'); a.value = vobject.vcard.Address(street='5 Rue', city='Québec', code='G1', country='Canada'); a.type_param = 'HOME'
e = c.add('email'); e.value = 'e@x.ca'; e.type_param = 'INTERNET'
c.add('note').value = 'hello'
open(sys.argv[1], 'w', encoding='utf-8').write(c.serialize())
)", {path});
    ASSERT_EQ(book.ImportFromvCardFile(path), 1);
    const TContactData &c = *book.ContactDataList().back();
    EXPECT_EQ(c.LastName, "Roy");
    EXPECT_EQ(c.FirstName, "Éric");
    EXPECT_EQ(c.WorkPhone, "+1 418");
    EXPECT_EQ(c.HomeStreet, "5 Rue");
    EXPECT_EQ(c.HomeCity, "Québec");
    EXPECT_EQ(c.HomeCountryRegion, "Canada");
    EXPECT_EQ(c.WorkEmail, "e@x.ca");
    EXPECT_EQ(c.Notes, QStringList{"hello"});
}

TEST_F(Peers, PythonLdapParsesOurLdif)
{
    REQUIRE_PEER("ldif");
    book.CreateContactData()->LastName = "Second";
    const QString path = dir.filePath("c.ldif");
    ASSERT_EQ(book.ExportToLDIFFile(path), 2);
    const QString out = RunPython(R"(
import sys, ldif
p = ldif.LDIFRecordList(open(sys.argv[1], 'rb'))
p.parse()
dn, e = p.all_records[0]
print(len(p.all_records), dn, sep='|')
print(e['sn'][0].decode(), e['company'][0].decode(), e['mozillaHomeStreet2'][0].decode(), sep='|')
print(e['description'][0].decode())
)", {path});
    EXPECT_EQ(out.split('\n'), (QStringList{"2|cn=Zoë Élan,mail=z@x.fr", "Élan|Smith, Jones|Flat 3", "call: soon"}));
}

// Python's csv module stands for the spreadsheets and address books that read
// our files: every row has the header's number of fields and values keep their
// commas, quotes and line breaks.
TEST_F(Peers, PythonCsvReadsOurGoogleContactsAndThunderbirdFiles)
{
    REQUIRE_PEER("csv");
    TContactData *second = book.CreateContactData();
    second->FirstName = "Al \"Big\"", second->LastName = "Ray", second->Notes = {"one, two", "three"};
    using Export = int (TQorContacts::*)(const QString &);
    struct Case
    {
        const char *name;
        Export exporter;
        const char *firstName, *notes;
    } const cases[] = {
        {"google-contacts", &TQorContacts::ExportToGoogleContactsCSVFile, "First Name", "Notes"},
        {"thunderbird", &TQorContacts::ExportToThunderbirdCSVFile, "First Name", "Notes"},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".csv");
        ASSERT_EQ((book.*c.exporter)(path), 2) << c.name;
        const QString out = RunPython(R"(
import sys, csv
rows = list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))
header = rows[0]
print(len(rows) - 1, all(len(r) == len(header) for r in rows))
for r in rows[1:]:
    d = dict(zip(header, r))
    print(d[sys.argv[2]], d[sys.argv[3]].replace('\r\n', '|'), sep='#')
)", {path, c.firstName, c.notes});
        EXPECT_EQ(out.split('\n'), (QStringList{"2 True", "Zoë#call: soon", "Al \"Big\"#one, two|three"})) << c.name;
    }
}

// One contact with every kind of field a 3.0 card or an LDIF record carries.
void FillForPeers(TContactData &c)
{
    c.Title = "Dr.", c.FirstName = "Zoë", c.MiddleName = "K.", c.LastName = "Élan", c.Suffix = "Jr.";
    c.Nickname = "Zo", c.Company = "Smith, Jones; Co", c.Department = "R&D", c.JobTitle = "Boss", c.Role = "Lead";
    c.WorkStreet = "1 Rue Haute;Bât B", c.WorkCity = "Lyon", c.WorkPostalCode = "69001";
    c.WorkCountryRegion = "France", c.WorkPhone = "+33 4 1", c.WorkFax = "+33 4 9", c.PersonalMobilePhone = "+33 6 1";
    c.WorkEmail = "z@x.fr", c.WorkWebsite = "https://x.fr/a?b=1,2";
    c.HomeStreet = "2 Home", c.HomeCity = "Nice", c.HomeStateProvince = "PACA", c.HomePostalCode = "06000";
    c.HomeCountryRegion = "France", c.HomePhone = "+33 4 2", c.PersonalEmail = "p@x.fr", c.Preferred = "Personal";
    c.Birthday = DateToSerial(QDate(1975, 4, 23));
    c.Categories.Add("Friends, close"), c.Categories.Add("VIP");
    c.Notes = {"call: soon, maybe; later", "Second line \\ backslash"};
}

TEST_F(Peers, VObjectReadsOurVersion3CardFieldForField)
{
    REQUIRE_PEER("vobject");
    FillForPeers(*book.ContactDataList().front());
    const QString path = dir.filePath("c3.vcf");
    ASSERT_EQ(book.ExportTovCard3File(path), 1);
    const QString out = RunPython(R"(
import sys, vobject
c = vobject.readOne(open(sys.argv[1], encoding='utf-8').read())
n = c.n.value
print(n.prefix, n.given, n.additional, n.family, n.suffix, c.fn.value, c.nickname.value, sep='|')
print(*c.org.value, c.title.value, c.role.value, sep='|')
for a in sorted(c.adr_list, key=lambda a: a.params['TYPE']):
    print(a.params['TYPE'], a.value.street.replace('\n', '/'), a.value.city, a.value.region, a.value.code, a.value.country, sep='|')
print(*sorted(','.join(t.params['TYPE']) + '=' + t.value for t in c.tel_list), sep='|')
print(*sorted(','.join(e.params['TYPE']) + '=' + e.value for e in c.email_list), sep='|')
print(c.url.value, c.bday.value, '/'.join(c.categories.value), sep='|')
print(c.note.value.replace('\n', '/'))
)", {path});
    EXPECT_EQ(out.split('\n'),
              (QStringList{
                  "Dr.|Zoë|K.|Élan|Jr.|Zoë K. Élan|Zo",
                  "Smith, Jones; Co|R&D|Boss|Lead",
                  "['HOME', 'PREF']|2 Home|Nice|PACA|06000|France",
                  "['WORK']|1 Rue Haute/Bât B|Lyon||69001|France",
                  "CELL=+33 6 1|HOME,VOICE=+33 4 2|WORK,FAX=+33 4 9|WORK,VOICE=+33 4 1",
                  "INTERNET,HOME,PREF=p@x.fr|INTERNET,WORK=z@x.fr",
                  "https://x.fr/a?b=1,2|1975-04-23|Friends, close/VIP",
                  "call: soon, maybe; later/Second line \\ backslash",
              }));
}

TEST_F(Peers, PythonLdapReadsOurLdifFieldForField)
{
    REQUIRE_PEER("ldif");
    FillForPeers(*book.ContactDataList().front());
    const QString path = dir.filePath("all.ldif");
    ASSERT_EQ(book.ExportToLDIFFile(path), 1);
    const QString out = RunPython(R"(
import sys, ldif
p = ldif.LDIFRecordList(open(sys.argv[1], 'rb'))
p.parse()
dn, e = p.all_records[0]
print(dn)
for name in sorted(e, key=str.lower):
    if name != 'objectclass':
        print(name, *(v.decode().replace('\n', '/') for v in e[name]), sep='=')
)", {path});
    EXPECT_EQ(out.split('\n'), (QStringList{
                                   "cn=Zoë Élan,mail=p@x.fr",
                                   "birthday=23",
                                   "birthmonth=04",
                                   "birthyear=1975",
                                   "c=France",
                                   "cn=Zoë K. Élan",
                                   "company=Smith, Jones; Co",
                                   "department=R&D",
                                   "description=call: soon, maybe; later/Second line \\ backslash",
                                   "facsimileTelephoneNumber=+33 4 9",
                                   "givenName=Zoë",
                                   "homePhone=+33 4 2",
                                   "homeStreet=2 Home",
                                   "l=Lyon",
                                   "mail=z@x.fr",
                                   "mobile=+33 6 1",
                                   "mozillaHomeCountryName=France",
                                   "mozillaHomeLocalityName=Nice",
                                   "mozillaHomePostalCode=06000",
                                   "mozillaHomeState=PACA",
                                   "mozillaHomeStreet=2 Home",
                                   "mozillaNickname=Zo",
                                   "mozillaSecondEmail=p@x.fr",
                                   "mozillaWorkStreet2=Bât B",
                                   "mozillaWorkUrl=https://x.fr/a?b=1,2",
                                   "o=Smith, Jones; Co",
                                   "postalCode=69001",
                                   "sn=Élan",
                                   "street=1 Rue Haute",
                                   "telephoneNumber=+33 4 1",
                                   "title=Boss",
                               }));
}

// KDE's KContacts, through the helper that scripts/make-fixtures.sh builds;
// CARDOLIN_KCONTACTS_PEER may name it elsewhere.
QString KContactsPeer()
{
    const QString named = qEnvironmentVariable("CARDOLIN_KCONTACTS_PEER");
    const QString path = named.isEmpty() ? QStringLiteral(CARDOLIN_FIXTURES "/../../build-peers/kcontacts_fixtures")
                                         : named;
    return QFileInfo(path).isExecutable() ? path : QString();
}

TEST_F(Peers, KContactsReadsOurVersion3CardAndLdif)
{
    const QString peer = KContactsPeer();
    if (peer.isEmpty())
        GTEST_SKIP() << "peer missing: KContacts helper (build it with scripts/make-fixtures.sh --kcontacts-only)";
    FillForPeers(*book.ContactDataList().front());
    const QString card = dir.filePath("c.vcf"), ldif = dir.filePath("c.ldif");
    ASSERT_EQ(book.ExportTovCard3File(card), 1);
    ASSERT_EQ(book.ExportToLDIFFile(ldif), 1);
    const auto read = [&](const QString &path) {
        QProcess p;
        p.start(peer, {"read", path});
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed().split('\n');
    };
    const QStringList fromCard = read(card);
    EXPECT_EQ(fromCard, (QStringList{
                            "1",
                            "Élan|Zoë|K.|Dr.|Jr.",
                            "Smith, Jones; Co|R&D|Boss",
                            "Home/Voice=+33 4 2|Mobile=+33 6 1|Work Fax=+33 4 9|Work/Voice=+33 4 1",
                            "p@x.fr|z@x.fr",
                            "Work=1 Rue Haute/Bât B|Lyon||69001|France",
                            "Home=2 Home|Nice|PACA|06000|France",
                            "1975-04-23|Friends, close,VIP|https://x.fr/a?b=1,2",
                            // KContacts keeps the escape that RFC 2426 asks for before a
                            // semicolon in a text value.
                            "call: soon, maybe\\; later/Second line \\ backslash",
                        }));
    const QStringList fromLdif = read(ldif);
    ASSERT_GE(fromLdif.size(), 9);
    EXPECT_EQ(fromLdif[1], "Élan|Zoë|||");
    EXPECT_EQ(fromLdif[2], "Smith, Jones; Co|R&D|Boss");
    EXPECT_EQ(fromLdif[3], "Fax=+33 4 9|Home=+33 4 2|Mobile=+33 6 1|Work=+33 4 1");
    EXPECT_EQ(fromLdif[4], "p@x.fr|z@x.fr");
    EXPECT_EQ(fromLdif.mid(5, 2), (QStringList{"Home=2 Home|Nice|PACA|06000|France",
                                               "Work=1 Rue Haute/Bât B|Lyon||69001|France"}));
    EXPECT_EQ(fromLdif.last(), "call: soon, maybe; later/Second line \\ backslash");
}

TEST_F(Peers, KmlIsWellFormedKml22)
{
    REQUIRE_PEER("xml.etree.ElementTree");
    book.ContactDataList().front()->WorkCoordinates = "4.8,45.7,0";
    const QString path = dir.filePath("m.kml");
    ASSERT_EQ(book.ExportToGoogleEarthKMLFile(path), 1);
    const QString out = RunPython(R"(
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
ns = '{http://www.opengis.net/kml/2.2}'
print(root.tag == ns + 'kml', len(root.findall(f'{ns}Document/{ns}Style')),
      root.find(f'{ns}Document/{ns}Placemark/{ns}Point/{ns}coordinates').text)
)", {path});
    EXPECT_EQ(out, "True 3 4.8,45.7,0");
}

} // namespace
