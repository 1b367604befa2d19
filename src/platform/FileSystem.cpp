#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardolin::platform {

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

// A complete temporary copy of what write produces, beside target and with
// the given mode; its name, or empty on failure (nothing left behind).
QByteArray WriteTemporary(const QString &target, mode_t mode, const std::function<bool(QIODevice &)> &write)
{
    // The name is predictable, so whatever sits there (a leftover of an
    // earlier run with this process id, or a planted link) goes first, and
    // O_EXCL with O_NOFOLLOW refuses anything that reappears meanwhile.
    const QByteArray name = QFile::encodeName(target) + '.' + QByteArray::number(qint64(::getpid())) + ".tmp";
    struct stat info {};
    if (::lstat(name.constData(), &info) == 0 && !S_ISDIR(info.st_mode))
        ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
    if (fd < 0)
        return {};
    bool written = ::fchmod(fd, mode) == 0;
    if (written) {
        QFile file;
        written = file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) && write(file) && file.flush()
                  && file.error() == QFileDevice::NoError;
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
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
    const QByteArray temporary =
        WriteTemporary(to, ModeFor(from, false), [&](QIODevice &target) { return CopyThrough(source, target); });
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
    const QByteArray temporary = WriteTemporary(target, mode, write);
    if (temporary.isEmpty())
        return false;
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    ::unlink(temporary.constData());
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

bool AppendToFile(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kOwnerOnly);
    if (fd < 0)
        return false;
    const bool written = WriteAllTo(fd, bytes.constData(), bytes.size());
    return ::close(fd) == 0 && written;
}

} // namespace cardolin::platform
