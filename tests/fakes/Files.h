#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace cardolin::testing {

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes bytes as the whole file, making its folder first; false on failure.
inline bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The permission bits of the file itself (a link is not followed), or -1.
inline int ModeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Sets the process's file creation mask for the guard's lifetime.
class UmaskScope
{
public:
    explicit UmaskScope(mode_t mask) : m_saved(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_saved); }
    UmaskScope(const UmaskScope &) = delete;
    UmaskScope &operator=(const UmaskScope &) = delete;

private:
    mode_t m_saved;
};

} // namespace cardolin::testing
