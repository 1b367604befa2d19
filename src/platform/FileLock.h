#pragma once

#include <QString>

namespace cardolin::platform {

// A lock file that one process at a time holds, for as long as it keeps the
// object (or until Unlock). The kernel's lock on the open file is what counts,
// so the file of a process that ended is taken over at once; the text in the
// file only names the holder for the others.
class FileLock
{
public:
    explicit FileLock(QString path) : m_path(std::move(path)) {}
    ~FileLock() { Unlock(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    const QString &Path() const { return m_path; }
    bool Locked() const { return m_fd >= 0; }
    // Takes the lock, waiting up to waitMs while another process holds it.
    // False with Holder() or Error() telling why.
    bool Lock(int waitMs);
    void Unlock();
    // After a failed Lock: who holds it, as "quillet-cli (process 12, host
    // pc1)", or empty when the lock could not even be tried.
    const QString &Holder() const { return m_holder; }
    // After a failed Lock that had nothing to do with another holder.
    const QString &Error() const { return m_error; }

private:
    enum class Attempt { Taken, Held, Failed, Again };
    Attempt TryOnce();

    QString m_path;
    int m_fd = -1;
    QString m_holder;
    QString m_error;
};

} // namespace cardolin::platform
