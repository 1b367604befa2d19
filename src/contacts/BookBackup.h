#pragma once

#include <QString>

namespace cardolin {

class TQorContacts;

// The backup copy kept beside a book: the first character of the extension
// becomes "~" (Ann.qcb -> Ann.~cb; a name without extension gets ".~").
QString BackupFileName(const QString &bookPath);

// Where a book that could not be loaded is kept aside: "<book>.bad", or
// ".bad2", ".bad3"... while earlier ones are there; empty when all are taken.
QString BookAsideName(const QString &bookPath);
// Moves the book there, never over an earlier one; the name used, or empty.
QString MoveBookAside(const QString &bookPath);

// Saves the collection as the book at bookPath the way Apply does: the book there
// is first copied over its backup, then the collection is written atomically.
// Returns the number of contacts written, 0 on failure (after telling the user).
int SaveBookWithBackup(TQorContacts &contacts, const QString &bookPath);

// Creates the folder of an account's book when it is missing (one level).
void CreateBookFolder(const QString &bookPath);

// Saves an account's book as Apply does: creates the book's folder when missing
// (one level), then saves with a backup. False after telling the user why.
bool SaveAccountBook(TQorContacts &contacts, const QString &bookPath);

} // namespace cardolin
