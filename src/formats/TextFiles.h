#pragma once

#include <QString>
#include <QStringList>

namespace cardolin::textfile {

enum class Encoding { Utf8WithBom, Utf8 };

// Reads a whole text file into lines. A byte-order mark picks UTF-8 or UTF-16;
// without one the text is taken as UTF-8 when it decodes cleanly, else as
// Latin-1, so no byte is ever dropped. CR, LF and CRLF all end a line. Files
// larger than maxBytes are refused, which keeps hostile input bounded.
bool ReadLines(const QString &path, QStringList &lines, qint64 maxBytes = qint64(1) << 30);

// Writes every line followed by CRLF, atomically: the target is replaced only
// when the whole text has been written.
bool WriteLines(const QString &path, const QStringList &lines, Encoding encoding);

// Splits text at CR, LF or CRLF.
QStringList SplitLines(QStringView text);

} // namespace cardolin::textfile
