#include "contacts/BookRelocation.h"

#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/BookLocation.h"
#include "platform/FileSystem.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace cardolin {

namespace {

using Answer = UserPrompts::Answer;

// One question of the series, with the "to all" answer that ends the asking.
class SeriesQuestion
{
public:
    SeriesQuestion(UserPrompts &prompts, QString ending) : m_prompts(prompts), m_ending(std::move(ending)) {}

    bool Ask(const QString &account)
    {
        if (m_forAll)
            return *m_forAll == Answer::YesToAll;
        const Answer answer = m_prompts.AskYesNoToAll(QStringLiteral("Do you want to %1 ").arg(m_ending) + account
                                                      + QStringLiteral("'s contacts book?"));
        if (answer == Answer::YesToAll || answer == Answer::NoToAll)
            m_forAll = answer;
        return answer == Answer::Yes || answer == Answer::YesToAll;
    }

private:
    UserPrompts &m_prompts;
    QString m_ending;
    std::optional<Answer> m_forAll;
};

// Two spellings of one file (a link, a trailing slash on the library) must not
// count as a move: the copy fallback would delete the only book.
bool SameFile(const QString &a, const QString &b)
{
    if (QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath()))
        return true;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

bool RelocationNeeded(const TStorageSettings &before, const TStorageSettings &after)
{
    return before.StoreUserContactsBookInUserContactsFolder != after.StoreUserContactsBookInUserContactsFolder
           || before.CommonContactsBookLibrary != after.CommonContactsBookLibrary
           || before.UseDisplayNameAsWindowsUserAccountForStorage != after.UseDisplayNameAsWindowsUserAccountForStorage;
}

int RelocateContactsBooks(const QStringList &accounts, const TContactsBookLocator &before,
                          const TContactsBookLocator &after, UserPrompts &prompts, const BookClaim *held)
{
    SeriesQuestion relocate(prompts, QStringLiteral("relocate"));
    SeriesQuestion replaceQuestion(prompts, QStringLiteral("override"));
    int moved = 0;
    for (const QString &account : accounts) {
        const QString from = before.GetWindowsContactsBookFileName(account, stInherited);
        const QString to = after.GetWindowsContactsBookFileName(account, stInherited);
        if (SameFile(from, to) || !QFileInfo(from).isFile() || !relocate.Ask(account))
            continue;
        const bool replace = QFileInfo::exists(to);
        if (replace && !replaceQuestion.Ask(account))
            continue;
        const auto mode = replace ? platform::MoveMode::ReplaceExisting : platform::MoveMode::KeepExisting;
        // The profile's Contacts folder may not exist yet, as at the first save.
        CreateBookFolder(to);
        // A writer that holds the book would save it back where it was, and
        // one that holds the place it goes would write over it.
        BookClaim fromClaim, toClaim;
        const bool ours = held && held->Claimed(from);
        if (!(ours || fromClaim.Claim(from)) || !toClaim.Claim(to)) {
            prompts.ShowError(account + QStringLiteral("'s contacts book was not relocated: ")
                              + (fromClaim.Problem().isEmpty() ? toClaim.Problem() : fromClaim.Problem()));
            continue;
        }
        if (!platform::MoveFile(from, to, mode)) {
            // The backup stays with the book it belongs to.
            prompts.ShowError(account + QStringLiteral("'s contacts book relocation failed."));
            continue;
        }
        ++moved;
        const QString backup = BackupFileName(from);
        if (QFileInfo(backup).isFile() && !platform::MoveFile(backup, BackupFileName(to), mode))
            prompts.ShowError(account + QStringLiteral("'s backup contacts book relocation failed."));
    }
    return moved;
}

} // namespace cardolin
