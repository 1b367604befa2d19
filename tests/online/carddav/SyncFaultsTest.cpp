#include "online/carddav/EngineFixture.h"

#include "fakes/Files.h"

namespace cardolin::testing {
namespace {

using FaultTest = EngineFixture;

TEST_F(FaultTest, UpdateRefusedWithPreconditionFailedIsMergedWithTheNewCardAndSentAgain)
{
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    server.puts = 0;
    Find("ann")->HomePhone = "1";
    server.beforeNextPut = [this] { server.Store("ann.vcf", Card("ann", "Ann", "TEL;TYPE=WORK:2\r\n")); };

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(server.puts, 1); // the first one was refused
    EXPECT_EQ(ServerContact("ann.vcf").HomePhone, "1");
    EXPECT_EQ(ServerContact("ann.vcf").WorkPhone, "2");
    EXPECT_EQ(Find("ann")->WorkPhone, "2");
    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
}

TEST_F(FaultTest, UpdateThatKeepsMeetingNewEditsGivesUpAfterTwoRetries)
{
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    Find("ann")->HomePhone = "1";
    int edits = 0;
    std::function<void()> edit = [&] {
        server.Store("ann.vcf", Card("ann", "Ann", QString("TEL;TYPE=WORK:%1\r\n").arg(++edits)));
        server.beforeNextPut = edit;
    };
    server.beforeNextPut = edit;

    const TCardDavSyncReport report = Sync();

    EXPECT_FALSE(report.failed);
    EXPECT_EQ(edits, 3);
    ASSERT_EQ(report.refused.size(), 1);
    EXPECT_TRUE(report.refused[0].contains("ann.vcf")) << report.refused[0].toStdString();
    // The local change is not lost: the next run still has it to send.
    server.beforeNextPut = nullptr;
    ASSERT_FALSE(Sync().failed);
    EXPECT_EQ(ServerContact("ann.vcf").HomePhone, "1");
    EXPECT_EQ(ServerContact("ann.vcf").WorkPhone, "3");
}

TEST_F(FaultTest, CreateFindingTheCardThereAlreadyMergesInsteadOfMakingASecond)
{
    Add("ann", "Ann")->HomePhone = "1";
    // A retried upload: the card arrived although the answer did not.
    server.beforeNextPut = [this] { server.Store("ann.vcf", Card("ann", "Ann", "TEL;TYPE=WORK:2\r\n")); };

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(server.Cards().size(), 1);
    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(ServerContact("ann.vcf").HomePhone, "1");
    EXPECT_EQ(Find("ann")->WorkPhone, "2");
}

TEST_F(FaultTest, UpdateOfACardDeletedMeanwhileCreatesItAgain)
{
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    Find("ann")->HomePhone = "1";
    server.beforeNextPut = [this] { server.Remove("ann.vcf"); };

    const TCardDavSyncReport report = Sync();

    ASSERT_FALSE(report.failed) << report.error.toStdString();
    EXPECT_EQ(CountsText(report.counts), "local 0/0/0 server 1/0/0");
    EXPECT_EQ(ServerContact("ann.vcf").HomePhone, "1");
    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
}

TEST_F(FaultTest, WeakOrMissingEtagsNeitherLoopNorLoseChanges)
{
    for (auto etag : {MemoryAddressBook::PutEtag::Weak, MemoryAddressBook::PutEtag::None}) {
        StartOver();
        server.putEtag = etag;
        server.listingEtags = etag == MemoryAddressBook::PutEtag::Weak;
        Add("ann", "Ann");
        ASSERT_FALSE(Sync().failed);
        server.puts = 0;
        EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
        Find("ann")->HomePhone = "1";
        EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/1/0");
        server.Store("ann.vcf", Card("ann", "Ann", "TEL;TYPE=HOME:1\r\nTEL;TYPE=WORK:2\r\n"));
        EXPECT_EQ(CountsText(Sync().counts), "local 0/1/0 server 0/0/0");
        EXPECT_EQ(Find("ann")->WorkPhone, "2");
        EXPECT_EQ(server.puts, 1);
    }
}

TEST_F(FaultTest, CardWhoseUidTheServerRewroteStaysLinkedByItsAddress)
{
    server.rewriteUid = true;
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    ASSERT_TRUE(vcard::CardUid(ServerText("ann.vcf")).startsWith("server-"));
    const QString serverUid = vcard::CardUid(ServerText("ann.vcf"));

    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
    Find("ann")->HomePhone = "1";
    EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/1/0");

    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(server.Cards().size(), 1);
    EXPECT_EQ(Find("ann")->FirstName, "Ann");
    EXPECT_EQ(vcard::CardUid(ServerText("ann.vcf")), serverUid);

    // A run cut between the upload and its note finds the card by its name.
    QDir(options.stateFolder).removeRecursively();
    ASSERT_FALSE(Sync().failed);
    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(server.Cards().size(), 1);
}

TEST_F(FaultTest, CardWithoutUidIsTakenOnceEvenWhenTheBookWasSavedButNotTheState)
{
    server.Store("nouid.vcf", Card(QString(), "Nemo"));
    ASSERT_FALSE(Sync().failed);
    QDir(options.stateFolder).removeRecursively(); // cut between the book's save and the state's

    ASSERT_FALSE(Sync().failed);

    EXPECT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(server.Cards().size(), 1);
}

TEST_F(FaultTest, RefusedTokenFallsBackToOneFullListing)
{
    Add("ann", "Ann");
    ASSERT_FALSE(Sync().failed);
    server.refuseTokens = true;
    for (int status : {403, 500}) {
        SCOPED_TRACE(status);
        server.refusedTokenStatus = status;
        server.Store(QString("bob%1.vcf").arg(status), Card(QString("bob%1").arg(status), "Bob"));
        server.syncCollections = 0;

        const TCardDavSyncReport report = Sync();

        ASSERT_FALSE(report.failed) << report.error.toStdString();
        EXPECT_EQ(server.syncCollections, 2);
        EXPECT_EQ(CountsText(report.counts), "local 1/0/0 server 0/0/0");
    }
}

TEST_F(FaultTest, ListingThatStopsShortChangesNothingOnEitherSide)
{
    for (int i = 0; i < 3; ++i)
        Add(QString("c%1").arg(i), QString("C%1").arg(i));
    ASSERT_FALSE(Sync().failed);
    const QByteArray state = ReadAll(options.stateFolder + "/state.json");
    book.DeleteContactData(Find("c0"));
    Find("c1")->HomePhone = "9";
    server.Remove("c2.vcf");
    const auto cardsBefore = server.Cards();
    server.incompleteListing = true;
    saves = 0;

    const TCardDavSyncReport report = Sync();

    EXPECT_TRUE(report.failed);
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(server.Cards().size(), cardsBefore.size());
    EXPECT_EQ(server.puts + server.deletes, 3); // those of the first sync
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(ReadAll(options.stateFolder + "/state.json"), state);
}

TEST_F(FaultTest, ManyDeletionsWaitForAYes)
{
    for (int i = 0; i < 20; ++i)
        Add(QString("c%1").arg(i), QString("C%1").arg(i));
    ASSERT_FALSE(Sync().failed);
    for (int i = 0; i < 12; ++i)
        server.Remove(QString("c%1.vcf").arg(i));
    Add("n", "New");
    // A dry run asks nothing and tells what the real run would do.
    options.dryRun = true;
    options.confirmDeletions = [](int, int) {
        ADD_FAILURE() << "asked in a dry run";
        return true;
    };
    const TCardDavSyncReport dry = Sync();
    EXPECT_FALSE(dry.stoppedForDeletions);
    EXPECT_EQ(dry.counts.localDeleted, 12);
    EXPECT_EQ(book.ContactDataList().size(), 21u);
    options.dryRun = false;
    struct Answer
    {
        const char *name;
        std::function<bool(int, int)> confirm;
        bool done;
    };
    const Answer answers[] = {{"nobody to ask", nullptr, false},
                              {"no", [](int, int) { return false; }, false},
                              {"yes", [](int, int) { return true; }, true}};
    for (const Answer &answer : answers) {
        SCOPED_TRACE(answer.name);
        options.confirmDeletions = answer.confirm;
        server.puts = 0;
        const TCardDavSyncReport report = Sync();
        EXPECT_FALSE(report.failed);
        EXPECT_EQ(report.stoppedForDeletions, !answer.done);
        EXPECT_EQ(report.pendingLocalDeletions, answer.done ? 0 : 12);
        EXPECT_EQ(book.ContactDataList().size(), answer.done ? 9u : 21u);
        EXPECT_EQ(server.puts, answer.done ? 1 : 0);
    }
}

TEST_F(FaultTest, DryRunCountsWithoutChangingAnything)
{
    Add("ann", "Ann");
    Add("bob", "Bob");
    ASSERT_FALSE(Sync().failed);
    Find("ann")->HomePhone = "1";
    book.DeleteContactData(Find("bob"));
    Add("cid", "Cid");
    server.Store("dan.vcf", Card("dan", "Dan"));
    const QByteArray state = ReadAll(options.stateFolder + "/state.json");
    const auto cards = server.Cards();
    const int requests = server.requests;
    saves = 0;
    options.dryRun = true;

    const TCardDavSyncReport report = Sync();

    EXPECT_EQ(CountsText(report.counts), "local 1/0/0 server 1/1/1");
    EXPECT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(Find("dan"), nullptr);
    EXPECT_EQ(server.puts + server.deletes, 2);
    EXPECT_LE(server.requests - requests, 3);
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(ReadAll(options.stateFolder + "/state.json"), state);
    for (auto it = cards.cbegin(); it != cards.cend(); ++it)
        EXPECT_EQ(server.Cards().value(it.key()).text, it->text);
}

TEST_F(FaultTest, RefusedCardIsListedAndTheRunGoesOn)
{
    server.refusePut = [](const QByteArray &card) { return card.contains("Bad") ? 415 : 0; };
    Add("bad", "Bad");
    Add("good", "Good");

    const TCardDavSyncReport report = Sync();

    EXPECT_FALSE(report.failed);
    ASSERT_EQ(report.refused.size(), 1);
    EXPECT_TRUE(report.refused[0].contains("Bad Doe")) << report.refused[0].toStdString();
    EXPECT_TRUE(server.Cards().contains(server.Absolute("good.vcf")));
    EXPECT_EQ(CountsText(report.counts), "local 0/0/0 server 1/0/0");
}

// A run cut after any number of writes, then run again: each contact once on
// each side, the merges kept, nothing of either side lost.
TEST_F(FaultTest, RunCutAfterAnyWriteEndsEqualOnTheNextRun)
{
    for (int cut = 0; cut <= 6; ++cut) {
        SCOPED_TRACE(cut);
        StartOver();
        Add("both", "Both");
        Add("gone", "Gone");
        Add("edit", "Edit");
        ASSERT_FALSE(Sync().failed);
        Find("both")->WorkPhone = "1";
        server.Store("both.vcf", Card("both", "Both", "TEL;TYPE=HOME:2\r\n"));
        book.DeleteContactData(Find("gone"));
        Find("edit")->Company = "Acme";
        Add("new1", "New1");
        Add("new2", "New2");
        server.Store("srv.vcf", Card("srv", "Srv"));
        server.failAfterWrites = cut;
        saves = 0;

        const TCardDavSyncReport cutRun = Sync();
        EXPECT_EQ(cutRun.failed, cut < 5);
        if (cutRun.failed) {
            EXPECT_EQ(saves, 0);
        }
        server.failAfterWrites = -1;
        const TCardDavSyncReport rerun = Sync();

        ASSERT_FALSE(rerun.failed) << rerun.error.toStdString();
        ExpectBothSidesEqual();
        EXPECT_EQ(book.ContactDataList().size(), 5u);
        EXPECT_EQ(Find("both")->WorkPhone, "1");
        EXPECT_EQ(Find("both")->HomePhone, "2");
        EXPECT_EQ(Find("edit")->Company, "Acme");
        EXPECT_EQ(CountsText(Sync().counts), "local 0/0/0 server 0/0/0");
    }
}

} // namespace
} // namespace cardolin::testing
