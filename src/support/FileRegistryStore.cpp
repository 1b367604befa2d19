#include "support/FileRegistryStore.h"

#include "support/RegistryText.h"
#include "platform/FileSystem.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace cardolin {

namespace {

constexpr int kLockWaitMs = 5000;
constexpr int kAsideAttempts = 100;

// Counts the batches in progress, also when a change throws.
class Nesting
{
public:
    explicit Nesting(int &depth) : m_depth(++depth) {}
    ~Nesting() { --m_depth; }
    Nesting(const Nesting &) = delete;
    Nesting &operator=(const Nesting &) = delete;

private:
    int &m_depth;
};

QString AsideName(const QString &fileName, int attempt)
{
    return fileName + (attempt == 1 ? QStringLiteral(".bad") : QStringLiteral(".bad%1").arg(attempt));
}

} // namespace

FileRegistryStore::FileRegistryStore(QString fileName, UserPrompts &prompts)
    : m_fileName(std::move(fileName)), m_prompts(prompts)
{
    Refresh();
}

const RegistryKey &FileRegistryStore::Root() const
{
    if (m_batchDepth == 0)
        Refresh();
    return *m_root;
}

void FileRegistryStore::Refresh() const
{
    const platform::FileStamp stamp = platform::StampOf(m_fileName);
    if (!m_persistent || stamp == m_seen)
        return;
    m_seen = stamp;
    if (!stamp.exists) {
        m_root = std::make_unique<RegistryKey>();
        return;
    }
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return SetAside(file.errorString());
    QString error;
    // One byte more than allowed is enough to see that the file is too large.
    std::unique_ptr<RegistryKey> root = registrytext::Read(file.read(registrytext::kMaxFileBytes + 1), error);
    if (file.error() != QFile::NoError)
        return SetAside(file.errorString());
    if (!root)
        return SetAside(error);
    m_root = std::move(root);
}

// Keeps what the store held so far: at start that is nothing, later it is the
// last good state, which the next change writes out again.
void FileRegistryStore::SetAside(const QString &reason) const
{
    for (int attempt = 1; attempt <= kAsideAttempts; ++attempt) {
        const QString aside = AsideName(m_fileName, attempt);
        if (platform::MoveFile(m_fileName, aside, platform::MoveMode::KeepExisting)) {
            m_seen = platform::StampOf(m_fileName);
            m_prompts.ShowWarning(QStringLiteral("The settings file \"%1\" cannot be read (%2). It was kept as \"%3\" "
                                                 "and the settings start again from their defaults.")
                                      .arg(m_fileName, reason, aside));
            return;
        }
        if (!QFileInfo::exists(aside))
            break;
    }
    m_persistent = false;
    m_prompts.ShowWarning(QStringLiteral("The settings file \"%1\" cannot be read (%2) and cannot be moved aside. "
                                         "It is left as it is, and settings will not be saved.")
                              .arg(m_fileName, reason));
}

bool FileRegistryStore::Change(const std::function<bool(RegistryKey &root)> &change)
{
    return RunBatch([&] { return change(*m_root); });
}

bool FileRegistryStore::RunBatch(const std::function<bool()> &changes)
{
    // Without the lock (a read-only folder, a stuck holder) the change still goes
    // ahead: losing it for sure is worse than a rare race.
    QLockFile lock(m_fileName + QStringLiteral(".lock"));
    if (m_batchDepth == 0) {
        if (m_persistent && platform::MakePrivateFolder(QFileInfo(m_fileName).path()))
            lock.tryLock(kLockWaitMs);
        Refresh();
    }
    return RunOrRestore(m_root, [&] {
        bool done = false;
        {
            const Nesting nesting(m_batchDepth);
            done = changes();
        }
        // Only the outermost batch writes the file.
        return done && (m_batchDepth > 0 || !m_persistent || Save());
    });
}

bool FileRegistryStore::Save()
{
    // A file too large to be read back would be set aside at the next start.
    const QByteArray text = registrytext::Write(*m_root);
    if (text.size() > registrytext::kMaxFileBytes)
        return false;
    // The store holds tokens of online accounts: other users may not read it.
    const bool saved = platform::SavePrivateFile(m_fileName, text);
    if (saved)
        m_seen = platform::StampOf(m_fileName);
    return saved;
}

} // namespace cardolin
