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

// The lines of one record, empty lines left out; views into the file's text.
using RecordLines = QList<QStringView>;
// Reads the lines of one record into a contact; false when they are not one.
// May run on another thread than the caller's, for another part of the file.
using RecordReader = std::function<bool(const RecordLines &lines, TContactData &contact)>;
// The lines of one contact's record.
using RecordWriter = std::function<QStringList(const TContactData &contact)>;

// How the records of a file are marked.
struct RecordTags
{
    QLatin1StringView start; // a line beginning with it, in any letter case, opens a record
    QLatin1StringView end = {}; // a line that closes one; empty when records run to the next start
    bool startAfterText = false; // between records, a line may hold text before the start tag
};

// A copy of the lines, as views, for the readers.
RecordLines Views(const QStringList &lines);

// Splits a file's text into records and reads each into a new contact. Lines
// before the first record and empty lines are dropped. A start line with
// nothing after its tag and nothing before the next start or end line, and a
// record that read refuses, add no contact. Fires progress per line and
// returns the number of contacts created. A file past one of the readers'
// bounds (records, empty ones included, fields of a record, length of a value)
// adds nothing: the error naming the bound (and the file's name, when given)
// is shown and the result is 0.
int ImportRecords(TQorContacts &contacts, QStringView text, const RecordTags &tags, const RecordReader &read,
                  const QString &name = {});

// A file of many records: its contacts are appended; 0 when it cannot be read
// or is larger than the bound on files (after an error naming it).
int ImportRecordFile(TQorContacts &contacts, const QString &path, const RecordTags &tags, const RecordReader &read);
// Writes every exportable contact's record to one file; the number written,
// or 0 after the "Cannot save" message with its reason.
int ExportRecordFile(TQorContacts &contacts, const QString &path, const FileForm &form, const RecordWriter &write);
// Writes lines as a file of its own; false after the "Cannot save" message.
bool WriteRecordFile(TQorContacts &contacts, const QString &path, const QStringList &lines, const FileForm &form);

// Every exportable contact's record, records separated by an empty line when
// blankLines; written counts them.
QStringList ExportRecords(TQorContacts &contacts, const RecordWriter &write, int &written, bool blankLines = true);

// Imports each file of the folder matching pattern with importFile, which
// appends the file's contacts and answers how many. A file that gives none is
// named through the error event, and the number of those is kept in skipped.
int ImportFolderFiles(TQorContacts &contacts, const QString &folder, const QString &pattern,
                      const std::function<int(const QString &)> &importFile, int &skipped);
// Reads each file of the folder as one contact.
int ImportFolder(TQorContacts &contacts, const QString &folder, const QString &pattern,
                 const std::function<bool(TContactData *, const QString &)> &readFile, int &skipped);
// Imports every record of each file of the folder, as ImportRecordFile does.
int ImportRecordFolder(TQorContacts &contacts, const QString &folder, const QString &pattern, const RecordTags &tags,
                       const RecordReader &read, int &skipped);

// One file per exportable contact, named after its display name. Files that
// cannot be saved are told in one message, after the others are written.
int ExportFolder(TQorContacts &contacts, const QString &folder, const QString &suffix, const FileForm &form,
                 const RecordWriter &write);

} // namespace recordfiles
} // namespace cardolin
