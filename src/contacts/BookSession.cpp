#include "contacts/BookSession.h"

#include "contacts/BookBackup.h"
#include "contacts/QorContacts.h"
#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

namespace cardolin {

bool TContactsBookSession::AskToSave()
{
    if (!m_modified)
        return true;
    const QString book = m_loaded.isEmpty() ? QString() : QDir::toNativeSeparators(m_bookPath(m_loaded));
    switch (m_prompts.AskYesNoCancel(QStringLiteral("Do you want to save the current contacts book?"), book)) {
    case UserPrompts::Choice::Yes: return Save();
    case UserPrompts::Choice::No: return true;
    case UserPrompts::Choice::Cancel: break;
    }
    return false;
}

QString TContactsBookSession::BackupOfUnreadableBook() const
{
    if (!LoadFailed() || m_onBackup)
        return {};
    const QString backup = BackupFileName(m_bookPath(m_loaded));
    return QFileInfo(backup).isFile() ? backup : QString();
}

bool TContactsBookSession::OpenBackup()
{
    const QString backup = BackupOfUnreadableBook();
    if (backup.isEmpty())
        return false;
    m_contacts.LoadFromXMLFile(backup);
    if (!m_contacts.LastError().isEmpty()) {
        m_contacts.ClearContactDataList();
        m_prompts.ShowError(m_contacts.LastError());
        return false;
    }
    m_onBackup = true;
    m_modified = true; // the book on disk is still the unreadable one
    return true;
}

bool TContactsBookSession::KeepUnreadableAside()
{
    // Moved rather than copied over the backup, so the good backup stays and
    // the damaged file is still there for anyone who wants to look into it.
    const QString book = m_bookPath(m_loaded);
    if (!QFileInfo::exists(book) || !MoveBookAside(book).isEmpty()) {
        m_trouble = TBookTrouble::None;
        m_troubleReason.clear();
        m_onBackup = false;
        return true;
    }
    m_prompts.ShowError(QStringLiteral("Cannot move \"%1\" aside.").arg(QDir::toNativeSeparators(book)));
    return false;
}

void TContactsBookSession::ClaimForLoading(const QString &path)
{
    // The book opens all the same, to be looked at, but read-only: a save
    // without the claim could undo another writer's work unseen.
    m_readOnly = !m_claim.Claim(path);
    if (m_readOnly)
        m_prompts.ShowWarning(m_claim.Problem()
                              + QStringLiteral("\n\nIt opens read-only. Use \"Save As...\" to keep your changes in "
                                               "another file, or Refresh once the book is free."));
}

bool TContactsBookSession::ClaimForSaving(const QString &path)
{
    CreateBookFolder(path);
    if (!m_claim.ClaimOrTell(path, m_prompts))
        return false;
    m_readOnly = false;
    return !m_claim.ChangedOnDisk(path)
           || m_prompts.AskYesNo(QStringLiteral("The contacts book \"%1\" was changed or removed by another program "
                                                "after it was loaded. Do you want to replace it with the contacts "
                                                "shown here?")
                                     .arg(QDir::toNativeSeparators(path)));
}

bool TContactsBookSession::Save()
{
    if (m_loaded.isEmpty())
        return false;
    const QString path = m_bookPath(m_loaded);
    if (LoadFailed() && !m_onBackup) {
        m_prompts.ShowError(QStringLiteral("The contacts book of %1 could not be read, so it was not replaced. "
                                           "Repair or move \"%2\", then press Refresh.")
                                .arg(m_loaded, QDir::toNativeSeparators(path)));
        return false;
    }
    if (!ClaimForSaving(path))
        return false;
    if (LoadFailed() && !KeepUnreadableAside())
        return false;
    // A failed save leaves the changes unsaved: clearing them would let the
    // next refresh or the closing drop them without a question.
    const bool saved = SaveAccountBook(m_contacts, path);
    m_modified = !saved;
    if (saved)
        m_claim.Remember(path);
    return saved;
}

void TContactsBookSession::PointOutBookElsewhere(const QString &account, const QString &path)
{
    const QString elsewhere = m_bookElsewhere ? m_bookElsewhere(account) : QString();
    if (elsewhere.isEmpty() || elsewhere == path || !QFileInfo(elsewhere).isFile())
        return;
    m_prompts.ShowWarning(QStringLiteral("%1 has no contacts book at \"%2\", but there is one at \"%3\", where it "
                                         "was kept before the option \"Use display name as user account for "
                                         "storage\" changed. Change the option back, or move the book, to see its "
                                         "contacts.")
                              .arg(account, QDir::toNativeSeparators(path), QDir::toNativeSeparators(elsewhere)));
}

bool TContactsBookSession::SaveAs(const QString &path)
{
    BookClaim claim;
    if (!claim.ClaimOrTell(path, m_prompts))
        return false;
    SaveBookWithBackup(m_contacts, path);
    if (!m_contacts.LastError().isEmpty())
        return false;
    m_modified = false;
    return true;
}

void TContactsBookSession::Load(const QString &path)
{
    // Looked at first without waiting: a FIFO in the book's place would block
    // the reader, and a folder or a refused permission is no damaged book.
    m_troubleReason = platform::RegularFileProblem(path);
    if (!m_troubleReason.isEmpty()) {
        m_trouble = TBookTrouble::Unreadable;
        return;
    }
    m_contacts.LoadFromXMLFile(path);
    if (m_contacts.LastError().isEmpty())
        return;
    m_trouble = TBookTrouble::Damaged;
    m_troubleReason = m_contacts.LastError();
    const QString prefix = QStringLiteral("Cannot load \"%1\": ").arg(path);
    if (m_troubleReason.startsWith(prefix))
        m_troubleReason.remove(0, prefix.size());
}

QString TContactsBookSession::TroubleMessage(const QString &path) const
{
    const QString book = QDir::toNativeSeparators(path);
    return (m_trouble == TBookTrouble::Unreadable
                ? QStringLiteral("The contacts book \"%1\" cannot be read: %2")
                : QStringLiteral("The contacts book \"%1\" is damaged and was not loaded: %2"))
        .arg(book, m_troubleReason);
}

bool TContactsBookSession::Refresh(const QString &account)
{
    if (!AskToSave())
        return false;
    const QString path = m_bookPath(account);
    ClaimForLoading(path);
    m_claim.Remember(path);
    const bool exists = QFileInfo::exists(path);
    m_trouble = TBookTrouble::None;
    m_troubleReason.clear();
    if (exists)
        Load(path);
    const bool loaded = m_trouble == TBookTrouble::None;
    // A book that failed half way shows nothing rather than a part of itself.
    if (!loaded || !exists)
        m_contacts.ClearContactDataList();
    if (!loaded)
        m_prompts.ShowError(TroubleMessage(path));
    if (!exists)
        PointOutBookElsewhere(account, path);
    m_loaded = account;
    m_modified = false;
    m_onBackup = false;
    return loaded;
}

bool TContactsBookSession::SwitchAccount(const QString &account)
{
    if (account == m_loaded)
        return true;
    if (!AskToSave())
        return false;
    m_modified = false;
    return Refresh(account);
}

} // namespace cardolin
