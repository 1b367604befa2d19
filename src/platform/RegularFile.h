#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace cardolin::platform {

enum class FileRead { Read, Refused, TooLarge };

// Reads an outside file (an import, a file of a folder import) that may be
// anything a name can point to. Only a regular file is read, links followed;
// a FIFO, a device, a socket or a folder is refused at once, without waiting
// for a writer, with error naming the cause. A file of more than maxBytes is
// not read.
FileRead ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error);

// The first maxBytes of a regular file at most; truncated tells that more
// follows. Refuses what ReadRegularFile refuses.
bool ReadRegularFileStart(const QString &path, qint64 maxBytes, QByteArray &bytes, bool &truncated);

// Hands the bytes of a regular file to take a piece at a time, until the end
// or until take returns false; a first look that need not hold the file.
// Refuses what ReadRegularFile refuses.
bool ReadRegularFileInPieces(const QString &path, const std::function<bool(QByteArrayView)> &take);

// Why path cannot be read as a regular file ("Permission denied", a folder,
// a FIFO); empty when it can. Never waits for a writer.
QString RegularFileProblem(const QString &path);

} // namespace cardolin::platform
