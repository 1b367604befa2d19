#pragma once

#include "contacts/BookClaim.h"

#include <QString>

#include <functional>

namespace cardolin {

class TQorContacts;
class UserPrompts;

// The book handling of the main window without its widgets: which account's
// book the working collection holds, whether it has unsaved changes, and the
// question asked before they would be lost.
class TContactsBookSession
{
public:
    // bookPath gives an account's book under the options as they are now.
    using BookPath = std::function<QString(const QString &account)>;

    TContactsBookSession(TQorContacts &contacts, BookPath bookPath, UserPrompts &prompts)
        : m_contacts(contacts), m_bookPath(std::move(bookPath)), m_prompts(prompts)
    {
    }

    const QString &LoadedWindowsUserAccount() const { return m_loaded; }
    // True while Apply is enabled.
    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }

    // Offers to save unsaved changes, then loads the account's book, or empties
    // the collection when the account has none yet. False when the user's save
    // failed (nothing is loaded then) or the book could not be read (the
    // collection is left empty, the error shown).
    bool Refresh(const QString &account);
    // Apply: the loaded account's book, with its backup. Changes stay unsaved
    // when the save fails. A book that could not be read is never overwritten:
    // the user may still rescue it by hand. Nor is a book that another program
    // holds, or one changed on disk since it was loaded unless the user says so.
    bool Save();
    // The loaded account's book exists but could not be loaded.
    bool LoadFailed() const { return m_trouble != TBookTrouble::None; }
    // Why: the file cannot be read at all (permissions, a folder or a FIFO in
    // its place), or it was read and is damaged. None while its backup is open.
    enum class TBookTrouble { None, Unreadable, Damaged };
    TBookTrouble Trouble() const { return m_onBackup ? TBookTrouble::None : m_trouble; }
    // The system's or the reader's words for it.
    const QString &TroubleReason() const { return m_troubleReason; }
    // Loads another account's book after offering to save; does nothing for
    // the account already loaded.
    bool SwitchAccount(const QString &account);
    // After a failed load: the book's backup copy when there is one to offer.
    QString BackupOfUnreadableBook() const;
    // Loads that backup in place of the unreadable book, which stays untouched
    // until the next save keeps it aside (BookAsideName). The result counts as
    // unsaved changes. False (the error shown) when the backup cannot be read.
    bool OpenBackup();
    // The save question; false when the user cancelled, or said Yes and the
    // save failed: either way the changes are still there.
    bool AskToSave();

    // The loaded book's lock is ours (held from the load until another
    // account's book is loaded or the session ends).
    bool HoldsBook() const { return !m_loaded.isEmpty() && m_claim.Claimed(m_bookPath(m_loaded)); }
    // The loaded book could not be claimed when it was loaded (another program
    // holds it, or its lock cannot be made): Apply is off, Save As is offered.
    // A save that gets the claim after all ends it.
    bool ReadOnly() const { return !m_loaded.isEmpty() && m_readOnly; }
    const BookClaim &Claim() const { return m_claim; }
    // Where an account's book would be under the other naming of books (the
    // display-name option): a book found only there is pointed out at load,
    // never silently shown as an empty book.
    void SetBookElsewhere(BookPath elsewhere) { m_bookElsewhere = std::move(elsewhere); }
    // Saves the collection as the book at path, claimed for the time of the
    // save, leaving the loaded book alone; the changes then count as kept.
    // False after telling the user why.
    bool SaveAs(const QString &path);

private:
    bool KeepUnreadableAside();
    void Load(const QString &path);
    QString TroubleMessage(const QString &path) const;
    void PointOutBookElsewhere(const QString &account, const QString &path);
    void ClaimForLoading(const QString &path);
    bool ClaimForSaving(const QString &path);

    TQorContacts &m_contacts;
    BookPath m_bookPath;
    BookPath m_bookElsewhere;
    UserPrompts &m_prompts;
    QString m_loaded;
    bool m_modified = false;
    TBookTrouble m_trouble = TBookTrouble::None;
    QString m_troubleReason;
    bool m_onBackup = false;
    bool m_readOnly = false;
    BookClaim m_claim;
};

} // namespace cardolin
