#include "online/AccountEncryption.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <QByteArray>

#include <array>
#include <memory>

namespace cardolin {

const QString kGoogleAccountPassPhrase = QStringLiteral("Vq7#Lm2pRz!cardolin-acct.Kx9wT4sNe8&");

namespace {

using Cipher = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

QByteArray Utf16Le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        bytes[2 * i] = char(unit & 0xFF);
        bytes[2 * i + 1] = char(unit >> 8);
    }
    return bytes;
}

// The 24-byte key and the initial vector derived from it; wiped when dropped.
struct KeyMaterial
{
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    std::array<unsigned char, 8> iv{};
    ~KeyMaterial() { OPENSSL_cleanse(digest.data(), digest.size()); OPENSSL_cleanse(iv.data(), iv.size()); }
};

bool Derive(const QString &passPhrase, KeyMaterial &key)
{
    QByteArray phrase = Utf16Le(passPhrase);
    SHA256(reinterpret_cast<const unsigned char *>(phrase.constData()), size_t(phrase.size()), key.digest.data());
    OPENSSL_cleanse(phrase.data(), size_t(phrase.size()));
    Cipher ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    const std::array<unsigned char, 8> zero{};
    int length = 0;
    return ctx && EVP_EncryptInit_ex(ctx.get(), EVP_des_ede3_ecb(), nullptr, key.digest.data(), nullptr) == 1
           && EVP_CIPHER_CTX_set_padding(ctx.get(), 0) == 1
           && EVP_EncryptUpdate(ctx.get(), key.iv.data(), &length, zero.data(), int(zero.size())) == 1 && length == 8;
}

// CFB-8 in either direction over bytes, under the pass phrase's key.
QByteArray Transform(const QByteArray &input, const QString &passPhrase, bool encrypt)
{
    KeyMaterial key;
    if (input.isEmpty() || !Derive(passPhrase, key))
        return {};
    Cipher ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    QByteArray output(input.size(), Qt::Uninitialized);
    int length = 0;
    if (!ctx
        || EVP_CipherInit_ex(ctx.get(), EVP_des_ede3_cfb8(), nullptr, key.digest.data(), key.iv.data(), encrypt ? 1 : 0)
               != 1
        || EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char *>(output.data()), &length,
                            reinterpret_cast<const unsigned char *>(input.constData()), int(input.size()))
               != 1
        || length != input.size())
        return {};
    return output;
}

} // namespace

QString DCPEncryptString(const QString &AString, const QString &EncryptionKey)
{
    QByteArray plain = Utf16Le(AString);
    const QByteArray cipher = Transform(plain, EncryptionKey, true);
    OPENSSL_cleanse(plain.data(), size_t(plain.size()));
    return QString::fromLatin1(cipher.toBase64());
}

QString DCPDecryptString(const QString &AString, const QString &EncryptionKey)
{
    QByteArray cipher = QByteArray::fromBase64(AString.toLatin1());
    cipher.truncate(cipher.size() & ~qsizetype(1)); // whole UTF-16 units only
    const QByteArray plain = Transform(cipher, EncryptionKey, false);
    QString text(plain.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(quint8(plain[2 * i]) | (quint8(plain[2 * i + 1]) << 8)));
    return text;
}

QString EncryptAccountSecret(const QString &plain)
{
    return DCPEncryptString(plain, kGoogleAccountPassPhrase);
}

QString DecryptAccountSecret(const QString &stored)
{
    return DCPDecryptString(stored, kGoogleAccountPassPhrase);
}

} // namespace cardolin
