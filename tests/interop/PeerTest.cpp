#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QFile>
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
