#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace cardolin::platform {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileStamp StampOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// rename() replaces silently; RENAME_NOREPLACE refuses when the target exists.
int RenameNoReplace(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
#endif
    // A file system without the flag: link() also refuses an existing target.
    if (::link(from.constData(), to.constData()) != 0)
        return -1;
    return ::unlink(from.constData());
}

// The end of the chain of links at path (path itself when it is no link).
QString FollowLinks(QString path)
{
    for (int depth = 0; depth < 40 && QFileInfo(path).isSymLink(); ++depth)
        path = QFileInfo(path).symLinkTarget();
    return path;
}

// The permission bits a saved file gets: those of the model when it is a
// regular file, else owner-only. The model is looked at itself, never through
// a link, when follow is false.
mode_t ModeFor(const QString &model, bool follow)
{
    struct stat info {};
    const QByteArray name = QFile::encodeName(model);
    const int result = follow ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info);
    return result == 0 && S_ISREG(info.st_mode) ? info.st_mode & 07777 & ~(S_ISUID | S_ISGID) : kOwnerOnly;
}

bool WriteAllTo(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// Writes straight to a descriptor and keeps the system's reason when a write
// fails: a short write past a size limit leaves QFile without one.
class DescriptorWriter : public QIODevice
{
public:
    explicit DescriptorWriter(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    const QString &Reason() const { return m_reason; }
    // Written from the start of a fresh file: its size is what was written.
    qint64 size() const override { return pos(); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (WriteAllTo(m_fd, data, size))
            return size;
        m_reason = SystemReason(errno);
        setErrorString(m_reason);
        return -1;
    }

private:
    int m_fd;
    QString m_reason;
};

constexpr int kRandomLetters = 8;

// "<target>.<pid>.<random>.tmp": the process id tells a later save whether the
// writer is still alive, the random part keeps anyone from planting the name
// in advance. Older versions wrote "<target>.<pid>.tmp".
QByteArray TemporaryName(const QByteArray &target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray random(kRandomLetters, Qt::Uninitialized);
    for (char &letter : random)
        letter = kLetters[QRandomGenerator::system()->bounded(int(sizeof kLetters - 1))];
    return target + '.' + QByteArray::number(qint64(::getpid())) + '.' + random + ".tmp";
}

// The process id in the name of one of target's temporaries, or 0.
qint64 WriterOfTemporary(const QString &fileName, const QString &targetName)
{
    if (!fileName.startsWith(targetName + u'.') || !fileName.endsWith(QLatin1StringView(".tmp")))
        return 0;
    const QStringList parts = fileName.mid(targetName.size() + 1).chopped(4).split(u'.');
    if (parts.size() > 2 || (parts.size() == 2 && parts[1].size() != kRandomLetters))
        return 0;
    bool number = false;
    const qint64 pid = parts[0].toLongLong(&number);
    return number && pid > 0 && pid <= std::numeric_limits<pid_t>::max() ? pid : 0;
}

bool ProcessGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Temporaries of target left by writers that were killed: ours alone, and only
// when the process their name gives has gone.
void RemoveStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QString targetName = info.fileName();
    const QDir folder = info.dir();
    // Listed whole rather than by a pattern: a book's name may hold "[" or "*".
    const QStringList names = folder.entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        const qint64 pid = WriterOfTemporary(name, targetName);
        if (pid == 0 || pid == ::getpid() || !ProcessGone(pid))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat entry {};
        if (::lstat(path.constData(), &entry) == 0 && entry.st_uid == ::geteuid() && !S_ISDIR(entry.st_mode))
            ::unlink(path.constData());
    }
}

// A new temporary file beside target, for the owner alone while it is being
// filled. Someone else's file at a name we chose only means another name.
int CreateTemporary(const QByteArray &target, QByteArray &name, QString &error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(target);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
        if (fd >= 0 || errno != EEXIST) {
            if (fd < 0)
                error = SystemReason(errno);
            return fd;
        }
    }
    error = SystemReason(EEXIST);
    return -1;
}

// A complete temporary copy of what write produces, beside target and with
// the given mode; its name, or empty with the reason on failure (nothing left
// behind).
QByteArray WriteTemporary(const QString &target, mode_t mode, const std::function<bool(QIODevice &)> &write,
                          QString &error)
{
    QByteArray name;
    const int fd = CreateTemporary(QFile::encodeName(target), name, error);
    if (fd < 0)
        return {};
    DescriptorWriter file(fd);
    bool written = write(file) && file.Reason().isEmpty();
    if (!written)
        error = file.Reason().isEmpty() ? QStringLiteral("could not be written") : file.Reason();
    // The mode the file is meant to have only once it is whole: a book shared
    // with the group is never readable half made.
    if (written && (::fsync(fd) != 0 || ::fchmod(fd, mode) != 0)) {
        error = SystemReason(errno);
        written = false;
    }
    if (::close(fd) != 0 && written) {
        error = SystemReason(errno);
        written = false;
    }
    if (written)
        return name;
    ::unlink(name.constData());
    return {};
}

bool CopyThrough(QFile &source, QIODevice &target)
{
    char buffer[64 * 1024];
    for (qint64 n; (n = source.read(buffer, sizeof buffer)) > 0;)
        if (target.write(buffer, n) != n)
            return false;
    return source.error() == QFile::NoError;
}

// The other file system: copy into a temporary beside the target, then put it in
// place the same way a rename would.
bool CopyAcross(const QString &from, const QString &to, MoveMode mode)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QString error;
    const QByteArray temporary = WriteTemporary(
        to, ModeFor(from, false), [&](QIODevice &target) { return CopyThrough(source, target); }, error);
    if (temporary.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(to);
    if ((mode == MoveMode::ReplaceExisting ? ::rename(temporary.constData(), target.constData())
                                           : RenameNoReplace(temporary, target))
        == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

} // namespace

bool MoveFile(const QString &from, const QString &to, MoveMode mode)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    const int result = mode == MoveMode::ReplaceExisting ? ::rename(source.constData(), target.constData())
                                                         : RenameNoReplace(source, target);
    if (result == 0)
        return true;
    if (errno != EXDEV || !QFileInfo(from).isFile())
        return false;
    return CopyAcross(from, to, mode) && QFile::remove(from);
}

bool MakePrivateFolder(const QString &path)
{
    return QDir().mkpath(path) && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool CreatePrivateFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) == 0)
        return true;
    return errno == EEXIST && QFileInfo(path).isDir();
}

bool SaveFile(const QString &path, const std::function<bool(QIODevice &)> &write, const SaveOptions &options)
{
    const bool through = options.link == AtLink::WriteThrough;
    const QString target = through ? FollowLinks(path) : path;
    const mode_t mode = options.ownerOnly         ? kOwnerOnly
                        : options.modeOf.isEmpty() ? ModeFor(target, false)
                                                   : ModeFor(options.modeOf, true);
    RemoveStaleTemporaries(target);
    QString error;
    const QByteArray temporary = WriteTemporary(target, mode, write, error);
    if (!temporary.isEmpty() && options.beforeReplace)
        error = options.beforeReplace();
    if (!temporary.isEmpty() && error.isEmpty()) {
        if (::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0)
            return true;
        error = SystemReason(errno);
    }
    if (!temporary.isEmpty())
        ::unlink(temporary.constData());
    if (options.error)
        *options.error = error;
    return false;
}

bool SaveFile(const QString &path, const QByteArray &bytes, const SaveOptions &options)
{
    return SaveFile(path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); }, options);
}

bool SavePrivateFile(const QString &path, const QByteArray &bytes)
{
    return SaveFile(path, bytes, {AtLink::Replace, {}, true});
}

void IgnoreFileSizeSignal()
{
    // Past the file size limit a write then fails with EFBIG, which every save
    // reports and cleans up after like a full disk, instead of the process
    // ending on the spot with its temporary left behind.
    ::signal(SIGXFSZ, SIG_IGN);
}

bool AppendToFile(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kOwnerOnly);
    if (fd < 0)
        return false;
    const bool written = WriteAllTo(fd, bytes.constData(), bytes.size());
    return ::close(fd) == 0 && written;
}

} // namespace cardolin::platform
