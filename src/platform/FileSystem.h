#pragma once

#include <QByteArray>
#include <QString>

#include <compare>
#include <functional>

class QIODevice;

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

// The system's words for an errno value ("No space left on device").
QString SystemReason(int error);

enum class MoveMode { KeepExisting, ReplaceExisting };

// Moves a file, across file systems too (copy, then delete). With KeepExisting it
// fails when the target exists, without touching either file. The source is
// deleted only once the target is complete.
bool MoveFile(const QString &from, const QString &to, MoveMode mode);

// Creates the folder and any missing parents readable by the owner alone.
bool MakePrivateFolder(const QString &path);

// Creates one folder (its parent must exist) for the owner alone; a folder
// that is already there keeps its mode. False when there is none afterwards.
bool CreatePrivateFolder(const QString &path);

// What a save does with a symbolic link at the path it is given: write the
// file the link leads to (a link the user made on purpose), or replace the
// link itself (a path where nobody has a reason to put one).
enum class AtLink { WriteThrough, Replace };

struct SaveOptions
{
    AtLink link = AtLink::WriteThrough;
    // The file whose mode the saved file takes. Empty: the mode of the file it
    // replaces, or owner-only for a new file.
    QString modeOf;
    // Owner-only whatever the file replaced allowed: for files that hold secrets.
    bool ownerOnly = false;
    // Asked once the temporary is complete, just before it replaces the
    // target: a non-empty answer is the reason not to, and the target stays.
    std::function<QString()> beforeReplace = {};
    // Where the reason of a failure goes, in the system's words ("No space
    // left on device") where it has some.
    QString *error = nullptr;
};

// Saves a file atomically and privately: write fills a new temporary file
// beside the target, owner-only until complete and on disk, which then gets
// its mode and replaces the target. Its name has a random part and it never
// follows a link planted there. Temporaries of the target that killed writers
// left behind go first. False, with the target untouched, when writing,
// syncing or renaming fails.
bool SaveFile(const QString &path, const std::function<bool(QIODevice &)> &write, const SaveOptions &options = {});
bool SaveFile(const QString &path, const QByteArray &bytes, const SaveOptions &options = {});

// Writes bytes as the whole file, readable by the owner alone, through a
// temporary beside it that replaces the file (or a link in its place) only once
// complete. False when it could not be written; the old file then stays.
bool SavePrivateFile(const QString &path, const QByteArray &bytes);

// A write past the process's file size limit fails (EFBIG) instead of ending
// the process; both programs call this at start.
void IgnoreFileSizeSignal();

// Appends to a file, creating it for the owner alone when missing.
bool AppendToFile(const QString &path, const QByteArray &bytes);

} // namespace cardolin::platform
