#pragma once

#include "online/carddav/CardDavClient.h"
#include "online/carddav/DavDigest.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>

class QNetworkAccessManager;

namespace cardolin::carddav {

// Most a multistatus answer may hold, and a single card fetched alone.
constexpr qint64 kMaxMultistatusBytes = 50 * 1024 * 1024;
constexpr qint64 kMaxCardAnswerBytes = 10 * 1024 * 1024;
// Tries of a request the server answered 429 or 503, and the longest wait between them.
constexpr int kBusyTries = 3;
constexpr int kMaxBusyWaitSeconds = 60;
constexpr int kMaxRedirects = 5;

struct DavRequest
{
    QByteArray method;
    QUrl url;
    QByteArray body; // XML unless contentType says otherwise
    QByteArray contentType = "application/xml; charset=utf-8";
    QList<QPair<QByteArray, QByteArray>> headers;
    qint64 maxBytes = kMaxMultistatusBytes;
};

struct DavAnswer
{
    TDavOutcome outcome; // error set only when no usable answer came (network, auth, busy, redirects)
    QByteArray body;
    QByteArray etag;
    QUrl url; // where the answer came from, after redirects
    bool tooLarge = false;
    QByteArray location;
    QByteArray retryAfter;
};

// Sends WebDAV requests with the account's password: Basic from the first
// request on, Digest once the server asks for it; redirects followed on the
// same scheme, host and port only; 429 and 503 waited out a few times.
class DavTransport
{
public:
    DavTransport(QNetworkAccessManager &network, TDavCredentials credentials);

    DavAnswer Send(DavRequest request);
    // Milliseconds without a byte and for the whole request; a lower cap
    // than each request's own (0: none).
    void SetLimits(int idleMs, int deadlineMs, qint64 maxAnswerBytes);

private:
    DavAnswer SendOnce(const DavRequest &request, bool retried = false);
    QNetworkAccessManager &m_network;
    TDavCredentials m_credentials;
    DigestAuth m_digest; // ready once the server asked for Digest
    int m_idleMs = 30000;
    int m_deadlineMs = 180000;
    qint64 m_maxAnswerBytes = 0;
};

// "127.0.0.1:5232" and the like, for messages: never the user or the path.
QString ServerName(const QUrl &url);

// Seconds to wait from a Retry-After value (seconds or an HTTP date), at most
// the cap; fallback when it is missing or unreadable.
int RetryAfterSeconds(const QByteArray &value, int fallback);

extern const QString kRefusedPassword;

} // namespace cardolin::carddav

#include "online/carddav/DavXml.h"

namespace cardolin::carddav {

// The props a book's PROPFIND asks for: what TAddressBookInfo holds.
extern const QByteArray kBookPropfind;

// Sends a request whose answer must be a 207 multistatus and reads it; any
// other answer, or one that cannot be read, leaves outcome.error set.
DavAnswer SendForMultistatus(DavTransport &transport, const DavRequest &request, DavMultistatus &parsed);

// "The server x answered 500 to PUT /path." for answers the caller cannot use.
QString StatusError(const DavRequest &request, int status);

// The percent-decoded absolute path an href names, relative ones resolved against base.
QString DecodedPath(const QUrl &base, const QString &href);
// base with its path replaced by a decoded path, encoded as it must be.
QUrl WithPath(const QUrl &base, const QString &path);
// Paths compared without minding a trailing '/'.
bool SamePath(const QString &a, const QString &b);

TAddressBookInfo BookInfoOf(const DavResponse &response, const QUrl &base);

} // namespace cardolin::carddav
