#pragma once

#include "app/options/OptionsValues.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace cardolin {
class BookClaim;
class TContactUndoHistory;
class TQorContacts;
class TUserAccounts;
class UserPrompts;
struct TContactData;
} // namespace cardolin

namespace cardolin::app {

// What the main window lends the Options command: its book, its rows and the
// steps every command ends with.
struct TOptionsHost
{
    TQorContacts &Contacts;
    UserPrompts &Prompts;
    const TUserAccounts &Accounts;
    // Changes to contacts become undoable steps here; none when null.
    TContactUndoHistory *History = nullptr;
    // The list's rows: each row's record and its caption, in list order.
    std::function<std::vector<std::pair<TContactData *, QString>>()> Rows;
    // Rebuilds these rows from their records (new captions), sorting when asked
    // and "Sort alphabetically" is on.
    std::function<void(const std::vector<TContactData *> &records, bool resort)> SyncRows;
    // A row per record of the book; the list is no longer filtered.
    std::function<void(bool sort)> RebuildFromBook;
    std::function<void(bool modified)> SetModified;
    std::function<void()> UpdateStatus;
    // Called after each undoable step, so the Undo command can follow.
    std::function<void()> UndoChanged;
    // The window's claim on its loaded book, which a relocation may move.
    const BookClaim *HeldBook = nullptr;
};

// What confirming the Options dialog does to the book and the books on disk,
// once the new options are stored and in effect: formatting every contact,
// giving or taking the "Contacts" category, re-captioning rows after a change
// of display names, and moving the books when their place changed.
class TOptionsConsequences
{
public:
    explicit TOptionsConsequences(TOptionsHost host) : m_host(std::move(host)) {}

    void Confirmed(const TOptionsValues &before, const TOptionsValues &after);

private:
    void FormatAll();
    void AssignContactsCategory(bool assign, bool sort);
    bool StampRenamedContacts();
    void RelocateBooks(const TOptionsValues &before, const TOptionsValues &after);
    std::vector<TContactData *> RowRecords() const;
    // Runs change over records as one step, noting each record before it changes.
    void ChangeContacts(const QString &name, const std::vector<TContactData *> &records,
                        const std::function<void(TContactData &)> &change);

    TOptionsHost m_host;
};

} // namespace cardolin::app
