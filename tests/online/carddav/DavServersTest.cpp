// The servers the CardDAV tests start answer as the tests expect: the book
// is there and empty, and the password is checked where the server can.

#include "fakes/DavServers.h"
#include "fakes/FakeCardDavServer.h"

#include <gtest/gtest.h>

using namespace cardolin::testing;

namespace {

int PropfindStatus(const QString &url, const QString &user, const QString &password)
{
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Authorization", "Basic " + (user + ':' + password).toUtf8().toBase64());
    request.setRawHeader("Depth", "0");
    std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, "PROPFIND"));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

TEST(DavServers, RealServersServeTheirBook)
{
    for (const auto kind : {RunningDavServer::Kind::Radicale, RunningDavServer::Kind::Xandikos}) {
        RunningDavServer server(kind);
        CARDOLIN_START_DAV_SERVER(server);
        SCOPED_TRACE(server.Name().toStdString());
        EXPECT_EQ(PropfindStatus(server.BookUrl(), server.User(), server.Password()), 207);
        const QString second = server.CreateBook("second", "Second");
        ASSERT_FALSE(second.isEmpty());
        EXPECT_EQ(PropfindStatus(second, server.User(), server.Password()), 207);
        if (kind == RunningDavServer::Kind::Radicale) {
            EXPECT_EQ(PropfindStatus(server.BookUrl(), server.User(), "wrong"), 401);
        }
    }
}

TEST(DavServers, FakeChecksThePassword)
{
    FakeCardDavServer fake;
    EXPECT_EQ(PropfindStatus(fake.BookUrl(), fake.user, fake.password), 207);
    EXPECT_EQ(PropfindStatus(fake.BookUrl(), fake.user, "wrong"), 401);
    EXPECT_EQ(fake.log.size(), 2);
}

} // namespace
