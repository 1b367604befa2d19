#include "online/carddav/DavDigest.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace cardolin::carddav {

namespace {

// name=value and name="value" pairs; the first of each name counts, so a
// Basic challenge after the Digest one cannot change its realm.
QHash<QByteArray, QByteArray> Parameters(const QByteArray &text)
{
    static const QRegularExpression pair(QStringLiteral("([A-Za-z-]+)\\s*=\\s*(?:\"((?:[^\"\\\\]|\\\\.)*)\"|([^,\\s]*))"));
    QHash<QByteArray, QByteArray> values;
    for (auto it = pair.globalMatch(QString::fromLatin1(text)); it.hasNext();) {
        const auto match = it.next();
        const QByteArray name = match.captured(1).toLower().toLatin1();
        if (!values.contains(name))
            values.insert(name, (match.captured(2) + match.captured(3)).toLatin1());
    }
    return values;
}

} // namespace

bool DigestAuth::Take(const QByteArray &header)
{
    const qsizetype start = header.toLower().indexOf("digest ");
    if (start < 0)
        return false;
    const QHash<QByteArray, QByteArray> values = Parameters(header.mid(start + 7));
    const QByteArray algorithm = values.value("algorithm", "MD5").toUpper();
    if (algorithm != "MD5" && algorithm != "MD5-SESS" && algorithm != "SHA-256")
        return false;
    const QList<QByteArray> qops = values.value("qop").split(',');
    m_qop = false;
    for (const QByteArray &qop : qops)
        m_qop |= qop.trimmed() == "auth";
    if (!m_qop && values.contains("qop"))
        return false; // only auth-int offered
    m_realm = values.value("realm");
    m_nonce = values.value("nonce");
    m_opaque = values.value("opaque");
    m_algorithm = algorithm;
    m_stale = values.value("stale").toLower() == "true";
    m_count = 0;
    return !m_nonce.isEmpty();
}

QByteArray DigestAuth::Hash(const QByteArray &text) const
{
    return QCryptographicHash::hash(text, m_algorithm == "SHA-256" ? QCryptographicHash::Sha256
                                                                   : QCryptographicHash::Md5)
        .toHex();
}

QByteArray DigestAuth::Header(const QString &user, const QString &password, const QByteArray &method,
                              const QByteArray &uri)
{
    const QByteArray count = QByteArray::number(++m_count, 16).rightJustified(8, '0');
    const QByteArray cnonce = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    QByteArray first = Hash(user.toUtf8() + ':' + m_realm + ':' + password.toUtf8());
    if (m_algorithm == "MD5-SESS")
        first = Hash(first + ':' + m_nonce + ':' + cnonce);
    const QByteArray second = Hash(method + ':' + uri);
    const QByteArray response = m_qop ? Hash(first + ':' + m_nonce + ':' + count + ':' + cnonce + ":auth:" + second)
                                      : Hash(first + ':' + m_nonce + ':' + second);
    auto quoted = [](const QByteArray &value) {
        return '"' + QByteArray(value).replace('\\', "\\\\").replace('"', "\\\"") + '"';
    };
    QByteArray header = "Digest username=" + quoted(user.toUtf8()) + ", realm=" + quoted(m_realm)
                        + ", nonce=" + quoted(m_nonce) + ", uri=" + quoted(uri) + ", algorithm=" + m_algorithm
                        + ", response=" + quoted(response);
    if (m_qop)
        header += ", qop=auth, nc=" + count + ", cnonce=" + quoted(cnonce);
    if (!m_opaque.isEmpty())
        header += ", opaque=" + quoted(m_opaque);
    return header;
}

} // namespace cardolin::carddav
