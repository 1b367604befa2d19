// The WebDAV client and discovery against the fake server: what real servers
// answer, and the faults they rarely show.

#include "fakes/FakeCardDavServer.h"
#include "fakes/HostileServer.h"
#include "online/carddav/CardDavClient.h"
#include "online/carddav/DavRequests.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QNetworkAccessManager>

#include <gtest/gtest.h>

using namespace cardolin::carddav;
using namespace cardolin::testing;

namespace {

const QString kRefused = "The server refused the user name or password.";

class CardDavClientTest : public ::testing::Test
{
protected:
    FakeCardDavServer fake;
    QNetworkAccessManager network;

    TCardDavClient Client(const QString &password = "secret")
    {
        return TCardDavClient(network, QUrl(fake.BookUrl()), {fake.user, password});
    }
    TDiscovery Discover(const QString &url, const QString &password = "secret")
    {
        return DiscoverAddressBooks(network, QUrl(url), {fake.user, password});
    }
    QStringList Hrefs(const QList<TCardVersion> &versions) const
    {
        QStringList hrefs;
        for (const TCardVersion &version : versions)
            hrefs.append(version.href);
        hrefs.sort();
        return hrefs;
    }
    void AddCards(int count)
    {
        for (int i = 1; i <= count; ++i)
            fake.SetCard(QString("c%1.vcf").arg(i), FakeCardDavServer::MakeCard(QString("u%1").arg(i), "Person"));
    }
};

// Every address a user may type leads to the same book with its properties;
// a calendar beside it is not a book.
TEST_F(CardDavClientTest, DiscoveryFindsTheBookFromEveryStart)
{
    fake.vcard4 = true;
    fake.calendarInHome = true;
    fake.otherBooks.append(qMakePair(QString("/dav/books/team/"), QString("Team & friends")));
    const struct
    {
        const char *name;
        QString url;
        int books;
    } cases[] = {
        {"host alone, through the well-known address", fake.BaseUrl().chopped(1), 2},
        {"server root", fake.BaseUrl(), 2},
        {"principal", fake.Url(fake.principalPath), 2},
        {"home", fake.Url(fake.homePath), 2},
        {"the book itself", fake.BookUrl(), 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const TDiscovery found = Discover(c.url);
        ASSERT_TRUE(found.outcome.error.isEmpty()) << found.outcome.error.toStdString();
        ASSERT_EQ(found.books.size(), c.books);
        EXPECT_EQ(found.principal.path(), fake.principalPath);
        const TAddressBookInfo &book = found.books.first();
        EXPECT_EQ(book.href, fake.bookPath);
        EXPECT_EQ(book.displayName, "Main book");
        EXPECT_EQ(book.syncToken, fake.SyncToken());
        EXPECT_EQ(book.ctag, "ctag-1");
        EXPECT_TRUE(book.vcard4);
        EXPECT_TRUE(book.syncCollection);
        if (c.books == 2) {
            EXPECT_EQ(found.books[1].displayName, "Team & friends");
            EXPECT_EQ(found.books[1].href, "/dav/books/team/");
        }
    }
}

TEST_F(CardDavClientTest, DiscoveryFailures)
{
    fake.hideBooks = true;
    TDiscovery found = Discover(fake.BaseUrl());
    EXPECT_EQ(found.outcome.error, "No address book was found at this address.");
    EXPECT_TRUE(found.books.isEmpty());

    fake.hideBooks = false;
    fake.log.clear();
    found = Discover(fake.BaseUrl(), "wrong");
    EXPECT_EQ(found.outcome.status, 401);
    EXPECT_EQ(found.outcome.error, kRefused);
    EXPECT_EQ(fake.log.size(), 2) << "the well-known redirect, then one refused request";

    // The password never travels in the clear to another machine.
    found = DiscoverAddressBooks(network, QUrl("http://cardolin.invalid/dav/"), {"alice", "secret"});
    EXPECT_TRUE(found.outcome.error.contains("HTTPS")) << found.outcome.error.toStdString();
    EXPECT_TRUE(found.books.isEmpty());
}

// A wrong password ends with the server's 401 at once, on every request
// kind, instead of asking again and again.
TEST_F(CardDavClientTest, WrongPasswordIsOneRefusedRequest)
{
    TCardDavClient client = Client("wrong");
    TDavOutcome outcome;
    client.Properties(outcome);
    EXPECT_EQ(outcome.status, 401);
    EXPECT_EQ(outcome.error, kRefused);
    const TListing listing = client.SyncCollection("");
    EXPECT_EQ(listing.outcome.error, kRefused);
    EXPECT_FALSE(listing.complete);
    EXPECT_EQ(client.Put("x.vcf", "BEGIN:VCARD\r\nEND:VCARD\r\n", "").outcome.status, 401);
    EXPECT_EQ(fake.log.size(), 3);
}

// A server that wants Digest gets it from Qt's authenticator, and a wrong
// password there ends as plainly as with Basic.
TEST_F(CardDavClientTest, DigestWhenTheServerAsksForIt)
{
    fake.digestOnly = true;
    TCardDavClient client = Client();
    const TListing listing = client.SyncCollection("");
    ASSERT_TRUE(listing.complete) << listing.outcome.error.toStdString();
    EXPECT_TRUE(fake.log.last().headers.value("authorization").startsWith("Digest "));
    // Later requests answer the challenge at once.
    const qsizetype before = fake.log.size();
    EXPECT_TRUE(client.ListAll().complete);
    EXPECT_EQ(fake.log.size(), before + 1);

    // Another account on the same network manager gets nothing cached from the first.
    fake.log.clear();
    TCardDavClient wrong = Client("wrong");
    const TListing refused = wrong.SyncCollection("");
    EXPECT_EQ(refused.outcome.status, 401);
    EXPECT_EQ(refused.outcome.error, kRefused);
    EXPECT_LE(fake.log.size(), 3);
}

// Redirects keep the method and body, stay on the same server and end.
TEST_F(CardDavClientTest, RedirectsStayOnTheServer)
{
    fake.redirects.insert("/old/book/", fake.bookPath);
    TDavOutcome outcome;
    TCardDavClient moved(network, QUrl(fake.Url("/old/book/")), {fake.user, fake.password});
    const TAddressBookInfo info = moved.Properties(outcome);
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(fake.log.last().method, "PROPFIND");
    EXPECT_EQ(fake.log.last().path, fake.bookPath);
    EXPECT_TRUE(fake.log.last().body.contains("supported-address-data"));

    const struct
    {
        const char *name;
        QString from, to;
        QString error;
    } cases[] = {
        {"another host", "/a/", QString("http://127.0.0.2:%1/dav/").arg(QUrl(fake.BaseUrl()).port()), "127.0.0.2"},
        {"another scheme", "/a/", QString("https://127.0.0.1:%1/dav/").arg(QUrl(fake.BaseUrl()).port()),
         "only addresses on the same server"},
        {"a loop", "/a/", "/b/", "too many times"},
    };
    fake.redirects.insert("/b/", "/a/");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake.redirects.insert(c.from, c.to);
        fake.log.clear();
        TCardDavClient client(network, QUrl(fake.Url(c.from)), {fake.user, fake.password});
        client.Properties(outcome);
        EXPECT_TRUE(outcome.error.contains(c.error)) << outcome.error.toStdString();
        EXPECT_LE(fake.log.size(), 6);
    }
}

// 429 and 503 are waited out; a server still busy after three tries fails.
TEST_F(CardDavClientTest, BusyServerIsWaitedFor)
{
    const struct
    {
        const char *name;
        int status;
        int times;
        QString retryAfter;
        bool ok;
    } cases[] = {
        // First, while the date is still ahead.
        {"429 until an HTTP date", 429, 1,
         QDateTime::currentDateTimeUtc().addSecs(2).toString("ddd, dd MMM yyyy hh:mm:ss 'GMT'"), true},
        {"429 for a second", 429, 1, "1", true},
        {"503 for a second", 503, 1, "1", true},
        {"503 without Retry-After", 503, 1, "", true},
        {"429 three times", 429, 3, "1", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake.throttleStatus = c.status;
        fake.throttleNext = c.times;
        fake.retryAfter = c.retryAfter;
        fake.log.clear();
        QElapsedTimer clock;
        clock.start();
        TCardDavClient client = Client();
        const TListing listing = client.SyncCollection("");
        EXPECT_EQ(listing.complete, c.ok) << listing.outcome.error.toStdString();
        if (!c.ok) {
            EXPECT_EQ(listing.outcome.error, QString("The server %1 is busy and asked to wait; it was still busy "
                                                     "after 3 tries.")
                                                 .arg(QUrl(fake.BaseUrl()).authority()));
        }
        EXPECT_EQ(fake.log.size(), qMin(c.times + 1, 3));
        EXPECT_GE(clock.elapsed(), 900);
        EXPECT_LT(clock.elapsed(), 8000);
        fake.throttleNext = 0;
    }
}

TEST(RetryAfter, SecondsOrDateWithinTheCap)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    auto date = [&](int seconds) { return now.addSecs(seconds).toString("ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1(); };
    const struct
    {
        const char *name;
        QByteArray value;
        int low, high;
    } cases[] = {
        {"seconds", "7", 7, 7},         {"beyond the cap", "3600", 60, 60}, {"negative", "-5", 0, 0},
        {"date", date(30), 28, 30},     {"date far ahead", date(7200), 60, 60},
        {"date gone by", date(-100), 0, 0}, {"missing", "", 4, 4},          {"unreadable", "soon", 4, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int seconds = RetryAfterSeconds(c.value, 4);
        EXPECT_GE(seconds, c.low);
        EXPECT_LE(seconds, c.high);
    }
}

TEST_F(CardDavClientTest, SyncCollectionFromNothingAndFromAToken)
{
    AddCards(3);
    TCardDavClient client = Client();
    const TListing first = client.SyncCollection("");
    ASSERT_TRUE(first.complete) << first.outcome.error.toStdString();
    EXPECT_FALSE(first.incremental);
    EXPECT_EQ(Hrefs(first.present), QStringList({fake.CardPath("c1.vcf"), fake.CardPath("c2.vcf"),
                                                  fake.CardPath("c3.vcf")}));
    EXPECT_EQ(first.present.first().etag, "\"e2\"");
    EXPECT_EQ(first.syncToken, fake.SyncToken());

    fake.RemoveCard("c1.vcf");
    fake.SetCard("c2.vcf", FakeCardDavServer::MakeCard("u2", "Changed"));
    const TListing next = client.SyncCollection(first.syncToken);
    ASSERT_TRUE(next.complete);
    EXPECT_TRUE(next.incremental);
    EXPECT_EQ(Hrefs(next.present), QStringList({fake.CardPath("c2.vcf")}));
    EXPECT_EQ(next.removed, QStringList({fake.CardPath("c1.vcf")}));

    // Nothing changed: one request, sent with the password from the start.
    fake.log.clear();
    const TListing same = client.SyncCollection(next.syncToken);
    EXPECT_TRUE(same.complete && same.present.isEmpty() && same.removed.isEmpty());
    ASSERT_EQ(fake.log.size(), 1);
    EXPECT_TRUE(fake.log.first().headers.value("authorization").startsWith("Basic "));
    EXPECT_EQ(fake.log.first().headers.value("depth"), "0");
}

// An answer cut short with 507 is asked on from its token until it is whole,
// and a card removed between two rounds is not reported present.
TEST_F(CardDavClientTest, TruncatedSyncAnswerIsFollowed)
{
    AddCards(5);
    fake.truncateAfter = 2;
    bool removed = false;
    fake.onRequest = [&](const FakeCardDavServer::Request &) {
        if (fake.log.size() == 2 && !removed) {
            removed = true;
            fake.RemoveCard("c1.vcf");
        }
    };
    TCardDavClient client = Client();
    const TListing listing = client.SyncCollection("");
    ASSERT_TRUE(listing.complete) << listing.outcome.error.toStdString();
    EXPECT_EQ(Hrefs(listing.present), QStringList({fake.CardPath("c2.vcf"), fake.CardPath("c3.vcf"),
                                                    fake.CardPath("c4.vcf"), fake.CardPath("c5.vcf")}));
    EXPECT_TRUE(listing.removed.isEmpty());
    EXPECT_EQ(listing.syncToken, fake.SyncToken());
    EXPECT_EQ(fake.Count("REPORT"), 3);
}

// Whatever the status, an error naming valid-sync-token asks for a full
// listing; other failures, a cut connection and a broken answer leave the
// listing incomplete.
TEST_F(CardDavClientTest, SyncFailuresLeaveTheListingIncomplete)
{
    AddCards(2);
    fake.tokenFloor = 2;
    for (int status : {403, 409, 412}) {
        SCOPED_TRACE(status);
        fake.invalidTokenStatus = status;
        const TListing listing = Client().SyncCollection(FakeCardDavServer::SyncTokenOf(1));
        EXPECT_TRUE(listing.tokenInvalid);
        EXPECT_FALSE(listing.complete);
        EXPECT_EQ(listing.outcome.status, status);
    }
    const struct
    {
        const char *name;
        std::function<void()> fault;
    } faults[] = {
        {"500", [&] { fake.failFromRequest = int(fake.log.size()) + 1; }},
        {"cut connection", [&] { fake.cutAtRequest = int(fake.log.size()) + 1; }},
    };
    for (const auto &f : faults) {
        SCOPED_TRACE(f.name);
        f.fault();
        const TListing listing = Client().SyncCollection(fake.SyncToken());
        EXPECT_FALSE(listing.complete);
        EXPECT_FALSE(listing.tokenInvalid);
        EXPECT_FALSE(listing.outcome.error.isEmpty());
        fake.failFromRequest = 0;
        fake.cutAtRequest = 0;
    }
}

TEST_F(CardDavClientTest, ListAllSkipsWhatIsNoCard)
{
    AddCards(2);
    fake.strayMember = true;
    fake.absoluteHrefs = true;
    const TListing listing = Client().ListAll();
    ASSERT_TRUE(listing.complete) << listing.outcome.error.toStdString();
    EXPECT_FALSE(listing.incremental);
    EXPECT_EQ(Hrefs(listing.present), QStringList({fake.CardPath("c1.vcf"), fake.CardPath("c2.vcf")}));
    EXPECT_EQ(listing.syncToken, fake.SyncToken());
    EXPECT_EQ(fake.log.last().headers.value("depth"), "1");
}

// A name with characters that need encoding goes up, is listed and comes
// back under the same decoded href; a card the server no longer has is
// reported missing.
TEST_F(CardDavClientTest, PutListAndMultigetRoundTrip)
{
    TCardDavClient client = Client();
    const QByteArray card = FakeCardDavServer::MakeCard("odd uid", "Ödön <&>");
    const TWriteOutcome put = client.Put("odd name@x+1.vcf", card, "");
    ASSERT_TRUE(put.outcome.Ok()) << put.outcome.error.toStdString();
    EXPECT_TRUE(put.strongEtag);
    EXPECT_EQ(fake.log.last().headers.value("if-none-match"), "*");
    EXPECT_EQ(fake.log.last().headers.value("content-type"), "text/vcard; charset=utf-8");
    const QString href = fake.CardPath("odd name@x+1.vcf");
    ASSERT_TRUE(fake.cards.contains(href));

    const TListing listing = client.ListAll();
    ASSERT_EQ(Hrefs(listing.present), QStringList({href}));
    EXPECT_EQ(listing.present.first().etag, put.etag);

    AddCards(1);
    const TFetch fetch = client.Multiget({href, fake.CardPath("c1.vcf"), fake.CardPath("gone.vcf")});
    ASSERT_TRUE(fetch.outcome.Ok()) << fetch.outcome.error.toStdString();
    ASSERT_EQ(fetch.cards.size(), 2);
    EXPECT_EQ(fetch.cards[0].href, href);
    EXPECT_EQ(fetch.cards[0].etag, put.etag);
    EXPECT_EQ(QString::fromUtf8(fetch.cards[0].text).remove('\r'), QString::fromUtf8(card).remove('\r'));
    EXPECT_EQ(fetch.missing, QStringList({fake.CardPath("gone.vcf")}));
}

// Preconditions reach the engine as statuses, and only a strong ETag in the
// answer is taken as the card's new version.
TEST_F(CardDavClientTest, WritesCarryTheirPreconditions)
{
    TCardDavClient client = Client();
    const QByteArray card = FakeCardDavServer::MakeCard("u1", "One");
    const TWriteOutcome created = client.Put("u1.vcf", card, "");
    ASSERT_TRUE(created.outcome.Ok());
    for (bool body : {false, true}) {
        fake.preconditionBody = body;
        EXPECT_EQ(client.Put("u1.vcf", card, "").outcome.status, 412) << "created twice";
        EXPECT_EQ(client.Put("u1.vcf", card, "\"stale\"").outcome.status, 412);
        EXPECT_EQ(client.Delete("u1.vcf", "\"stale\"").outcome.status, 412);
    }
    EXPECT_EQ(client.Put("gone.vcf", card, "\"e1\"").outcome.status, 412);
    const TWriteOutcome updated = client.Put(fake.CardPath("u1.vcf"), card, created.etag);
    ASSERT_TRUE(updated.outcome.Ok());
    EXPECT_EQ(fake.log.last().headers.value("if-match"), created.etag);

    const struct
    {
        FakeCardDavServer::PutEtag mode;
        bool strong;
    } modes[] = {{FakeCardDavServer::PutEtag::Weak, false}, {FakeCardDavServer::PutEtag::None, false}};
    QString etag = updated.etag;
    for (const auto &m : modes) {
        fake.putEtag = m.mode;
        const TWriteOutcome put = client.Put("u1.vcf", card, etag);
        ASSERT_TRUE(put.outcome.Ok());
        EXPECT_EQ(put.strongEtag, m.strong);
        EXPECT_TRUE(put.etag.isEmpty());
        etag = fake.cards.value(fake.CardPath("u1.vcf")).etag;
    }
    fake.rewriteUidOnPut = true;
    ASSERT_TRUE(client.Put("u1.vcf", card, etag).outcome.Ok());
    const TFetch fetched = client.Multiget({fake.CardPath("u1.vcf")});
    ASSERT_EQ(fetched.cards.size(), 1);
    EXPECT_TRUE(fetched.cards.first().text.contains("UID:server-made-"));

    const QString current = fetched.cards.first().etag;
    EXPECT_TRUE(client.Delete("u1.vcf", current).outcome.Ok());
    EXPECT_EQ(fake.log.last().headers.value("if-match"), current);
    EXPECT_EQ(client.Delete("u1.vcf", current).outcome.status, 404);
}

// Cards with large photos: a batch whose answer would pass the cap is asked
// for in halves, and every card arrives.
TEST_F(CardDavClientTest, OversizedBatchIsFetchedInHalves)
{
    const QByteArray photo = "PHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray(1536 * 1024, 'A') + "\r\n";
    QStringList hrefs;
    for (int i = 1; i <= 6; ++i) {
        QByteArray card = FakeCardDavServer::MakeCard(QString("big%1").arg(i), "Big");
        card.insert(card.indexOf("END:VCARD"), photo);
        fake.SetCard(QString("big%1.vcf").arg(i), card);
        hrefs.append(fake.CardPath(QString("big%1.vcf").arg(i)));
    }
    TCardDavClient client = Client();
    client.SetLimits(30000, 60000, 6 * 1024 * 1024); // a smaller cap than the usual one keeps this quick
    const TFetch fetch = client.Multiget(hrefs);
    ASSERT_TRUE(fetch.outcome.Ok()) << fetch.outcome.error.toStdString();
    EXPECT_EQ(fetch.cards.size(), 6);
    EXPECT_EQ(fake.Count("REPORT"), 3);
}

// A failure part-way through the batches is an error, never a short result.
TEST_F(CardDavClientTest, FailurePartWayIsNoShortFetch)
{
    AddCards(3);
    TCardDavClient client = Client();
    fake.failFromRequest = 2;
    EXPECT_TRUE(client.Multiget({fake.CardPath("c1.vcf")}).outcome.Ok());
    const TFetch fetch = client.Multiget({fake.CardPath("c2.vcf"), fake.CardPath("c3.vcf")});
    EXPECT_FALSE(fetch.outcome.Ok());
    EXPECT_EQ(fetch.outcome.status, 500);
    EXPECT_TRUE(fetch.cards.isEmpty() && fetch.missing.isEmpty());
}

// An answer without end stops at the cap of one answer: the client stops
// reading soon after it. (Peak memory is not checked here: for requests with
// a body Qt's network thread does not reliably keep its read-ahead limit.)
TEST(CardDavHostileServer, EndlessAnswerStopsAtTheCap)
{
    constexpr qint64 kMiB = 1024 * 1024;
    const ChildRun run = RunInChildWithin(60, [] {
        HostileServer hostile(HostileServer::Mode::EndlessChunked);
        QNetworkAccessManager network;
        TCardDavClient client(network, QUrl(hostile.Url("book/")), {"alice", "secret"});
        client.SetLimits(30000, 60000, 4 * kMiB);
        const TListing listing = client.ListAll();
        return !listing.complete && listing.outcome.error.contains("larger than") && hostile.bytesSent < 100 * kMiB
                   ? 0
                   : 1;
    });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
}

// A server that sends a byte now and then is given up at the deadline.
TEST(CardDavHostileServer, DripMeetsTheDeadline)
{
    HostileServer hostile(HostileServer::Mode::Drip, 50);
    QNetworkAccessManager network;
    TCardDavClient client(network, QUrl(hostile.Url("book/")), {"alice", "secret"});
    client.SetLimits(1000, 1500);
    QElapsedTimer clock;
    clock.start();
    const TListing listing = client.ListAll();
    EXPECT_FALSE(listing.complete);
    EXPECT_FALSE(listing.outcome.error.isEmpty());
    EXPECT_LT(clock.elapsed(), 10000);
}

} // namespace
