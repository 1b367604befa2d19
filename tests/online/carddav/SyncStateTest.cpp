#include "online/carddav/EngineFixture.h"
#include "online/carddav/SyncState.h"

#include "fakes/Files.h"

namespace cardolin::testing {
namespace {

TEST(SyncStateTest, RoundTripsPrivatelyAndTellsApartEachBookAccountAndAddressBook)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/a/state";
    TSyncState state;
    state.syncToken = "http://example.com/sync/42";
    state.ctag = "c1";
    state.cards.insert("/b/x.vcf", {"/b/x.vcf", "\"e1\"", "x", QByteArray("BEGIN:VCARD\r\n\xff\0", 15), "hash", false});
    state.cards.insert("/b/g.vcf", {"/b/g.vcf", "W/\"e2\"", "", "group", "", true});
    QString error;

    ASSERT_TRUE(SaveSyncState(folder, state, error)) << error.toStdString();
    TSyncState read;
    ASSERT_TRUE(LoadSyncState(folder, read, error)) << error.toStdString();

    EXPECT_EQ(read, state);
    EXPECT_EQ(ModeOf(folder), 0700);
    EXPECT_EQ(ModeOf(folder + "/state.json"), 0600);
    // A first sync has no state yet.
    ASSERT_TRUE(LoadSyncState(dir.path() + "/none", read, error));
    EXPECT_TRUE(read.cards.isEmpty());

    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    const QString one = SyncStateFolder("/home/a/book.xml", "work", "/dav/book/");
    EXPECT_TRUE(one.startsWith(dir.path() + "/Cardolin/carddav/"));
    for (const QString &other : {SyncStateFolder("/home/a/other.xml", "work", "/dav/book/"),
                                 SyncStateFolder("/home/a/book.xml", "home", "/dav/book/"),
                                 SyncStateFolder("/home/a/book.xml", "work", "/dav/book2/")})
        EXPECT_NE(one, other);
    qunsetenv("XDG_DATA_HOME");
}

TEST(SyncStateTest, JournalOfTheSameGenerationIsReplayedUpToALineCutShort)
{
    QTemporaryDir dir;
    TSyncState state;
    state.generation = 7;
    state.cards.insert("/a", {"/a", "\"1\"", "a", "A", "h", false});
    QString error;
    ASSERT_TRUE(SaveSyncState(dir.path(), state, error));
    TSyncState later = state;
    later.cards.remove("/a");
    later.cards.insert("/b", {"/b", "\"2\"", "b", "B", "h", false});
    ASSERT_TRUE(AppendSyncJournal(dir.path(), later, {"/a", "/b"}, error));
    TSyncState stale;
    stale.generation = 6;
    stale.cards.insert("/c", {"/c", "\"3\"", "c", "C", "h", false});
    ASSERT_TRUE(AppendSyncJournal(dir.path(), stale, {"/c"}, error));
    TSyncState cut = later;
    cut.cards.insert("/d", {"/d", "\"4\"", "d", "D", "h", false});
    ASSERT_TRUE(AppendSyncJournal(dir.path(), cut, {"/d"}, error));
    QFile journal(dir.path() + "/journal.jsonl");
    ASSERT_TRUE(journal.resize(journal.size() - 20));

    TSyncState read;
    ASSERT_TRUE(LoadSyncState(dir.path(), read, error)) << error.toStdString();

    EXPECT_EQ(read, later);
    // A full save makes the journal obsolete.
    ASSERT_TRUE(SaveSyncState(dir.path(), read, error));
    EXPECT_FALSE(journal.exists());
}

struct DamagedCase
{
    const char *name;
    QByteArray bytes;
};

const DamagedCase kDamaged[] = {
    {"Truncated", R"({"format":"cardolin-carddav-state","version":1,"cards":[{"href":"/a)"},
    {"Foreign", R"({"format":"something else","version":1,"cards":[]})"},
    {"NewerVersion", R"({"format":"cardolin-carddav-state","version":9,"cards":[]})"},
    {"BadBase", R"({"format":"cardolin-carddav-state","version":1,"cards":[{"href":"/a","etag":"","uid":"u","base":"!!","hash":""}]})"},
    {"CardWithoutHref", R"({"format":"cardolin-carddav-state","version":1,"cards":[{"etag":"","uid":"u","base":"","hash":""}]})"},
    {"Binary", QByteArray(4096, '\0')},
};

class DamagedStateTest : public EngineFixture, public ::testing::WithParamInterface<DamagedCase>
{
};

TEST_P(DamagedStateTest, StopsTheRunWithAClearErrorAndChangesNothing)
{
    Add("ann", "Ann");
    server.Store("bob.vcf", Card("bob", "Bob"));
    ASSERT_TRUE(WriteAll(options.stateFolder + "/state.json", GetParam().bytes));

    const TCardDavSyncReport report = Sync();

    EXPECT_TRUE(report.failed);
    EXPECT_TRUE(report.error.contains(options.stateFolder)) << report.error.toStdString();
    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(server.Cards().size(), 1);
    EXPECT_EQ(ReadAll(options.stateFolder + "/state.json"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedStateTest, ::testing::ValuesIn(kDamaged),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace cardolin::testing
