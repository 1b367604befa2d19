#include "support/StringEncryption.h"

namespace cardolin {

namespace {

QString Hex(qint64 value)
{
    return QString::number(quint32(value), 16).toUpper().rightJustified(2, u'0');
}

} // namespace

QString EncryptString(const QString &text, const QString &baseKey, int startKey)
{
    Q_ASSERT(!baseKey.isEmpty());
    qint64 key = startKey; // wide, so no start key can overflow the sum
    QString out = Hex(key);
    for (qsizetype i = 0; i < text.size(); ++i) {
        key = ((key + text[i].unicode()) % 255) ^ baseKey[i % baseKey.size()].unicode();
        out += Hex(key);
    }
    return out;
}

std::optional<QString> DecryptString(const QString &cipher, const QString &baseKey)
{
    if (baseKey.isEmpty() || cipher.size() < 2 || cipher.size() % 2 != 0)
        return std::nullopt;
    bool ok = false;
    int previous = cipher.left(2).toInt(&ok, 16);
    QString text;
    for (qsizetype at = 2, i = 0; ok && at < cipher.size(); at += 2, ++i) {
        const int pair = cipher.mid(at, 2).toInt(&ok, 16);
        const int mixed = pair ^ baseKey[i % baseKey.size()].unicode();
        text += QChar(char16_t(previous < mixed ? mixed - previous : mixed - previous + 255));
        previous = pair;
    }
    return ok ? std::optional(text) : std::nullopt;
}

} // namespace cardolin
