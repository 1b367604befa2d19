#pragma once

#include <QByteArray>
#include <QString>

namespace cardolin::carddav {

// HTTP Digest authentication done by the client itself: Qt's authenticator
// would reuse what it cached for the host, which may be another account's
// password, and costs a refused round trip per request. One challenge
// serves every later request (with a counter) until the server calls it
// stale.
class DigestAuth
{
public:
    // Takes the Digest challenge of a WWW-Authenticate header; false when it
    // holds none this client can answer (MD5, MD5-sess, SHA-256; qop auth or none).
    bool Take(const QByteArray &header);
    bool Ready() const { return !m_nonce.isEmpty(); }
    // The challenge said stale=true: the password was right, the nonce old.
    bool Stale() const { return m_stale; }
    // The Authorization header for one request.
    QByteArray Header(const QString &user, const QString &password, const QByteArray &method, const QByteArray &uri);

private:
    QByteArray Hash(const QByteArray &text) const;

    QByteArray m_realm, m_nonce, m_opaque, m_algorithm;
    bool m_qop = false;
    bool m_stale = false;
    int m_count = 0;
};

} // namespace cardolin::carddav
