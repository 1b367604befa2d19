// One table of sync cases run through the real client and engine against
// Radicale and xandikos: what each side holds after a sync, and that a second
// sync then finds nothing to do. The other client is a bare CardDAV client
// that writes cards as a phone would.

#include "fakes/CliProcess.h"
#include "fakes/CoreApplication.h"
#include "fakes/DavServers.h"
#include "formats/VCardServerCard.h"
#include "online/carddav/CardDavClient.h"
#include "online/carddav/CardDavSync.h"
#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>
#include <map>
#include <memory>

namespace cardolin::carddav {
namespace {

using testing::RunningDavServer;
using Kind = RunningDavServer::Kind;

// Bob as another client wrote him: a photo, a property of its own, a labelled
// group and a parameter Cardolin has no field for.
const QByteArray kBob = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bob-from-phone\r\nFN:Bob Builder\r\n"
                        "N:Builder;Bob;;;\r\nEMAIL;TYPE=INTERNET,HOME:bob@example.org\r\n"
                        "TEL;TYPE=CELL:+44 20 7946 0001\r\n"
                        "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsN\r\n"
                        " DhIQDQ4RDgsLEBYQERMUFRUVDA8XGBYUGBIUFRT/2Q==\r\n"
                        "X-PHONE-APP-COLOUR:teal\r\nitem1.X-ABLabel:Workshop\r\nitem1.ADR:;;1 Yard Lane;Leeds;;LS1;UK\r\n"
                        "END:VCARD\r\n";

// Carol from a client that writes vCard 4.0.
const QByteArray kCarol = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\n"
                          "FN:Carol Cárdenas\r\nN:Cárdenas;Carol;;;\r\nEMAIL;TYPE=work:carol@example.net\r\n"
                          "TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+1-555-555-0199\r\nKIND:individual\r\n"
                          "END:VCARD\r\n";

// Every text field of the contact, for finding a value wherever it was mapped.
QStringList TextValues(const TContactData &contact)
{
    QStringList values;
    for (const ContactField &field : ContactFields())
        if (const auto *member = std::get_if<QString TContactData::*>(&field.member); member && !(contact.**member).isEmpty())
            values.append(contact.**member);
    return values;
}

bool Holds(const TContactData &contact, const QString &value)
{
    for (const QString &text : TextValues(contact))
        if (text.contains(value))
            return true;
    return false;
}

// The field of the contact that holds value (to change it where the sync put it).
QString *FieldHolding(TContactData &contact, const QString &value)
{
    for (const ContactField &field : ContactFields())
        if (const auto *member = std::get_if<QString TContactData::*>(&field.member); member && contact.**member == value)
            return &(contact.**member);
    return nullptr;
}

bool Counts(const TSyncCounts &c, std::array<int, 6> expected)
{
    return std::array<int, 6>{c.localCreated, c.localUpdated, c.localDeleted, c.serverCreated, c.serverUpdated,
                              c.serverDeleted}
           == expected;
}

std::string CountText(const TSyncCounts &c)
{
    return QStringLiteral("local %1/%2/%3 server %4/%5/%6")
        .arg(c.localCreated).arg(c.localUpdated).arg(c.localDeleted)
        .arg(c.serverCreated).arg(c.serverUpdated).arg(c.serverDeleted)
        .toStdString();
}

// One server of each kind for the whole run; every test gets an address book of its own.
RunningDavServer &Server(Kind kind)
{
    static std::map<Kind, std::unique_ptr<RunningDavServer>> servers;
    auto &server = servers[kind];
    if (!server)
        server = std::make_unique<RunningDavServer>(kind);
    return *server;
}

class ServerContract
{
public:
    explicit ServerContract(RunningDavServer &server, const QString &bookUrl)
        : m_server(server), m_bookUrl(bookUrl)
    {
    }

    TQorContacts book;

    TCardDavSyncReport Sync()
    {
        TCardDavClient client(m_network, QUrl(m_bookUrl), {m_server.User(), m_server.Password()});
        TCardDavSyncOptions options;
        options.stateFolder = m_state.filePath("state");
        options.saveBook = [](QString &) { return true; };
        return SyncAddressBook(book, client, options);
    }

    TContactData &AddLocal(const QString &first, const QString &last, const QString &email)
    {
        TContactData *contact = book.CreateContactData();
        contact->FirstName = first;
        contact->LastName = last;
        contact->PersonalEmail = email;
        if (contact->Uid.isEmpty())
            contact->Uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        return *contact;
    }

    TContactData *Local(const QString &name)
    {
        for (const auto &contact : book.ContactDataList())
            if (contact->FirstName == name)
                return contact.get();
        return nullptr;
    }

    // The cards on the server by UID, as the other client sees them.
    std::map<QString, TFetchedCard> ServerCards()
    {
        TCardDavClient client(m_network, QUrl(m_bookUrl), {m_server.User(), m_server.Password()});
        const TListing listing = client.ListAll();
        EXPECT_TRUE(listing.outcome.Ok()) << listing.outcome.error.toStdString();
        QStringList hrefs;
        for (const TCardVersion &card : listing.present)
            hrefs.append(card.href);
        std::map<QString, TFetchedCard> cards;
        for (qsizetype at = 0; at < hrefs.size(); at += 100)
            for (const TFetchedCard &card : client.Multiget(hrefs.mid(at, 100)).cards)
                cards[vcard::CardUid(card.text)] = card;
        return cards;
    }

    // The other client: creates, replaces or deletes a card by UID.
    void PutNew(const QString &fileName, const QByteArray &text)
    {
        TCardDavClient client(m_network, QUrl(m_bookUrl), {m_server.User(), m_server.Password()});
        const TWriteOutcome put = client.Put(fileName, text, QString());
        EXPECT_TRUE(put.outcome.Ok()) << put.outcome.error.toStdString();
    }
    void Replace(const QString &uid, const std::function<QByteArray(QByteArray)> &change)
    {
        const auto cards = ServerCards();
        ASSERT_TRUE(cards.count(uid)) << uid.toStdString();
        const TFetchedCard &card = cards.at(uid);
        TCardDavClient client(m_network, QUrl(m_bookUrl), {m_server.User(), m_server.Password()});
        const TWriteOutcome put = client.Put(card.href, change(card.text), card.etag);
        EXPECT_TRUE(put.outcome.Ok()) << put.outcome.error.toStdString();
    }
    void Delete(const QString &uid)
    {
        const auto cards = ServerCards();
        ASSERT_TRUE(cards.count(uid)) << uid.toStdString();
        TCardDavClient client(m_network, QUrl(m_bookUrl), {m_server.User(), m_server.Password()});
        EXPECT_TRUE(client.Delete(cards.at(uid).href, cards.at(uid).etag).outcome.Ok());
    }

private:
    RunningDavServer &m_server;
    QString m_bookUrl;
    QNetworkAccessManager m_network;
    QTemporaryDir m_state;
};

QByteArray Replaced(QByteArray text, const QByteArray &from, const QByteArray &to)
{
    return text.replace(from, to);
}

// A case starts from the same first sync: Ann made here, Bob on the server.
struct Case
{
    const char *name;
    std::function<void(ServerContract &)> change; // on either side, after the first sync
    std::array<int, 6> counts;                      // of the second sync
    std::function<void(ServerContract &, const TCardDavSyncReport &)> check;
};

const Case kCases[] = {
    {"FirstSyncBothWays", [](ServerContract &) {}, {0, 0, 0, 0, 0, 0},
     [](ServerContract &s, const TCardDavSyncReport &) {
         ASSERT_NE(s.Local("Bob"), nullptr);
         EXPECT_TRUE(Holds(*s.Local("Bob"), "bob@example.org"));
         EXPECT_TRUE(Holds(*s.Local("Bob"), "7946 0001"));
         const auto cards = s.ServerCards();
         ASSERT_TRUE(cards.count(s.Local("Ann")->Uid));
         EXPECT_TRUE(cards.at(s.Local("Ann")->Uid).text.contains("ann@example.com"));
         EXPECT_EQ(s.book.ContactDataList().size(), 2u);
         EXPECT_EQ(cards.size(), 2u);
     }},
    {"ChangeOnEachSide",
     [](ServerContract &s) {
         *FieldHolding(*s.Local("Ann"), "ann@example.com") = "ann@new.example";
         s.Replace("bob-from-phone", [](QByteArray t) { return Replaced(t, "+44 20 7946 0001", "+44 20 7946 0999"); });
     },
     {0, 1, 0, 0, 1, 0},
     [](ServerContract &s, const TCardDavSyncReport &report) {
         EXPECT_TRUE(report.conflicts.isEmpty());
         EXPECT_TRUE(Holds(*s.Local("Bob"), "7946 0999"));
         EXPECT_TRUE(s.ServerCards().at(s.Local("Ann")->Uid).text.contains("ann@new.example"));
     }},
    {"BothSidesChangeDifferentFields",
     [](ServerContract &s) {
         *FieldHolding(*s.Local("Bob"), "bob@example.org") = "bob@home.example";
         s.Replace("bob-from-phone", [](QByteArray t) { return Replaced(t, "+44 20 7946 0001", "+44 20 7946 0777"); });
     },
     {0, 1, 0, 0, 1, 0},
     [](ServerContract &s, const TCardDavSyncReport &report) {
         EXPECT_TRUE(report.conflicts.isEmpty());
         EXPECT_TRUE(Holds(*s.Local("Bob"), "7946 0777"));
         EXPECT_TRUE(Holds(*s.Local("Bob"), "bob@home.example"));
         const QByteArray card = s.ServerCards().at("bob-from-phone").text;
         EXPECT_TRUE(card.contains("bob@home.example")) << card.constData();
         EXPECT_TRUE(card.contains("7946 0777")) << card.constData();
     }},
    {"ConflictKeepsTheServersValue",
     [](ServerContract &s) {
         *FieldHolding(*s.Local("Bob"), "bob@example.org") = "bob@here.example";
         s.Replace("bob-from-phone", [](QByteArray t) { return Replaced(t, "bob@example.org", "bob@there.example"); });
     },
     {0, 1, 0, 0, 0, 0},
     [](ServerContract &s, const TCardDavSyncReport &report) {
         ASSERT_EQ(report.conflicts.size(), 1);
         const QString line = report.conflicts[0].Line();
         EXPECT_TRUE(line.startsWith("conflict: Bob")) << line.toStdString();
         EXPECT_TRUE(line.contains("kept \"bob@there.example\", local was \"bob@here.example\"")) << line.toStdString();
         EXPECT_TRUE(Holds(*s.Local("Bob"), "bob@there.example"));
         EXPECT_TRUE(s.ServerCards().at("bob-from-phone").text.contains("bob@there.example"));
     }},
    {"DeletionsBothWays",
     [](ServerContract &s) {
         s.book.DeleteContactData(s.Local("Ann"));
         s.Delete("bob-from-phone");
     },
     {0, 0, 1, 0, 0, 1},
     [](ServerContract &s, const TCardDavSyncReport &) {
         EXPECT_TRUE(s.book.ContactDataList().empty());
         EXPECT_TRUE(s.ServerCards().empty());
     }},
    {"UnknownPropertiesAndPhotoKept",
     [](ServerContract &s) { *FieldHolding(*s.Local("Bob"), "bob@example.org") = "bob@kept.example"; },
     {0, 0, 0, 0, 1, 0},
     [](ServerContract &s, const TCardDavSyncReport &) {
         const QByteArray card = s.ServerCards().at("bob-from-phone").text;
         EXPECT_TRUE(card.contains("bob@kept.example")) << card.constData();
         // Radicale unfolds lines and writes property names in capitals, as vCard allows.
         for (const char *kept : {"PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ", "DhIQDQ4RDgsLEBYQERMUFRUVDA8XGBYUGBIUFRT/2Q==",
                                  "X-PHONE-APP-COLOUR:teal", "item1.X-ABLabel:Workshop", "item1.ADR:;;1 Yard Lane"})
             EXPECT_TRUE(QString::fromUtf8(card).contains(QString::fromUtf8(kept), Qt::CaseInsensitive))
                 << kept << "\n" << card.constData();
     }},
    {"VCard4FromAnotherClient", [](ServerContract &s) { s.PutNew("carol.vcf", kCarol); }, {1, 0, 0, 0, 0, 0},
     [](ServerContract &s, const TCardDavSyncReport &) {
         TContactData *carol = s.Local("Carol");
         ASSERT_NE(carol, nullptr);
         EXPECT_EQ(carol->LastName, "Cárdenas");
         EXPECT_TRUE(Holds(*carol, "carol@example.net"));
         EXPECT_TRUE(Holds(*carol, "555-0199") || Holds(*carol, "5555550199"));
         // Read, not rewritten: the other client's text stays as it wrote it.
         EXPECT_EQ(s.ServerCards().at("urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1").text.contains("VERSION:4.0"), true);
     }},
};

struct Param
{
    Kind kind;
    const Case *test;
};

class ServerContractTest : public ::testing::TestWithParam<Param>
{
};

TEST_P(ServerContractTest, SyncsBothWaysAndThenRestsAsTheCaseSays)
{
    testing::EnsureCoreApplication();
    RunningDavServer &server = Server(GetParam().kind);
    CARDOLIN_START_DAV_SERVER(server);
    const Case &test = *GetParam().test;
    const QString bookUrl = server.CreateBook(QString::fromLatin1(test.name).toLower(), QString::fromLatin1(test.name));
    ASSERT_FALSE(bookUrl.isEmpty());
    ServerContract s(server, bookUrl);
    s.AddLocal("Ann", "Example", "ann@example.com");
    s.PutNew("bob.vcf", kBob);

    const TCardDavSyncReport first = s.Sync();
    ASSERT_FALSE(first.failed) << first.error.toStdString();
    EXPECT_TRUE(Counts(first.counts, {1, 0, 0, 1, 0, 0})) << CountText(first.counts);
    ASSERT_NE(s.Local("Bob"), nullptr);

    test.change(s);
    const TCardDavSyncReport second = s.Sync();
    ASSERT_FALSE(second.failed) << second.error.toStdString();
    EXPECT_TRUE(second.refused.isEmpty()) << second.refused.join('\n').toStdString();
    EXPECT_TRUE(Counts(second.counts, test.counts)) << CountText(second.counts);
    test.check(s, second);

    // Whatever happened, the next sync has nothing left to do and duplicates nothing.
    const TCardDavSyncReport rest = s.Sync();
    ASSERT_FALSE(rest.failed) << rest.error.toStdString();
    EXPECT_TRUE(Counts(rest.counts, {0, 0, 0, 0, 0, 0})) << CountText(rest.counts);
    EXPECT_EQ(s.ServerCards().size(), s.book.ContactDataList().size());
}

std::vector<Param> AllParams()
{
    std::vector<Param> params;
    for (const Kind kind : {Kind::Radicale, Kind::Xandikos})
        for (const Case &test : kCases)
            params.push_back({kind, &test});
    return params;
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerContractTest, ::testing::ValuesIn(AllParams()),
                         [](const ::testing::TestParamInfo<Param> &info) {
                             return std::string(info.param.kind == Kind::Radicale ? "Radicale_" : "Xandikos_")
                                    + info.param.test->name;
                         });

// What a program the user already has makes of the cards: vdirsyncer copies the
// address book into a folder, khard reads names, e-mails and phones from it.
class OtherClientsTest : public ::testing::TestWithParam<Kind>
{
protected:
    QTemporaryDir dir;

    // stdout of the program, run in a home of its own; fails the test when it fails.
    QString Run(const QString &program, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("home/config"));
        environment.insert("XDG_DATA_HOME", dir.filePath("home/data"));
        // Python stops at a locale the machine does not have.
        environment.insert("LANG", "C.UTF-8");
        environment.insert("LC_ALL", "C.UTF-8");
        const testing::CliResult result = testing::RunProcess(program, arguments, environment);
        EXPECT_EQ(result.exitCode, 0) << program.toStdString() << ": " << result.err.toStdString()
                                      << result.out.toStdString();
        return result.out;
    }

    bool Write(const QString &name, const QString &text)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
    }
};

TEST_P(OtherClientsTest, VdirsyncerAndKhardReadWhatWasWritten)
{
    testing::EnsureCoreApplication();
    RunningDavServer &server = Server(GetParam());
    CARDOLIN_START_DAV_SERVER(server);
    for (const char *program : {"vdirsyncer", "khard"})
        if (QStandardPaths::findExecutable(program).isEmpty())
            GTEST_SKIP() << program << " is not installed (scripts/install-deps.sh installs it)";
    const QString bookUrl = server.CreateBook("shared", "Shared");
    ASSERT_FALSE(bookUrl.isEmpty());
    ServerContract s(server, bookUrl);
    TContactData &ann = s.AddLocal("Ann", "Example", "ann@example.com");
    ann.PersonalMobilePhone = "+1 555 0100";
    TContactData &zoe = s.AddLocal("Zoë", "Ångström", "zoe@example.se");
    zoe.WorkPhone = "+46 8 123 456";
    const TCardDavSyncReport report = s.Sync();
    ASSERT_FALSE(report.failed) << report.error.toStdString();
    ASSERT_EQ(report.counts.serverCreated, 2);

    QDir().mkpath(dir.filePath("home"));
    QDir().mkpath(dir.filePath("cards"));
    ASSERT_TRUE(Write("vdirsyncer.conf",
                      QStringLiteral("[general]\nstatus_path = \"%1\"\n\n[pair book]\na = \"folder\"\nb = \"server\"\n"
                                     "collections = null\n\n[storage folder]\ntype = \"filesystem\"\npath = \"%2\"\n"
                                     "fileext = \".vcf\"\n\n[storage server]\ntype = \"carddav\"\nurl = \"%3\"\n"
                                     "username = \"%4\"\npassword = \"%5\"\n")
                          .arg(dir.filePath("status"), dir.filePath("cards"), bookUrl, server.User(), server.Password())));
    ASSERT_TRUE(Write("khard.conf", QStringLiteral("[addressbooks]\n[[cards]]\npath = %1\n\n[general]\n"
                                                   "editor = /bin/true\nmerge_editor = /bin/true\n")
                                        .arg(dir.filePath("cards"))));
    Run("vdirsyncer", {"-c", dir.filePath("vdirsyncer.conf"), "discover"});
    Run("vdirsyncer", {"-c", dir.filePath("vdirsyncer.conf"), "sync"});

    const QString khard = dir.filePath("khard.conf");
    const QString names = Run("khard", {"-c", khard, "list", "--parsable"});
    const QString emails = Run("khard", {"-c", khard, "email", "--parsable"});
    const QString phones = Run("khard", {"-c", khard, "phone", "--parsable"});
    EXPECT_TRUE(names.contains("Ann Example")) << names.toStdString();
    EXPECT_TRUE(names.contains("Zoë Ångström")) << names.toStdString();
    EXPECT_TRUE(emails.contains("ann@example.com\tAnn Example")) << emails.toStdString();
    EXPECT_TRUE(emails.contains("zoe@example.se\tZoë Ångström")) << emails.toStdString();
    EXPECT_TRUE(phones.contains("+1 555 0100\tAnn Example")) << phones.toStdString();
    EXPECT_TRUE(phones.contains("+46 8 123 456\tZoë Ångström")) << phones.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, OtherClientsTest, ::testing::Values(Kind::Radicale, Kind::Xandikos),
                         [](const ::testing::TestParamInfo<Kind> &info) {
                             return std::string(info.param == Kind::Radicale ? "Radicale" : "Xandikos");
                         });

} // namespace
} // namespace cardolin::carddav
