#pragma once

#include "support/InterfaceState.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;
class TQorRegistryEnhanced;

// The two word lists the user keeps ticked in the Options dialog, each shipped
// with the program as a default file and stored as a check list.
enum class TVocabulary { Categories, Keywords };

// "Categories.def" or "Keywords.def".
QString DefaultListFileName(TVocabulary vocabulary);
// Where the default file is looked for, first match wins: the configured
// folder, beside the executable, the share folder beside the executable's,
// every shared data folder, then the installed data folder.
QStringList DefaultListFolders(const QString &defFilesPath);
// The entries of the first default file found, sorted, without blanks or
// repeats; the collection's own built-in list when no file can be read.
// source, when given, receives the file read (empty for the built-in list).
QStringList ReadDefaultList(TVocabulary vocabulary, const QString &defFilesPath, QString *source = nullptr);
// Reads one default file: one entry per line, UTF-8. Null when it cannot be
// read or is too large to be a word list.
std::optional<QStringList> ReadListFile(const QString &fileName);

// The registry key of the vocabulary's check list.
QString CheckListKey(TVocabulary vocabulary);
// The stored check list, or the default file's entries all ticked while none
// is stored.
TCheckListItems StoredCheckList(const TQorRegistryEnhanced &registry, TVocabulary vocabulary,
                                const QString &defFilesPath);
// Sorts entries the way the vocabularies are sorted and drops blanks and
// repeats (the first spelling stays).
TCheckListItems SortedCheckList(const TCheckListItems &items);

// Adds every ticked entry that the collection's vocabulary lacks; nothing is
// taken away, so built-in entries and earlier ticks stay for the run.
void AddCheckedEntries(TQorContacts &contacts, TVocabulary vocabulary, const TCheckListItems &items);
// Both stored check lists into the collection's vocabularies.
void ApplyStoredVocabularies(const TQorRegistryEnhanced &registry, const QString &defFilesPath,
                             TQorContacts &contacts);

} // namespace cardolin
