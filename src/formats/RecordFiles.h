#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

#include <functional>

namespace cardolin {

class TQorContacts;

namespace recordfiles {

// Reads the lines of one record into a contact; false when they are not one.
using RecordReader = std::function<bool(const QStringList &lines, TContactData &contact)>;
// The lines of one contact's record.
using RecordWriter = std::function<QStringList(const TContactData &contact)>;

// Splits a file's lines into records, each starting at a line that begins with
// startTag; lines before the first record and empty lines are dropped. Fires
// progress per line and returns the number of contacts created.
int ImportRecords(TQorContacts &contacts, const QStringList &lines, QLatin1StringView startTag,
                  const RecordReader &read);

// Every exportable contact's record, records separated by an empty line;
// written counts them.
QStringList ExportRecords(TQorContacts &contacts, const RecordWriter &write, int &written);

// Reads each file of the folder matching pattern as one contact. A file that is
// not a record adds no contact; the number of those is kept in skipped.
int ImportFolder(TQorContacts &contacts, const QString &folder, const QString &pattern,
                 const std::function<bool(TContactData *, const QString &)> &readFile, int &skipped);

// One file per exportable contact, named after its display name.
int ExportFolder(TQorContacts &contacts, const QString &folder, const QString &suffix,
                 const std::function<bool(const TContactData *, const QString &)> &writeFile);

} // namespace recordfiles
} // namespace cardolin
