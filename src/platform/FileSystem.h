#pragma once

#include <QString>

#include <compare>

namespace cardolin::platform {

// Tells whether a file was replaced or changed since it was last seen: a file
// written through a temporary and renamed gets a new identity even within the
// same clock tick.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

FileStamp StampOf(const QString &path);

enum class MoveMode { KeepExisting, ReplaceExisting };

// Moves a file, across file systems too (copy, then delete). With KeepExisting it
// fails when the target exists, without touching either file. The source is
// deleted only once the target is complete.
bool MoveFile(const QString &from, const QString &to, MoveMode mode);

// Writes bytes as the whole file, readable by the owner alone, through a
// temporary beside it that replaces the file (or a link in its place) only once
// complete. False when it could not be written; the old file then stays.
bool SavePrivateFile(const QString &path, const QByteArray &bytes);

// Creates the folder and any missing parents readable by the owner alone.
bool MakePrivateFolder(const QString &path);

} // namespace cardolin::platform
