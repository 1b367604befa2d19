// The client against real servers, Radicale and xandikos, started on this
// machine for the test: what the fake cannot vouch for.

#include "fakes/DavServers.h"
#include "online/carddav/CardDavClient.h"

#include <gtest/gtest.h>

using namespace cardolin::carddav;
using namespace cardolin::testing;

namespace {

class RealServer : public ::testing::TestWithParam<RunningDavServer::Kind>
{
protected:
    RunningDavServer server{GetParam()};
    QNetworkAccessManager network;

    TDavCredentials Credentials() const { return {server.User(), server.Password()}; }
};

QByteArray Card(const QString &uid, const QString &name)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\nN:%2;;;;\r\nEND:VCARD\r\n")
        .arg(uid, name)
        .toUtf8();
}

TEST_P(RealServer, DiscoveryFromRootAndFromTheBook)
{
    CARDOLIN_START_DAV_SERVER(server);
    for (const QString &start : {server.BaseUrl(), server.BookUrl()}) {
        SCOPED_TRACE(start.toStdString());
        const TDiscovery found = DiscoverAddressBooks(network, QUrl(start), Credentials());
        ASSERT_TRUE(found.outcome.error.isEmpty()) << found.outcome.error.toStdString();
        QStringList hrefs;
        for (const TAddressBookInfo &book : found.books)
            hrefs.append(book.href);
        EXPECT_TRUE(hrefs.contains(server.BookPath())) << hrefs.join(' ').toStdString();
        for (const TAddressBookInfo &book : found.books) {
            EXPECT_TRUE(book.syncCollection);
            EXPECT_FALSE(book.syncToken.isEmpty());
        }
        EXPECT_EQ(AddressBookUrl(QUrl(start), server.BookPath()).toString(), server.BookUrl());
    }
}

TEST(Radicale, WrongPasswordIsRefused)
{
    RunningDavServer server(RunningDavServer::Kind::Radicale);
    CARDOLIN_START_DAV_SERVER(server);
    QNetworkAccessManager network;
    const TDiscovery found = DiscoverAddressBooks(network, QUrl(server.BaseUrl()), {server.User(), "wrong"});
    EXPECT_EQ(found.outcome.status, 401);
    EXPECT_EQ(found.outcome.error, "The server refused the user name or password.");
    TCardDavClient client(network, QUrl(server.BookUrl()), {server.User(), "wrong"});
    EXPECT_EQ(client.SyncCollection("").outcome.status, 401);
}

// Every request a sync makes, in the order it makes them, with the answers
// the engine acts on: preconditions, removals and a token that moves on.
TEST_P(RealServer, CardsGoUpAndComeBack)
{
    CARDOLIN_START_DAV_SERVER(server);
    TCardDavClient client(network, QUrl(server.BookUrl()), Credentials());
    TDavOutcome outcome;
    const TAddressBookInfo info = client.Properties(outcome);
    ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    const TListing empty = client.SyncCollection("");
    ASSERT_TRUE(empty.complete) << empty.outcome.error.toStdString();
    EXPECT_TRUE(empty.present.isEmpty());

    const TWriteOutcome first = client.Put("one.vcf", Card("one", "Ann One"), "");
    ASSERT_TRUE(first.outcome.Ok()) << first.outcome.error.toStdString();
    EXPECT_EQ(client.Put("one.vcf", Card("one", "Ann One"), "").outcome.status, 412);
    const TWriteOutcome second = client.Put("two words.vcf", Card("two", "Bo Two"), "");
    ASSERT_TRUE(second.outcome.Ok()) << second.outcome.error.toStdString();

    const QString one = server.BookPath() + "one.vcf";
    const QString two = server.BookPath() + "two words.vcf";
    const TListing all = client.ListAll();
    ASSERT_TRUE(all.complete) << all.outcome.error.toStdString();
    QStringList listed;
    for (const TCardVersion &version : all.present)
        listed.append(version.href);
    listed.sort();
    EXPECT_EQ(listed, QStringList({one, two}));

    const TFetch fetch = client.Multiget({one, two, server.BookPath() + "none.vcf"});
    ASSERT_TRUE(fetch.outcome.Ok()) << fetch.outcome.error.toStdString();
    ASSERT_EQ(fetch.cards.size(), 2);
    for (const TFetchedCard &card : fetch.cards)
        EXPECT_TRUE(card.text.contains(card.href == one ? "FN:Ann One" : "FN:Bo Two")) << card.text.constData();
    EXPECT_EQ(fetch.missing, QStringList({server.BookPath() + "none.vcf"}));

    const QString oneEtag = fetch.cards[fetch.cards[0].href == one ? 0 : 1].etag;
    const TWriteOutcome changed = client.Put(one, Card("one", "Ann Changed"), oneEtag);
    ASSERT_TRUE(changed.outcome.Ok()) << changed.outcome.error.toStdString();
    EXPECT_EQ(client.Put(one, Card("one", "Ann Stale"), oneEtag).outcome.status, 412);
    const TListing sinceFirst = client.SyncCollection(empty.syncToken);
    ASSERT_TRUE(sinceFirst.complete) << sinceFirst.outcome.error.toStdString();
    EXPECT_TRUE(sinceFirst.incremental);
    EXPECT_EQ(sinceFirst.present.size(), 2);

    const TFetch changedCard = client.Multiget({one});
    ASSERT_EQ(changedCard.cards.size(), 1);
    EXPECT_EQ(client.Delete(one, oneEtag).outcome.status, 412);
    EXPECT_TRUE(client.Delete(one, changedCard.cards.first().etag).outcome.Ok());
    const TListing afterDelete = client.SyncCollection(sinceFirst.syncToken);
    ASSERT_TRUE(afterDelete.complete) << afterDelete.outcome.error.toStdString();
    EXPECT_TRUE(afterDelete.present.isEmpty());
    EXPECT_EQ(afterDelete.removed, QStringList({one}));
    EXPECT_NE(afterDelete.syncToken, info.syncToken);

    // A token the server never gave asks for a full listing on Radicale;
    // xandikos answers 500 without naming the token, which stops the run.
    const TListing unknown = client.SyncCollection(info.syncToken + "-unknown");
    EXPECT_EQ(unknown.tokenInvalid, server.ServerKind() == RunningDavServer::Kind::Radicale)
        << unknown.outcome.error.toStdString();
    EXPECT_FALSE(unknown.complete);
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer,
                         ::testing::Values(RunningDavServer::Kind::Radicale, RunningDavServer::Kind::Xandikos),
                         [](const auto &info) {
                             return info.param == RunningDavServer::Kind::Radicale ? "Radicale" : "Xandikos";
                         });

} // namespace
