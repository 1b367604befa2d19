#include "platform/FileLock.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"
#include "platform/UserAccounts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardolin::platform {

namespace {

QString ProgramName()
{
    const QString name = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? ExecutableFileName() : name;
}

// "program\npid\nhost\n", what the holder writes into the file.
QByteArray HolderLines()
{
    return ProgramName().toUtf8() + '\n' + QByteArray::number(qint64(::getpid())) + '\n' + ComputerName().toUtf8()
           + '\n';
}

// The owner of another user's lock file, empty for our own. In a shared
// folder the text in the file is whatever its owner wrote; the owner is not.
QString ForeignOwner(const struct stat &info)
{
    return info.st_uid == ::geteuid() ? QString() : UserNameOf(info.st_uid);
}

QString HolderText(int fd)
{
    char buffer[512];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    const QList<QByteArray> lines = QByteArray(buffer, n > 0 ? n : 0).split('\n');
    struct stat info {};
    const QString owner = ::fstat(fd, &info) == 0 ? ForeignOwner(info) : QString();
    if (lines.size() < 3 || lines[0].isEmpty())
        return owner.isEmpty() ? QStringLiteral("another program")
                               : QStringLiteral("another program of user %1").arg(owner);
    QString text = QStringLiteral("%1 (process %2, host %3")
                       .arg(QString::fromUtf8(lines[0]), QString::fromUtf8(lines[1]), QString::fromUtf8(lines[2]));
    if (!owner.isEmpty())
        text += QStringLiteral(", user %1").arg(owner);
    return text + u')';
}

// Why the lock file at path cannot be opened, in the user's terms.
QString OpenFailure(const QByteArray &path, int error)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return SystemReason(error);
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("a symbolic link stands where its lock file \"%1\" belongs")
            .arg(QFile::decodeName(path));
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("\"%1\" is no file that can serve as its lock").arg(QFile::decodeName(path));
    const QString owner = ForeignOwner(info);
    if (!owner.isEmpty())
        return QStringLiteral("its lock file \"%1\" belongs to user %2 (%3)")
            .arg(QFile::decodeName(path), owner, SystemReason(error));
    return SystemReason(error);
}

// The descriptor still names the file at path: a holder that let go unlinks
// the file, and a lock on the unlinked one would guard nothing.
bool StillAt(int fd, const QByteArray &path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
           && opened.st_ino == named.st_ino;
}

} // namespace

FileLock::Attempt FileLock::TryOnce()
{
    const QByteArray path = QFile::encodeName(m_path);
    // Readable by all: in a shared folder the others must be able to read who
    // holds it and to test whether the holder still lives.
    bool writable = true;
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EACCES) {
        writable = false;
        fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) {
        m_error = OpenFailure(path, errno);
        return Attempt::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        m_holder = HolderText(fd);
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Attempt::Held;
        m_holder.clear();
        m_error = SystemReason(error);
        return Attempt::Failed;
    }
    if (!StillAt(fd, path)) {
        ::close(fd);
        return Attempt::Again;
    }
    if (!writable) {
        // Another user's file whose holder has gone: it goes, and a new one
        // of ours takes its place. A sticky shared folder forbids that: say
        // whose file it is rather than wait for a holder that is not there.
        if (::unlink(path.constData()) == 0) {
            ::close(fd);
            return Attempt::Again;
        }
        const int error = errno;
        struct stat info {};
        const QString owner = ::fstat(fd, &info) == 0 ? ForeignOwner(info) : QString();
        ::close(fd);
        m_error = QStringLiteral("its lock file \"%1\" was left by user %2, no program holds it, and it cannot be "
                                 "removed here (%3)")
                      .arg(QFile::decodeName(path), owner.isEmpty() ? QStringLiteral("another user") : owner,
                           SystemReason(error));
        return Attempt::Failed;
    }
    const QByteArray lines = HolderLines();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, lines.constData(), size_t(lines.size()), 0) != lines.size()) {
        m_error = SystemReason(errno);
        ::unlink(path.constData());
        ::close(fd);
        return Attempt::Failed;
    }
    m_fd = fd;
    return Attempt::Taken;
}

bool FileLock::Lock(int waitMs)
{
    if (Locked())
        return true;
    m_holder.clear();
    m_error.clear();
    const QDeadlineTimer deadline(waitMs);
    for (int changes = 0;;) {
        switch (TryOnce()) {
        case Attempt::Taken: return true;
        case Attempt::Failed: return false;
        case Attempt::Again:
            if (++changes < 100)
                continue;
            m_error = QStringLiteral("the lock file keeps changing");
            return false;
        case Attempt::Held: break;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(quint64(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
    }
}

void FileLock::Unlock()
{
    if (m_fd < 0)
        return;
    // Unlinked while still locked: a waiter that opened this file sees that
    // it is gone and starts again on a new one.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

} // namespace cardolin::platform
