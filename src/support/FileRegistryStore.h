#pragma once

#include "platform/FileSystem.h"
#include "support/RegistryStore.h"

namespace cardolin {

class UserPrompts;

// The settings store kept in one text file (see RegistryText.h). Every change is
// written at once, through a temporary file renamed over the old one, under a
// lock file so that two programs of the same user (the desktop program and
// quillet-cli) do not lose each other's changes; a file changed by another
// program is read again before the next read or change.
//
// A file that cannot be read is moved aside with a warning and never
// overwritten; when even that fails, the store keeps its changes in memory only.
class FileRegistryStore final : public RegistryStore
{
public:
    FileRegistryStore(QString fileName, UserPrompts &prompts);

    const QString &FileName() const { return m_fileName; }
    // False once the file could be neither read nor moved aside.
    bool Persistent() const { return m_persistent; }

protected:
    const RegistryKey &Root() const override;
    bool Change(const std::function<bool(RegistryKey &root)> &change) override;
    bool RunBatch(const std::function<bool()> &changes) override;

private:
    void Refresh() const;
    void SetAside(const QString &reason) const;
    bool Save();

    QString m_fileName;
    UserPrompts &m_prompts;
    mutable std::unique_ptr<RegistryKey> m_root = std::make_unique<RegistryKey>();
    mutable platform::FileStamp m_seen;
    mutable bool m_persistent = true;
    int m_batchDepth = 0;
};

} // namespace cardolin
