#pragma once

#include "online/carddav/DavRemote.h"

#include <functional>

namespace cardolin {
class TQorContacts;
}

namespace cardolin::carddav {

struct TSyncCounts
{
    int localCreated = 0;
    int localUpdated = 0;
    int localDeleted = 0;
    int serverCreated = 0;
    int serverUpdated = 0;
    int serverDeleted = 0;
};

// A field changed on both sides to different values: the server's value was kept.
struct TSyncConflict
{
    QString displayName;
    QString field;
    QString kept;
    QString local;
    // conflict: <display name>: <field>: kept "<server value>", local was "<local value>"
    QString Line() const;
};

struct TCardDavSyncOptions
{
    QString stateFolder; // private folder of this book, account and address book
    bool dryRun = false;
    // Asked when a run would delete more than 10 contacts and more than a quarter
    // of either side; unset or false: the run stops and changes nothing.
    std::function<bool(int localDeletions, int serverDeletions)> confirmDeletions;
    // Saves the book; called at the end of a run that changed it, before the
    // final state is written (a cut run leaves the book as it was, and the
    // state notes only what reached the server). Returns false with error set.
    std::function<bool(QString &error)> saveBook;
};

struct TCardDavSyncReport
{
    TSyncCounts counts;
    QList<TSyncConflict> conflicts;
    QStringList refused; // cards the server would not take, or could not be read, one line each
    bool failed = false;
    QString error;
    bool stoppedForDeletions = false;
    int pendingLocalDeletions = 0;
    int pendingServerDeletions = 0;
};

// Two-way sync of book with one address book, against the state of the last run.
TCardDavSyncReport SyncAddressBook(TQorContacts &book, TAddressBookRemote &remote,
                                   const TCardDavSyncOptions &options);

// Where the state of book (a file path) with an account's address book lives.
QString SyncStateFolder(const QString &bookFile, const QString &accountName, const QString &bookHref);

} // namespace cardolin::carddav
