#include "online/carddav/DavRequests.h"

#include "online/WebRequest.h"
#include "support/BoundedReply.h"

#include <QDateTime>
#include <QLocale>
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
        // "Fri, 11 Dec 2026 10:18:12 GMT", which Qt's RFC 2822 reading refuses for its zone name.
        QDateTime when = QLocale::c().toDateTime(QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
        when.setTimeSpec(Qt::UTC);
        if (!when.isValid())
            when = QDateTime::fromString(QString::fromLatin1(text), Qt::RFC2822Date);
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

} // namespace

DavTransport::DavTransport(QNetworkAccessManager &network, TDavCredentials credentials)
    : m_network(network), m_credentials(std::move(credentials))
{
}

void DavTransport::SetLimits(int idleMs, int deadlineMs, qint64 maxAnswerBytes)
{
    m_idleMs = idleMs;
    m_deadlineMs = deadlineMs;
    m_maxAnswerBytes = maxAnswerBytes;
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
                answer.outcome.error =
                    QStringLiteral("The server %1 sent the request on too many times.").arg(ServerName(request.url));
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
            answer.outcome.error =
                QStringLiteral("The server %1 is busy and asked to wait; it was still busy after %2 tries.")
                    .arg(ServerName(request.url))
                    .arg(kBusyTries);
        return answer;
    }
}

DavAnswer DavTransport::SendOnce(const DavRequest &request, bool retried)
{
    QNetworkRequest message(request.url);
    message.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    message.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Cardolin"));
    // Qt would answer a challenge with what it cached for the host, which may
    // be another account's password: only this client's goes out.
    message.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    if (!request.body.isEmpty())
        message.setRawHeader("Content-Type", request.contentType);
    for (const auto &[name, value] : request.headers)
        message.setRawHeader(name, value);
    // The password goes with every request, saving a refused round trip each time.
    if (m_digest.Ready())
        message.setRawHeader("Authorization", m_digest.Header(m_credentials.user, m_credentials.password,
                                                              request.method, request.url.toEncoded(
                                                                  QUrl::RemoveScheme | QUrl::RemoveAuthority)));
    else if (!m_credentials.user.isEmpty())
        message.setRawHeader("Authorization",
                             "Basic " + (m_credentials.user + u':' + m_credentials.password).toUtf8().toBase64());
    std::unique_ptr<QNetworkReply> reply(request.body.isEmpty()
                                             ? m_network.sendCustomRequest(message, request.method)
                                             : m_network.sendCustomRequest(message, request.method, request.body));
    DavAnswer answer;
    const qint64 cap = m_maxAnswerBytes > 0 ? qMin(m_maxAnswerBytes, request.maxBytes) : request.maxBytes;
    const ReplyBounds bounds{m_idleMs, m_deadlineMs, cap, false};
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
        // One more try when the server first asks for Digest, or calls the
        // nonce it gave stale; a refusal of a fresh answer is the password's.
        const bool answered = m_digest.Ready() && !m_digest.Stale();
        if (!m_credentials.user.isEmpty() && m_digest.Take(reply->rawHeader("WWW-Authenticate"))
            && (!answered || m_digest.Stale()) && !retried)
            return SendOnce(request, true);
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
