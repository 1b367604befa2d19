#pragma once

#include "contacts/ContactData.h"
#include "formats/TextFiles.h"

#include <QStringList>

#include <functional>

namespace cardolin {

class TQorContacts;

namespace recordfiles {

// How a file of records is laid out.
struct FileForm
{
    textfile::Encoding encoding;
    QLatin1StringView lineEnd = QLatin1StringView("\r\n");
    bool blankLines = true; // an empty line between records
    QLatin1StringView header = {}; // a first line of its own, before an empty line
};

// Reads the lines of one record into a contact; false when they are not one.
using RecordReader = std::function<bool(const QStringList &lines, TContactData &contact)>;
// The lines of one contact's record.
using RecordWriter = std::function<QStringList(const TContactData &contact)>;

// Splits a file's lines into records, each starting at a line that begins with
// startTag in any letter case; lines before the first record and empty lines
// are dropped, and so is a record that read refuses. Fires progress per line
// and returns the number of contacts created.
int ImportRecords(TQorContacts &contacts, const QStringList &lines, QLatin1StringView startTag,
                  const RecordReader &read);

// A file of many records: its contacts are appended; 0 when it cannot be read.
int ImportRecordFile(TQorContacts &contacts, const QString &path, QLatin1StringView startTag,
                     const RecordReader &read);
// Writes every exportable contact's record to one file; the number written,
// or 0 after the "Cannot save" message.
int ExportRecordFile(TQorContacts &contacts, const QString &path, const FileForm &form, const RecordWriter &write);
// Writes lines as a file of its own; false after the "Cannot save" message.
bool WriteRecordFile(TQorContacts &contacts, const QString &path, const QStringList &lines, const FileForm &form);

// Every exportable contact's record, records separated by an empty line when
// blankLines; written counts them.
QStringList ExportRecords(TQorContacts &contacts, const RecordWriter &write, int &written, bool blankLines = true);

// Reads each file of the folder matching pattern as one contact. A file that is
// not a record adds no contact; the number of those is kept in skipped.
int ImportFolder(TQorContacts &contacts, const QString &folder, const QString &pattern,
                 const std::function<bool(TContactData *, const QString &)> &readFile, int &skipped);

// One file per exportable contact, named after its display name.
int ExportFolder(TQorContacts &contacts, const QString &folder, const QString &suffix,
                 const std::function<bool(const TContactData *, const QString &)> &writeFile);

} // namespace recordfiles
} // namespace cardolin
