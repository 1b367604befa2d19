#include "platform/SecretStore.h"

#include "support/QorRegistryEnhanced.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <mutex>

namespace cardolin::platform {

namespace {

QString EntryName(const QString &service, const QString &key)
{
    return service + u'\\' + key;
}

struct JobOutcome
{
    bool finished = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Starts the job and waits for it. A job still running at the deadline is
// left to finish (and delete itself) on its own; its answer is ignored.
JobOutcome Run(QKeychain::Job *job, std::chrono::milliseconds deadline)
{
    JobOutcome outcome;
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&outcome, &loop](QKeychain::Job *done) {
        outcome.finished = true;
        outcome.error = done->error();
        if (const auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(done))
            outcome.text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(deadline, &loop, &QEventLoop::quit);
    job->start();
    // The window stays painted but takes no clicks or keys meanwhile.
    if (!outcome.finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A job that never ends goes with the application rather than leak.
    if (!outcome.finished)
        job->setParent(QCoreApplication::instance());
    return outcome;
}

bool CanWait()
{
    return QCoreApplication::instance() != nullptr;
}

} // namespace

KeyringSecretStore::KeyringSecretStore(QString application, std::chrono::milliseconds deadline)
    : m_application(std::move(application)), m_deadline(deadline)
{
}

std::optional<QString> KeyringSecretStore::Read(const QString &service, const QString &key)
{
    if (!CanWait())
        return std::nullopt;
    auto *job = new QKeychain::ReadPasswordJob(m_application);
    job->setKey(EntryName(service, key));
    const JobOutcome outcome = Run(job, m_deadline);
    if (!outcome.finished || outcome.error != QKeychain::NoError)
        return std::nullopt;
    return outcome.text;
}

bool KeyringSecretStore::Write(const QString &service, const QString &key, const QString &secret)
{
    if (!CanWait())
        return false;
    auto *job = new QKeychain::WritePasswordJob(m_application);
    job->setKey(EntryName(service, key));
    job->setTextData(secret);
    const JobOutcome outcome = Run(job, m_deadline);
    return outcome.finished && outcome.error == QKeychain::NoError;
}

bool KeyringSecretStore::Remove(const QString &service, const QString &key)
{
    if (!CanWait())
        return false;
    auto *job = new QKeychain::DeletePasswordJob(m_application);
    job->setKey(EntryName(service, key));
    const JobOutcome outcome = Run(job, m_deadline);
    return outcome.finished && (outcome.error == QKeychain::NoError || outcome.error == QKeychain::EntryNotFound);
}

bool KeyringSecretStore::Answers()
{
    if (!CanWait())
        return false;
    auto *job = new QKeychain::ReadPasswordJob(m_application);
    job->setKey(QStringLiteral("probe: no secret is kept under this name"));
    const JobOutcome outcome = Run(job, m_deadline);
    return outcome.finished && (outcome.error == QKeychain::NoError || outcome.error == QKeychain::EntryNotFound);
}

std::optional<QString> SettingsSecretStore::Read(const QString &service, const QString &key)
{
    const QString path = EntryName(service, key);
    if (!m_reading.ValueExists(path))
        return std::nullopt;
    return m_cipher.decrypt(m_reading.GetValueDefault(path, QString()).toString());
}

bool SettingsSecretStore::Write(const QString &service, const QString &key, const QString &secret)
{
    return m_writing && m_writing->SetTypedValue(EntryName(service, key), m_cipher.encrypt(secret), btNone);
}

bool SettingsSecretStore::Remove(const QString &service, const QString &key)
{
    const QString path = EntryName(service, key);
    return m_writing && (m_writing->DeleteValue(path) || !m_reading.ValueExists(path));
}

namespace {

struct KeyringChoice
{
    std::recursive_mutex lock; // a probe's event loop may ask again
    bool decided = false;
    SecretStore *chosen = nullptr;
    std::unique_ptr<KeyringSecretStore> session;
};

KeyringChoice &Choice()
{
    static KeyringChoice choice;
    return choice;
}

} // namespace

SecretStore *SessionKeyring()
{
    KeyringChoice &choice = Choice();
    const std::lock_guard<std::recursive_mutex> guard(choice.lock);
    if (!choice.decided) {
        choice.decided = true;
        choice.session = std::make_unique<KeyringSecretStore>(QStringLiteral("Cardolin"));
        if (choice.session->Answers())
            choice.chosen = choice.session.get();
    }
    return choice.chosen;
}

void UseSessionKeyring(SecretStore *keyring)
{
    KeyringChoice &choice = Choice();
    const std::lock_guard<std::recursive_mutex> guard(choice.lock);
    choice.decided = true;
    choice.chosen = keyring;
}

} // namespace cardolin::platform
