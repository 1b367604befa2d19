#pragma once

#include <QStringList>

namespace cardolin {

enum class CsvEncoding { Utf8WithBom, Utf8, Utf16LeWithBom, Ansi };

// The file's physical lines, decoded as every import file is (textfile::DecodeText).
// Empty for a missing or unreadable file.
QStringList ReadCSVLines(const QString &path);
// The first line alone, read from the start of the file.
QString ReadCSVFirstLine(const QString &path);

// Every line ends with CR LF. Written atomically; false when the file cannot be
// written. Text that the ANSI code page cannot hold is written as UTF-8 with a
// byte-order mark instead, so nothing turns into question marks.
bool WriteCSVLines(const QString &path, const QStringList &lines, CsvEncoding encoding);
QByteArray EncodeCSVLines(const QStringList &lines, CsvEncoding encoding);
// The same for a whole text whose lines already end with CR LF; empty when
// saved, else the message that says why not.
QString WriteCSVText(const QString &path, const QString &text, CsvEncoding encoding);
QByteArray EncodeCSVText(const QString &text, CsvEncoding encoding);

} // namespace cardolin
