#pragma once

// Reading a CSV file's text into records in one pass: the physical lines that
// make up one record are joined in place, and a record's fields are ranges of its
// text, so that a file of a hundred thousand records costs a few allocations
// instead of millions.

#include "support/ReadLimits.h"

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace cardolin {

class TQorContacts;

// How a physical line relates to the record above it, when that record has no
// quoted field left open (inside an open field every line continues it).
enum class CsvLine { Starts, Continues, ContinuesDirectly, Blank };
using CsvLineRole = CsvLine (*)(const TQorContacts &, QStringView line);

// The records of a file, header first. Physical lines of one record are joined
// with the line-join marker (or directly, as the role says).
class CsvRecordTexts
{
public:
    qsizetype size() const { return qsizetype(m_ranges.size()); }
    bool isEmpty() const { return m_ranges.empty(); }
    QStringView operator[](qsizetype i) const
    {
        return QStringView(m_text).mid(m_ranges[i].first, m_ranges[i].second - m_ranges[i].first);
    }
    // Why the records stop short; empty when the whole text was read.
    const QString &Error() const { return m_error; }

private:
    friend class CsvAssembler;
    QString m_text;
    std::vector<std::pair<qsizetype, qsizetype>> m_ranges;
    QString m_error;
};

// The decoded text of a file, or an error when it is larger than Cardolin reads.
// A missing or unreadable file reads as empty text.
QString ReadCSVText(const QString &path, QString &error);

// The text up to the first line break.
QStringView FirstCSVLine(QStringView text);

// Joins the text's lines into records. Stops with an error past the limits on
// records, on the length of a record and on its fields (split at separator);
// with mostRecords set, stops quietly once that many records (header included)
// are complete.
CsvRecordTexts AssembleCSVText(QString text, CsvLineRole role, const TQorContacts &contacts, QStringView separator,
                               qsizetype mostRecords = -1);

// Splits a record into fields as TQorBreakApart's double-quote mode does with
// empty pieces kept: a piece that opens a quote (an odd number of quotes, the
// first one leading) takes in the pieces up to one that closes it, and loses
// its enclosing quotes; so does a piece that is enclosed whole. A quote that
// never closes keeps the rest of the record and its opening quote. False when
// there are more than mostFields fields (fields then holds the first ones).
bool SplitCSVFieldViews(QStringView record, QStringView separator, std::vector<QStringView> &fields,
                        qsizetype mostFields = limits::kMaxFieldsPerRecord);

// A field's value: one pair of enclosing " or ' dropped, doubled quotes undoubled.
QString UnquotedCSVValue(QStringView field);

// True when every field's value is empty.
bool AllCSVValuesEmpty(const std::vector<QStringView> &fields);

} // namespace cardolin
