#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace cardolin::testing
