#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace cardolin {
class TQorRegistryEnhanced;
}

namespace cardolin::platform {

// Where the secrets of accounts are kept. A secret is named by a service (the
// settings key of its account) and a key (the value's name).
class SecretStore
{
public:
    virtual ~SecretStore() = default;
    // Null when nothing is stored under the name or the store did not answer.
    virtual std::optional<QString> Read(const QString &service, const QString &key) = 0;
    // True when the store holds the secret afterwards.
    virtual bool Write(const QString &service, const QString &key, const QString &secret) = 0;
    // True when nothing is left under the name afterwards.
    virtual bool Remove(const QString &service, const QString &key) = 0;
    // Whether the store can be used at all now.
    virtual bool Answers() = 0;
};

// The desktop session's Secret Service keyring. Every call waits for its
// answer in a local event loop, at most `deadline`, so a D-Bus that never
// answers costs time but cannot hang the program. Entries are filed under
// `application`, named "service\key".
class KeyringSecretStore final : public SecretStore
{
public:
    explicit KeyringSecretStore(QString application,
                                std::chrono::milliseconds deadline = std::chrono::seconds(10));
    std::optional<QString> Read(const QString &service, const QString &key) override;
    bool Write(const QString &service, const QString &key, const QString &secret) override;
    bool Remove(const QString &service, const QString &key) override;
    // A lookup of a name nobody uses comes back "not found".
    bool Answers() override;

private:
    QString m_application;
    std::chrono::milliseconds m_deadline;
};

// The fallback: values in the settings store at "service\key", in the form the
// cipher makes of them. It only keeps a secret from a casual look.
struct SecretCipher
{
    QString (*encrypt)(const QString &plain);
    QString (*decrypt)(const QString &stored);
};

class SettingsSecretStore final : public SecretStore
{
public:
    SettingsSecretStore(TQorRegistryEnhanced &registry, SecretCipher cipher)
        : m_reading(registry), m_writing(&registry), m_cipher(cipher)
    {
    }
    // Read only: Write and Remove fail.
    SettingsSecretStore(const TQorRegistryEnhanced &registry, SecretCipher cipher)
        : m_reading(registry), m_cipher(cipher)
    {
    }
    std::optional<QString> Read(const QString &service, const QString &key) override;
    bool Write(const QString &service, const QString &key, const QString &secret) override;
    bool Remove(const QString &service, const QString &key) override;
    bool Answers() override { return true; }

private:
    const TQorRegistryEnhanced &m_reading;
    TQorRegistryEnhanced *m_writing = nullptr;
    SecretCipher m_cipher;
};

// The keyring this program keeps new secrets in: the session's, when one
// answers the first time it is asked; null when none does.
SecretStore *SessionKeyring();
// Replaces the answer of SessionKeyring (null: no keyring). Test programs
// start with none, so that they never touch the keyring of the person running them.
void UseSessionKeyring(SecretStore *keyring);

} // namespace cardolin::platform
