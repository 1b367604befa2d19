#include "contacts/BookClaim.h"

#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

namespace cardolin {

QString BookLockFileName(const QString &bookPath)
{
    const QString canonical = QFileInfo(bookPath).canonicalFilePath();
    return (canonical.isEmpty() ? bookPath : canonical) + QStringLiteral(".lock");
}

bool BookClaim::Claimed(const QString &bookPath) const
{
    return m_lock && m_lock->Locked() && m_lock->Path() == BookLockFileName(bookPath);
}

bool BookClaim::Claim(const QString &bookPath)
{
    m_problem.clear();
    if (Claimed(bookPath))
        return true;
    m_lock = std::make_unique<platform::FileLock>(BookLockFileName(bookPath));
    if (m_lock->Lock(kWaitMs))
        return true;
    const QString book = QDir::toNativeSeparators(bookPath);
    if (!m_lock->Holder().isEmpty())
        m_problem = QStringLiteral("The contacts book \"%1\" is in use by %2.").arg(book, m_lock->Holder());
    // Without a folder there is no book to guard yet, and its first save
    // fails all the same with its own message. Anywhere else a writer
    // without the lock could undo another's work unseen.
    else if (QFileInfo(QFileInfo(m_lock->Path()).path()).isDir())
        m_problem = QStringLiteral("The contacts book \"%1\" cannot be locked against other programs: %2.")
                        .arg(book, m_lock->Error());
    m_lock.reset();
    return m_problem.isEmpty();
}

void BookClaim::Remember(const QString &bookPath)
{
    m_rememberedPath = bookPath;
    m_remembered = platform::StampOf(bookPath);
}

bool BookClaim::ChangedOnDisk(const QString &bookPath) const
{
    return bookPath == m_rememberedPath && platform::StampOf(bookPath) != m_remembered;
}

bool BookClaim::ClaimOrTell(const QString &bookPath, UserPrompts &prompts)
{
    if (Claim(bookPath))
        return true;
    prompts.ShowError(m_problem);
    return false;
}

bool BookClaim::UnchangedOrTell(const QString &bookPath, UserPrompts &prompts) const
{
    if (!ChangedOnDisk(bookPath))
        return true;
    prompts.ShowError(QStringLiteral("The contacts book \"%1\" was changed or removed by another program after "
                                     "it was read, so it was not replaced.")
                          .arg(QDir::toNativeSeparators(bookPath)));
    return false;
}

} // namespace cardolin
