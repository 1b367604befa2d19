#include "online/GoogleAuthorization.h"
#include "online/LoopbackListener.h"

#include "GoogleFixture.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// A browser's request to the listener, with the Host header it names; the
// whole answer comes back. Served by this thread's event loop, as in the program.
QByteArray BrowserGet(quint16 port, const QString &target, const QString &host)
{
    QTcpSocket socket;
    QByteArray answer;
    QEventLoop loop;
    QObject::connect(&socket, &QTcpSocket::connected, [&] {
        socket.write("GET " + target.toUtf8() + " HTTP/1.1\r\nHost: " + host.toUtf8() + "\r\n\r\n");
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    loop.exec();
    return answer;
}

QUrlQuery QueryOf(const QString &address)
{
    return QUrlQuery(QUrl(address));
}

class Authorization : public GoogleFixture
{
protected:
    Authorization()
    {
        listener.SetDefaultPort(0);
        listener.BringToFront = [this] { ++raised; };
        book.SetLoopbackListener(&listener);
    }

    LoopbackListener listener;
    int raised = 0;
};

TEST_F(Authorization, BrowserAnswerWithTheRightStateFillsTheBoxAndTheExchangeProvesTheVerifier)
{
    QStringList answers;
    prompts.whileInput = [&] {
        ASSERT_TRUE(listener.IsListening());
        const QString host = QString("127.0.0.1:%1").arg(listener.Port());
        const QUrlQuery sent = QueryOf(desktop.opened.value(0));
        google.codeChallenge = sent.queryItemValue("code_challenge");
        const QString state = sent.queryItemValue("state", QUrl::FullyDecoded);
        const QString encodedState = QUrl::toPercentEncoding(state);
        // Refused: another host text, no state, a wrong state, no code.
        answers << BrowserGet(listener.Port(), "/?code=4/valid-code&state=" + encodedState, "localhost:3000")
                << BrowserGet(listener.Port(), "/?code=4/valid-code", host)
                << BrowserGet(listener.Port(), "/?state=forged&code=4/valid-code", host)
                << BrowserGet(listener.Port(), "/?state=" + encodedState + "&error=access_denied", host);
        EXPECT_TRUE(prompts.offered.isEmpty());
        EXPECT_EQ(raised, 0);
        // Google puts the state before the code; the order does not matter.
        answers << BrowserGet(listener.Port(), "/?state=" + encodedState + "&code=4%2Fvalid-code&scope=x", host);
        EXPECT_EQ(sent.queryItemValue("redirect_uri", QUrl::FullyDecoded), "http://" + host);
        EXPECT_EQ(desktop.clipboard, "4/valid-code");
    };

    ASSERT_TRUE(book.ConnectToGoogleContactsService()) << prompts.errors.join('\n').toStdString();

    ASSERT_EQ(answers.size(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(answers[i].startsWith("HTTP/1.1 404")) << i;
    EXPECT_TRUE(answers[4].startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(answers[4].endsWith(LoopbackListener::AcceptedPageText().toUtf8()));
    EXPECT_FALSE(LoopbackListener::AcceptedPageText().contains("paste")); // the code is filled in already
    EXPECT_EQ(prompts.offered, QStringList{"4/valid-code"});
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(listener.IsListening());
    EXPECT_EQ(desktop.clipboard, "");
    EXPECT_EQ(prompts.information.size(), 1);
    // The box asking for the code offers the page that was opened, to open
    // again or to copy for a browser elsewhere.
    ASSERT_EQ(prompts.signInPages.size(), 1);
    const UserPrompts::SignInPage page = prompts.signInPages[0];
    EXPECT_EQ(page.address, desktop.opened.value(0));
    EXPECT_TRUE(page.open());
    EXPECT_EQ(desktop.opened.size(), 2);
    EXPECT_EQ(desktop.opened.value(1), page.address);
    page.copy();
    EXPECT_EQ(desktop.clipboard, page.address);

    const QUrlQuery sent = QueryOf(desktop.opened.value(0));
    EXPECT_EQ(sent.queryItemValue("code_challenge_method"), "S256");
    EXPECT_EQ(sent.queryItemValue("response_type"), "code");
    EXPECT_FALSE(sent.hasQueryItem("login_hint"));
    ASSERT_EQ(google.tokenForms.size(), 1);
    const QUrlQuery &exchange = google.tokenForms[0];
    EXPECT_EQ(exchange.queryItems(QUrl::FullyDecoded).value(0).first, "code");
    EXPECT_EQ(exchange.queryItemValue("grant_type"), "authorization_code");
    EXPECT_EQ(exchange.queryItemValue("redirect_uri", QUrl::FullyDecoded), sent.queryItemValue("redirect_uri", QUrl::FullyDecoded));
    EXPECT_TRUE(sent.queryItemValue("redirect_uri", QUrl::FullyDecoded).startsWith("http://127.0.0.1:"));
    EXPECT_EQ(book.GoogleRefreshToken(), google.refreshToken);
    EXPECT_TRUE(book.IsConnectedToGoogleContactsService());
}

TEST_F(Authorization, ExchangeWithAnotherVerifierIsRefused)
{
    google.codeChallenge = CodeChallengeOf(MakeCodeVerifier());
    prompts.inputAnswer = google.validCode;
    EXPECT_FALSE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(prompts.errors, QStringList{"Failed to connect to Google Contacts Service."});
    EXPECT_EQ(book.GoogleRefreshToken(), "");
}

TEST_F(Authorization, RefreshTokenConnectsWithoutTheBrowserAndTheTokenLastsAnHour)
{
    Connect();
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_FALSE(listener.IsListening());
    ASSERT_EQ(google.tokenForms.size(), 1);
    QStringList names;
    for (const auto &item : google.tokenForms[0].queryItems())
        names << item.first;
    EXPECT_EQ(names, (QStringList{"client_id", "client_secret", "refresh_token", "grant_type"}));

    clock.AdvanceMs(3599 * 1000);
    EXPECT_TRUE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(google.tokenForms.size(), 1);
    clock.AdvanceMs(1000);
    EXPECT_TRUE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(google.tokenForms.size(), 2);
    EXPECT_EQ(book.GoogleRefreshToken(), google.refreshToken);
    // Connected by a refresh token only: nothing to disconnect.
    EXPECT_FALSE(book.DisconnectFromGoogleContactsService());
    EXPECT_TRUE(book.IsConnectedToGoogleContactsService());
}

TEST_F(Authorization, FailuresAreToldAndConnectNothing)
{
    book.SetGoogleClientSecret("");
    EXPECT_FALSE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(prompts.warnings, QStringList{"The Google Client ID and Google Client Secret must be configured to "
                                            "access Google Contacts Service."});
    EXPECT_TRUE(google.requestLines.isEmpty());

    book.SetGoogleClientSecret(google.clientSecret);
    book.SetGoogleRefreshToken("revoked");
    EXPECT_FALSE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(prompts.errors, QStringList{"Failed to connect to Google Contacts Service."});

    // A refused code is not exchanged again: the next attempt asks anew.
    book.SetGoogleRefreshToken("");
    prompts.inputAnswer = "4/wrong";
    EXPECT_FALSE(book.ConnectToGoogleContactsService());
    prompts.inputAnswer = google.validCode;
    EXPECT_TRUE(book.ConnectToGoogleContactsService());
    EXPECT_EQ(desktop.opened.size(), 2);
    EXPECT_TRUE(book.DisconnectFromGoogleContactsService());
    EXPECT_FALSE(book.IsConnectedToGoogleContactsService());
}

TEST(AuthorizationAddress, EncodesEveryPartAndAddsTheLoginHintOnlyWhenGiven)
{
    EXPECT_EQ(EncodeAuthorizationText("a b@c.d-e_f~/é"), "a%20b%40c.d-e_f%7E%2F%C3%A9");
    const QString address = BuildAuthorizationAddress(
        {"https://auth.example/o", "id 1", "http://127.0.0.1:3000", "ann smith@example.com", "st", "ch"});
    EXPECT_EQ(address, "https://auth.example/o?scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fcontacts"
                       "&response_type=code&redirect_uri=http%3A%2F%2F127.0.0.1%3A3000&client_id=id%201"
                       "&login_hint=ann%20smith%40example.com&state=st&code_challenge=ch&code_challenge_method=S256");
    EXPECT_FALSE(BuildAuthorizationAddress({"e", "id", "r", "", "st", "ch"}).contains("login_hint"));
}

TEST(AuthorizationAddress, ChallengeIsTheBase64UrlSha256OfTheVerifier)
{
    // The example pair of the PKCE standard.
    EXPECT_EQ(CodeChallengeOf("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
              "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
    const QString verifier = MakeCodeVerifier();
    EXPECT_EQ(verifier.size(), 43);
    EXPECT_NE(verifier, MakeCodeVerifier());
    EXPECT_NE(MakeAuthorizationState(), MakeAuthorizationState());
}

TEST(Listener, ListensOnTheLoopbackOnlyAndOnlyWhileStarted)
{
    EnsureCoreApplication();
    LoopbackListener listener(0);
    EXPECT_FALSE(listener.IsListening());
    ASSERT_TRUE(listener.Start("s", [](const QString &) {}));
    EXPECT_TRUE(listener.IsListening());
    EXPECT_EQ(listener.RedirectAddress(), QString("http://127.0.0.1:%1").arg(listener.Port()));
    listener.Stop();
    EXPECT_FALSE(listener.IsListening());
    EXPECT_EQ(LoopbackListener().RedirectAddress(), "http://127.0.0.1:3000");
}

// Another user who holds the designed port first must not receive the code:
// the listener takes a port of the system's choosing and names that one.
TEST(Listener, TakenPortIsReplacedByOneTheSystemChooses)
{
    EnsureCoreApplication();
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::LocalHost, 0));
    LoopbackListener listener(squatter.serverPort());
    QString received;
    ASSERT_TRUE(listener.Start("st", [&](const QString &code) { received = code; }));
    EXPECT_NE(listener.Port(), squatter.serverPort());
    EXPECT_EQ(listener.RedirectAddress(), QString("http://127.0.0.1:%1").arg(listener.Port()));
    const QString host = QString("127.0.0.1:%1").arg(listener.Port());
    EXPECT_TRUE(BrowserGet(listener.Port(), "/?code=c1&state=st", host).startsWith("HTTP/1.1 200"));
    EXPECT_EQ(received, "c1");
}

// Silent connections are closed after the idle time, and only the newest
// sixteen are kept, so that a flood of them cannot keep the browser out.
TEST(Listener, IdleConnectionsAreClosedAndOnlySixteenKept)
{
    EnsureCoreApplication();
    LoopbackListener listener(0);
    listener.SetIdleCloseMs(1000);
    QString received;
    ASSERT_TRUE(listener.Start("st", [&](const QString &code) { received = code; }));
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    int closed = 0;
    for (int i = 0; i < 40; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        QObject::connect(idle.back().get(), &QTcpSocket::disconnected, [&] { ++closed; });
        idle.back()->connectToHost(QHostAddress::LocalHost, listener.Port());
    }
    auto waitFor = [&](int count, int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (closed < count && clock.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    waitFor(40 - LoopbackListener::kMaxConnections, 800); // before the idle time has passed
    EXPECT_EQ(closed, 40 - LoopbackListener::kMaxConnections);
    waitFor(40, 5000);
    EXPECT_EQ(closed, 40);
    const QString host = QString("127.0.0.1:%1").arg(listener.Port());
    EXPECT_TRUE(BrowserGet(listener.Port(), "/?code=c2&state=st", host).startsWith("HTTP/1.1 200"));
    EXPECT_EQ(received, "c2");
}

} // namespace
