#include "online/carddav/DavRequests.h"

#include "online/WebRequest.h"
#include "support/BoundedReply.h"

#include <QAuthenticator>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>

namespace cardolin::carddav {

const QString kRefusedPassword = QStringLiteral("The server refused the user name or password.");

QString ServerName(const QUrl &url)
{
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

int RetryAfterSeconds(const QByteArray &value, int fallback)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return fallback;
    bool number = false;
    qint64 seconds = text.toLongLong(&number);
    if (!number) {
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(text), Qt::RFC2822Date);
        if (!when.isValid())
            return fallback;
        seconds = QDateTime::currentDateTimeUtc().secsTo(when);
    }
    return int(qBound<qint64>(0, seconds, qint64(kMaxBusyWaitSeconds)));
}

namespace {

bool SameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
           && a.port(a.scheme() == QLatin1StringView("https") ? 443 : 80)
                  == b.port(b.scheme() == QLatin1StringView("https") ? 443 : 80);
}

QString Failure(const QString &what, const QUrl &url)
{
    return what.arg(ServerName(url));
}

} // namespace

DavTransport::DavTransport(QNetworkAccessManager &network, TDavCredentials credentials)
    : m_network(network), m_credentials(std::move(credentials))
{
}

void DavTransport::SetTiming(int idleMs, int deadlineMs)
{
    m_idleMs = idleMs;
    m_deadlineMs = deadlineMs;
}

DavAnswer DavTransport::Send(DavRequest request)
{
    int redirects = 0;
    int tries = 0;
    for (;;) {
        if (!IsSecureOrLoopback(request.url)) {
            DavAnswer refused;
            refused.outcome.error = QStringLiteral("The password goes to a server only over HTTPS (plain HTTP only "
                                                   "to this machine): %1://%2 was not asked.")
                                        .arg(request.url.scheme(), ServerName(request.url));
            return refused;
        }
        DavAnswer answer = SendOnce(request);
        const int status = answer.outcome.status;
        if (!answer.outcome.error.isEmpty())
            return answer;
        if (status >= 300 && status < 400 && status != 304 && !answer.location.isEmpty()) {
            const QUrl target = request.url.resolved(QUrl::fromEncoded(answer.location));
            if (!SameOrigin(target, request.url)) {
                answer.outcome.error = QStringLiteral("The server %1 sent the request on to %2; only addresses on the "
                                                      "same server are followed.")
                                           .arg(ServerName(request.url), target.toDisplayString(QUrl::RemoveUserInfo));
                return answer;
            }
            if (++redirects > kMaxRedirects) {
                answer.outcome.error = Failure(QStringLiteral("The server %1 sent the request on too many times."),
                                               request.url);
                return answer;
            }
            request.url = target;
            continue;
        }
        if ((status == 429 || status == 503) && ++tries < kBusyTries) {
            WaitResponsively(1000 * RetryAfterSeconds(answer.retryAfter, tries));
            continue;
        }
        if (status == 429 || status == 503)
            answer.outcome.error = Failure(QStringLiteral("The server %1 is busy and asked to wait; it was still busy "
                                                          "after %2 tries.")
                                               .arg(kBusyTries),
                                           request.url);
        return answer;
    }
}

DavAnswer DavTransport::SendOnce(const DavRequest &request)
{
    QNetworkRequest message(request.url);
    message.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    message.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Cardolin"));
    if (!request.body.isEmpty())
        message.setRawHeader("Content-Type", request.contentType);
    for (const auto &[name, value] : request.headers)
        message.setRawHeader(name, value);
    // Basic goes with every request, saving a refused round trip each time.
    if (!m_digest && !m_credentials.user.isEmpty())
        message.setRawHeader("Authorization",
                             "Basic " + (m_credentials.user + u':' + m_credentials.password).toUtf8().toBase64());
    std::unique_ptr<QNetworkReply> reply(request.body.isEmpty()
                                             ? m_network.sendCustomRequest(message, request.method)
                                             : m_network.sendCustomRequest(message, request.method, request.body));
    // Qt asks again when the password it was given failed: answering only
    // once ends that with the server's 401 instead of a loop.
    int asked = 0;
    QObject guard;
    QObject::connect(&m_network, &QNetworkAccessManager::authenticationRequired, &guard,
                     [&](QNetworkReply *which, QAuthenticator *authenticator) {
                         if (which != reply.get() || !m_digest || asked++ > 0)
                             return;
                         authenticator->setUser(m_credentials.user);
                         authenticator->setPassword(m_credentials.password);
                     });
    DavAnswer answer;
    const ReplyBounds bounds{m_idleMs, m_deadlineMs, request.maxBytes, false};
    const ReplyEnd end = AwaitReply(*reply, bounds, [&answer](const QByteArray &block) {
        answer.body += block;
        return true;
    });
    answer.url = request.url;
    if (end != ReplyEnd::Finished) {
        answer.tooLarge = end == ReplyEnd::TooLarge;
        answer.outcome.error = QStringLiteral("The server %1 gave no usable answer: %2.")
                                   .arg(ServerName(request.url), ReplyEndText(end, bounds));
        return answer;
    }
    answer.outcome.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (answer.outcome.status == 0) {
        answer.outcome.error =
            QStringLiteral("The server %1 could not be reached: %2.").arg(ServerName(request.url), reply->errorString());
        return answer;
    }
    // A reply cut short after its head still carries a status; Qt numbers
    // the failures of the connection itself below 100.
    if (reply->error() > QNetworkReply::NoError && reply->error() < QNetworkReply::ProxyConnectionRefusedError) {
        answer.outcome.error =
            QStringLiteral("The connection to %1 was cut: %2.").arg(ServerName(request.url), reply->errorString());
        return answer;
    }
    answer.etag = reply->rawHeader("ETag");
    answer.location = reply->rawHeader("Location");
    answer.retryAfter = reply->rawHeader("Retry-After");
    if (answer.outcome.status == 401) {
        const QByteArray challenge = reply->rawHeader("WWW-Authenticate").toLower();
        if (!m_digest && challenge.contains("digest") && !challenge.contains("basic")) {
            m_digest = true; // the next try goes through Qt's authenticator
            return SendOnce(request);
        }
        answer.outcome.error = kRefusedPassword;
    }
    return answer;
}

} // namespace cardolin::carddav

namespace cardolin::carddav {

const QByteArray kBookPropfind =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\" xmlns:cs=\"http://calendarserver.org/ns/\">"
    "<d:prop><d:resourcetype/><d:displayname/><d:current-user-principal/><card:addressbook-home-set/>"
    "<d:sync-token/><cs:getctag/><card:supported-address-data/><d:supported-report-set/></d:prop></d:propfind>";

QString StatusError(const DavRequest &request, int status)
{
    return QStringLiteral("The server %1 answered %2 to %3 %4.")
        .arg(ServerName(request.url))
        .arg(status)
        .arg(QString::fromLatin1(request.method), request.url.path());
}

DavAnswer SendForMultistatus(DavTransport &transport, const DavRequest &request, DavMultistatus &parsed)
{
    DavAnswer answer = transport.Send(request);
    if (!answer.outcome.error.isEmpty())
        return answer;
    if (answer.outcome.status != 207) {
        answer.outcome.error = StatusError(request, answer.outcome.status);
        return answer;
    }
    parsed = ParseMultistatus(answer.body);
    if (!parsed.error.isEmpty())
        answer.outcome.error = QStringLiteral("The server %1 sent an answer that cannot be read: %2.")
                                   .arg(ServerName(request.url), parsed.error);
    return answer;
}

QString DecodedPath(const QUrl &base, const QString &href)
{
    return base.resolved(QUrl(href, QUrl::TolerantMode)).path(QUrl::FullyDecoded);
}

QUrl WithPath(const QUrl &base, const QString &path)
{
    QUrl url = base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

bool SamePath(const QString &a, const QString &b)
{
    auto bare = [](const QString &path) { return path.endsWith(u'/') ? path.chopped(1) : path; };
    return bare(a) == bare(b);
}

TAddressBookInfo BookInfoOf(const DavResponse &response, const QUrl &base)
{
    TAddressBookInfo info;
    info.href = DecodedPath(base, response.href);
    if (!info.href.endsWith(u'/'))
        info.href += u'/';
    info.displayName = response.props.displayName;
    info.syncToken = response.props.syncToken;
    info.ctag = response.props.ctag;
    info.vcard4 = response.props.vcard4;
    info.syncCollection = response.props.syncCollection;
    return info;
}

} // namespace cardolin::carddav
