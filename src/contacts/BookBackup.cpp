#include "contacts/BookBackup.h"

#include "contacts/QorContacts.h"
#include "platform/FileSystem.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QFileInfo>

namespace cardolin {

QString BackupFileName(const QString &bookPath)
{
    const QFileInfo info(bookPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString folder = bookPath.left(bookPath.size() - name.size());
    if (dot < 0 || dot + 1 == name.size())
        return folder + (dot < 0 ? name : name.left(dot)) + QStringLiteral(".~");
    return folder + name.left(dot + 1) + u'~' + name.mid(dot + 2);
}

namespace {

constexpr int kAsideNames = 100;

QString AsideCandidate(const QString &bookPath, int n)
{
    return bookPath + (n == 1 ? QStringLiteral(".bad") : QStringLiteral(".bad%1").arg(n));
}

bool Taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString BookAsideName(const QString &bookPath)
{
    for (int n = 1; n <= kAsideNames; ++n)
        if (const QString name = AsideCandidate(bookPath, n); !Taken(name))
            return name;
    return {};
}

QString MoveBookAside(const QString &bookPath)
{
    // Tried one by one rather than trusting BookAsideName: another program
    // may take a name meanwhile, and a move never replaces what is there.
    for (int n = 1; n <= kAsideNames; ++n) {
        const QString name = AsideCandidate(bookPath, n);
        if (platform::MoveFile(bookPath, name, platform::MoveMode::KeepExisting))
            return name;
        if (!Taken(name))
            break;
    }
    return {};
}

namespace {
// Copies through a temporary file, so a failed copy leaves the older backup
// whole. The backup is as private as the book, and a link found in its place
// is replaced, never written through: nobody links a backup on purpose.
bool CopyOver(const QString &from, const QString &to, QString &reason)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        reason = source.errorString();
        return false;
    }
    const auto copy = [&source](QIODevice &target) {
        char buffer[64 * 1024];
        for (qint64 n; (n = source.read(buffer, sizeof buffer)) > 0;)
            if (target.write(buffer, n) != n)
                return false;
        return source.error() == QFile::NoError;
    };
    return platform::SaveFile(to, copy, {platform::AtLink::Replace, from, false, {}, &reason});
}
} // namespace

int SaveBookWithBackup(TQorContacts &contacts, const QString &bookPath)
{
    const QString backup = BackupFileName(bookPath);
    // Without a backup there is no saving: the old book would be the only copy left
    // of what the user had, and it is about to be replaced. The book must still
    // be the one copied when its own save begins, which checks again at its end.
    const platform::FileStamp before = platform::StampOf(bookPath);
    QString reason;
    if (QFileInfo(bookPath).isFile() && !CopyOver(bookPath, backup, reason))
        reason = QStringLiteral("Cannot save \"%1\": %2.").arg(backup, reason);
    else if (platform::StampOf(bookPath) != before)
        reason = QStringLiteral("Cannot save \"%1\": another program changed it while it was being saved.")
                     .arg(bookPath);
    if (!reason.isEmpty()) {
        contacts.SetLastError(reason);
        contacts.Prompts().ShowError(reason);
        return 0;
    }
    return contacts.SaveToXMLFile(bookPath);
}

void CreateBookFolder(const QString &bookPath)
{
    // One level only, as the profile's Contacts folder: a missing profile or
    // library is a mistake to report, not a tree to build.
    platform::CreatePrivateFolder(QFileInfo(bookPath).path());
}

bool SaveAccountBook(TQorContacts &contacts, const QString &bookPath)
{
    CreateBookFolder(bookPath);
    SaveBookWithBackup(contacts, bookPath);
    return contacts.LastError().isEmpty();
}

} // namespace cardolin
