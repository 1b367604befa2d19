#pragma once

#include <QString>

// Bounds every reader of outside files keeps to. They are far above any real
// address book (a million contacts in a gigabyte) and low enough that a crafted
// file ends in a clear error instead of exhausting memory.
namespace cardolin::limits {

constexpr qint64 kMaxFileBytes = qint64(2) << 30;    // a whole imported file or book
constexpr qsizetype kMaxRecords = 2000000;           // contacts in one file
constexpr qsizetype kMaxFieldsPerRecord = 5000;      // columns, properties or attributes of one record
constexpr qsizetype kMaxValueBytes = qsizetype(16) << 20; // one value or logical line (a photo fits)
constexpr int kMaxNestingDepth = 64;                 // elements or JSON containers inside each other
constexpr qsizetype kMaxEchoCharacters = 300;        // of a rejected record, in error reports

// "The file has more than 2000000 records (the most Cardolin reads)." and the
// like: names the limit so the user knows what to split or trim.
QString TooManyMessage(const QString &what, qint64 limit);
// "A value is longer than 16 MiB (the longest Cardolin reads)."
QString TooLongMessage(const QString &what, qint64 limitBytes);

// "The answer is nested deeper than 64 levels (the deepest Cardolin reads)."
QString TooDeepMessage(const QString &what, int limit);

// A rejected record as it may be shown or logged: cut to kMaxEchoCharacters
// with a note of the length, control characters written as \n, \t or \xNN.
QString EchoText(QStringView record);

} // namespace cardolin::limits
