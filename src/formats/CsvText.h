#pragma once

#include "contacts/SerialDate.h"

#include <QString>
#include <QStringList>

namespace cardolin {

class TSortedStringList;

// Joins the lines of one record while it is assembled, and the lines of a note in
// one-line stores.
inline constexpr QChar kLineJoinMarker = QChar(0x00A4);

QString EscapeCSVQuotes(const QString &text);
QString QuoteCSVField(const QString &text);
QString QuoteCSVFieldIfContains(const QString &text, const QString &separator);
// Drops one pair of enclosing " or ' and undoubles quotes.
QString UnquoteCSVField(const QString &text);

// The user's short date format with the year widened to four digits, so that a
// date written in it reads back as the same date.
QString CSVShortDateFormat();
QString FormatCSVDate(TDateTime date);
// The short date format, then day-first (or month-first when the short format is
// already day-first); 0 when neither reads the text.
TDateTime ParseCSVDate(const QString &text);

// Multi-line values read back: the marker is a street's ";" and a new note entry.
QString StreetFromCSV(const QString &value);
QStringList NotesFromCSV(QString value, bool dropTrailingMarker);

QString AppendSeparatedValue(const QString &row, const QString &value, const QString &separator, bool allowEmpty,
                             bool append);
void AddSplitStrings(const QString &text, const QString &separator, TSortedStringList &target);
// Adds the entries the target lacks (exact comparison), skipping empty ones.
void MergeIntoList(const QStringList &source, QStringList &target);

} // namespace cardolin
