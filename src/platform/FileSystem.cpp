#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

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

bool CopyThrough(QFile &source, QFileDevice &target)
{
    char buffer[64 * 1024];
    for (qint64 n; (n = source.read(buffer, sizeof buffer)) > 0;)
        if (target.write(buffer, n) != n)
            return false;
    return source.error() == QFile::NoError && target.flush();
}

// The other file system: copy into a temporary beside the target, then put it in
// place the same way a rename would.
bool CopyAcross(const QString &from, const QString &to, MoveMode mode)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    if (mode == MoveMode::ReplaceExisting) {
        QSaveFile target(to);
        return target.open(QIODevice::WriteOnly) && CopyThrough(source, target) && target.commit();
    }
    QTemporaryFile temporary(to + QStringLiteral(".XXXXXX"));
    if (!temporary.open() || !CopyThrough(source, temporary))
        return false;
    temporary.close();
    if (RenameNoReplace(QFile::encodeName(temporary.fileName()), QFile::encodeName(to)) != 0)
        return false;
    temporary.setAutoRemove(false);
    return true;
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

bool SavePrivateFile(const QString &path, const QByteArray &bytes)
{
    // Made with mode 0600 from the start, so nobody can open it meanwhile.
    QTemporaryFile temporary(path + QStringLiteral(".XXXXXX"));
    if (!temporary.open() || temporary.write(bytes) != bytes.size() || !temporary.flush()
        || ::fsync(temporary.handle()) != 0)
        return false;
    temporary.close();
    if (::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    temporary.setAutoRemove(false);
    return true;
}

bool MakePrivateFolder(const QString &path)
{
    return QDir().mkpath(path) && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace cardolin::platform
