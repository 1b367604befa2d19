#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace cardolin::textfile {

enum class Encoding { Utf8WithBom, Utf8 };

// The text of an imported file. A byte-order mark picks UTF-8 or UTF-16 and is
// dropped; without one, bytes that are valid UTF-8 and not plain ASCII are read
// as UTF-8, anything else as Windows-1252. Every reader of import files decodes
// here, so a file reads the same whatever its format. With truncated set the
// bytes are the start of a longer file: a character cut at the end does not
// make them invalid UTF-8.
QString DecodeText(QByteArrayView bytes, bool truncated = false);

// The bytes of an imported file: a regular file of at most maxBytes (see
// platform::ReadRegularFile). False otherwise, with error saying why.
bool ReadImportBytes(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error);

// Reads a whole text file into lines, decoded as DecodeText says. CR, LF and
// CRLF all end a line. Files larger than maxBytes are refused, which keeps
// hostile input bounded.
bool ReadLines(const QString &path, QStringList &lines, qint64 maxBytes = qint64(1) << 30);

// Saves an exported file atomically: the target is replaced only when the
// whole of it has been written. Empty when saved; otherwise the message for
// the user, with the system's reason ("Cannot save "X": Permission denied.").
QString SaveExport(const QString &path, const QByteArray &bytes);
// Every line followed by lineEnd, saved as SaveExport does.
QString SaveLines(const QString &path, const QStringList &lines, Encoding encoding,
                  QLatin1StringView lineEnd = QLatin1StringView("\r\n"));

// Every line followed by lineEnd, in one text.
QString JoinLines(const QStringList &lines, QLatin1StringView lineEnd);

// Splits text at CR, LF or CRLF.
QStringList SplitLines(QStringView text);
// The lines of a multi-line value: like SplitLines, but a line break at the end
// leaves an empty last line, and an empty text is one empty line.
QStringList SplitValueLines(const QString &text);

} // namespace cardolin::textfile
