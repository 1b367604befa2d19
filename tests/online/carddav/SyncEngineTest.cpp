#include "online/carddav/EngineFixture.h"

#include <functional>

namespace cardolin::testing {
namespace {

using EngineTest = EngineFixture;

TEST_F(EngineTest, FirstSyncBringsEachSideTheOthersContactsAndLeavesGroupsAlone)
{
    Add("ann", "Ann");
    Add("odd uid/1", "Bob");
    server.Store("carl.vcf", Card("carl", "Carl"));
    const QByteArray group = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:g1\r\nFN:Friends\r\nX-ADDRESSBOOKSERVER-KIND:group\r\n"
                             "X-ADDRESSBOOKSERVER-MEMBER:urn:uuid:carl\r\nEND:VCARD\r\n";
    server.Store("g1.vcf", group);

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(CountsText(report.counts), "local 1/0/0 server 2/0/0");
    EXPECT_TRUE(server.Cards().contains(server.Absolute("ann.vcf")));
    EXPECT_EQ(vcard::CardUid(ServerText("ann.vcf")), "ann");
    ASSERT_NE(Find("carl"), nullptr);
    EXPECT_EQ(ServerText("g1.vcf"), group);
    EXPECT_EQ(book.ContactDataList().size(), 3u);
    EXPECT_EQ(saves, 1);
    ExpectBothSidesEqual();
    // A Uid that cannot be a file name as it is gets a fresh one; the card keeps the Uid.
    for (const auto &[href, card] : server.Cards().asKeyValueRange()) {
        if (vcard::CardUid(card.text) == "odd uid/1") {
            EXPECT_TRUE(QRegularExpression("^/dav/alice/book/[0-9a-f-]{36}\\.vcf$").match(href).hasMatch())
                << href.toStdString();
        }
    }
}

TEST_F(EngineTest, SyncWithNothingChangedSendsAtMostThreeRequestsAndWritesNothing)
{
    for (bool syncCollection : {true, false}) {
        SCOPED_TRACE(syncCollection ? "sync-collection" : "ctag");
        StartOver();
        server.syncCollection = syncCollection;
        for (int i = 0; i < 300; ++i)
            Add(QString("l%1").arg(i), QString("Local%1").arg(i));
        for (int i = 0; i < 300; ++i)
            server.Store(QString("s%1.vcf").arg(i), Card(QString("s%1").arg(i), QString("Server%1").arg(i)));
        ASSERT_FALSE(Sync().failed);
        saves = 0;
        server.requests = 0;

        const TCardDavSyncReport report = Sync();

        EXPECT_FALSE(report.failed) << report.error.toStdString();
        EXPECT_LE(server.requests, 3);
        EXPECT_EQ(CountsText(report.counts), "local 0/0/0 server 0/0/0");
        EXPECT_EQ(saves, 0);
        // Cards were fetched in batches the server accepts.
        for (qsizetype size : server.multigetSizes)
            EXPECT_LE(size, 100);

        // Once the stored token is the server's own, asking for it is enough.
        server.requests = 0;
        ASSERT_FALSE(Sync().failed);
        EXPECT_EQ(server.requests, 1);
    }
}

// One change, made before the second sync, and what both sides hold after it.
struct ChangeCase
{
    const char *name;
    std::function<void(EngineFixture &)> change;
    const char *counts;
    std::function<void(EngineFixture &)> check;
};

void ServerEdit(EngineFixture &t, const QString &extra)
{
    t.server.Store("ann.vcf", EngineFixture::Card("ann", "Ann", extra));
}

const ChangeCase kChanges[] = {
    {"EditedHere", [](EngineFixture &t) { t.Find("ann")->HomePhone = "111"; }, "local 0/0/0 server 0/1/0",
     [](EngineFixture &t) { EXPECT_EQ(t.ServerContact("ann.vcf").HomePhone, "111"); }},
    {"EditedThere", [](EngineFixture &t) { ServerEdit(t, "TEL;TYPE=HOME:222\r\n"); }, "local 0/1/0 server 0/0/0",
     [](EngineFixture &t) { EXPECT_EQ(t.Find("ann")->HomePhone, "222"); }},
    {"DeletedHere", [](EngineFixture &t) { t.book.DeleteContactData(t.Find("ann")); }, "local 0/0/0 server 0/0/1",
     [](EngineFixture &t) { EXPECT_FALSE(t.server.Cards().contains(t.server.Absolute("ann.vcf"))); }},
    {"DeletedThere", [](EngineFixture &t) { t.server.Remove("ann.vcf"); }, "local 0/0/1 server 0/0/0",
     [](EngineFixture &t) { EXPECT_EQ(t.Find("ann"), nullptr); }},
    {"DifferentFieldsOnBothSides",
     [](EngineFixture &t) {
         t.Find("ann")->WorkPhone = "333";
         ServerEdit(t, "TEL;TYPE=HOME:444\r\n");
     },
     "local 0/1/0 server 0/1/0",
     [](EngineFixture &t) {
         EXPECT_EQ(t.Find("ann")->HomePhone, "444");
         EXPECT_EQ(t.ServerContact("ann.vcf").WorkPhone, "333");
     }},
    {"DeletedHereChangedThere",
     [](EngineFixture &t) {
         t.book.DeleteContactData(t.Find("ann"));
         ServerEdit(t, "TEL;TYPE=HOME:555\r\n");
     },
     "local 1/0/0 server 0/0/0", [](EngineFixture &t) { EXPECT_EQ(t.Find("ann")->HomePhone, "555"); }},
    {"ChangedHereDeletedThere",
     [](EngineFixture &t) {
         t.Find("ann")->HomePhone = "666";
         t.server.Remove("ann.vcf");
     },
     "local 0/0/0 server 1/0/0", [](EngineFixture &t) { EXPECT_EQ(t.ServerContact("ann.vcf").HomePhone, "666"); }},
    {"SameValueOnBothSides",
     [](EngineFixture &t) {
         t.Find("ann")->HomePhone = "777";
         ServerEdit(t, "TEL;TYPE=HOME:777\r\n");
     },
     "local 0/0/0 server 0/0/0", [](EngineFixture &t) { EXPECT_EQ(t.server.puts, 0); }},
};

class ChangeTest : public EngineFixture, public ::testing::WithParamInterface<ChangeCase>
{
};

TEST_P(ChangeTest, GoesToTheOtherSide)
{
    for (bool syncCollection : {true, false}) {
        SCOPED_TRACE(syncCollection ? "sync-collection" : "etag comparison");
        StartOver();
        server.syncCollection = syncCollection;
        Add("ann", "Ann");
        Add("zoe", "Zoe");
        ASSERT_FALSE(Sync().failed);
        server.puts = 0;
        GetParam().change(*this);

        const TCardDavSyncReport report = Sync();

        ASSERT_FALSE(report.failed) << report.error.toStdString();
        EXPECT_EQ(CountsText(report.counts), GetParam().counts);
        EXPECT_TRUE(report.conflicts.isEmpty());
        GetParam().check(*this);
        ExpectBothSidesEqual();
        EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, ChangeTest, ::testing::ValuesIn(kChanges),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EngineTest, SameFieldChangedOnBothSidesKeepsTheServersValueAndSaysSo)
{
    Add("ann", "Ann")->HomePhone = "100";
    ASSERT_FALSE(Sync().failed);
    Find("ann")->HomePhone = "101";
    Find("ann")->Company = "Acme";
    server.Store("ann.vcf", Card("ann", "Ann", "TEL;TYPE=HOME:202\r\n"));

    const TCardDavSyncReport report = Sync();

    ASSERT_EQ(report.conflicts.size(), 1);
    EXPECT_EQ(report.conflicts[0].Line(), "conflict: Ann Doe: HomePhone: kept \"202\", local was \"101\"");
    EXPECT_EQ(Find("ann")->HomePhone, "202");
    EXPECT_EQ(ServerContact("ann.vcf").Company, "Acme");
    ExpectBothSidesEqual();
}

TEST_F(EngineTest, NewOnBothSidesWithTheSameUidBecomesOneContact)
{
    Add("ann", "Ann")->WorkPhone = "1";
    server.Store("elsewhere.vcf", Card("ann", "Ann", "TEL;TYPE=HOME:2\r\n"));

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(server.Cards().size(), 1);
    EXPECT_EQ(ServerContact("elsewhere.vcf").WorkPhone, "1");
    EXPECT_EQ(Find("ann")->HomePhone, "2");
}

TEST_F(EngineTest, NewCardNeverTakesTheNameOfAnotherCard)
{
    // Another client named its card after something else than its UID.
    server.Store("ann.vcf", Card("zed", "Zed"));
    Add("ann", "Ann");

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(CountsText(report.counts), "local 1/0/0 server 1/0/0");
    EXPECT_EQ(ServerContact("ann.vcf").FirstName, "Zed");
    ExpectBothSidesEqual();
}

TEST_F(EngineTest, UploadKeepsWhatTheProgramDoesNotUnderstand)
{
    if (!PatcherKeepsUnknownLines(book))
        GTEST_SKIP() << "the card patcher does not write over the server's text yet";
    const QString unknown = "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\r\nX-MANAGER:Eve\r\nitem1.X-ABLabel:Gym\r\n";
    server.Store("ann.vcf", Card("ann", "Ann", unknown));
    ASSERT_FALSE(Sync().failed);
    Find("ann")->HomePhone = "123";

    ASSERT_FALSE(Sync().failed);

    const QByteArray text = ServerText("ann.vcf");
    for (const QString &line : unknown.split("\r\n", Qt::SkipEmptyParts))
        EXPECT_TRUE(text.contains(line.toUtf8())) << line.toStdString();
    EXPECT_EQ(ServerContact("ann.vcf").HomePhone, "123");
}

TEST_F(EngineTest, ContactTouchedWithoutChangingItsCardIsNotUploaded)
{
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    server.puts = 0;
    Find("ann")->LastVisit = 46000; // not on the card
    Find("ann")->Notes = QStringList{QString()}; // as a book read back holds "no notes"

    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
    EXPECT_EQ(server.puts, 0);
}

TEST_F(EngineTest, BookSavedAndReadBackIsNotTakenForChanged)
{
    TContactData *c = Add("ann", "Ann");
    c->Notes = QStringList{"first line", "second line"};
    c->Birthday = DateToSerial(QDate(1980, 2, 29));
    c->Categories.Add("Family");
    c->HomeStreet = "1 High Street";
    Add("bob", "Bob");
    server.Store("carl.vcf", Card("carl", "Carl", "NOTE:one\\ntwo\r\nBDAY:1975-06-01\r\nCATEGORIES:Work\r\n"));
    ASSERT_FALSE(Sync().failed);
    const QString file = dir.path() + "/book.xml";
    ASSERT_GT(book.SaveToXMLFile(file), 0) << book.LastError().toStdString();
    ASSERT_EQ(book.LoadFromXMLFile(file), 3) << book.LastError().toStdString();
    server.puts = 0;

    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
    EXPECT_EQ(server.puts, 0);
}

TEST_F(EngineTest, NewCardsAreVersion4OnlyWhenTheBookSaysSo)
{
    if (!PatcherWritesVersion4(book))
        GTEST_SKIP() << "the card patcher does not write version 4.0 yet";
    for (bool vcard4 : {false, true}) {
        server.vcard4 = vcard4;
        const QString uid = vcard4 ? "four" : "three";
        Add(uid, uid);
        ASSERT_FALSE(Sync().failed);
        EXPECT_TRUE(ServerText(uid + ".vcf").contains(vcard4 ? "VERSION:4.0" : "VERSION:3.0"));
    }
}

} // namespace
} // namespace cardolin::testing
