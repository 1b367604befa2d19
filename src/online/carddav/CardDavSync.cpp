#include "online/carddav/CardDavSync.h"

#include "online/carddav/FieldMerge.h"
#include "online/carddav/SyncRun.h"

#include "contacts/QorContacts.h"
#include "platform/SystemFolders.h"
#include "support/Clock.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QUrl>

namespace cardolin::carddav {

QString TSyncConflict::Line() const
{
    return QStringLiteral("conflict: %1: %2: kept \"%3\", local was \"%4\"").arg(displayName, field, kept, local);
}

QString SyncStateFolder(const QString &bookFile, const QString &accountName, const QString &bookHref)
{
    const QString key = QFileInfo(bookFile).absoluteFilePath() + u'\n' + accountName + u'\n' + bookHref;
    const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    return platform::UserDataFolder() + QStringLiteral("/carddav/") + QString::fromLatin1(digest.left(32));
}

TCardDavSyncReport SyncAddressBook(TQorContacts &book, TAddressBookRemote &remote,
                                   const TCardDavSyncOptions &options)
{
    return TSyncRun(book, remote, options).Run();
}

TSyncRun::TSyncRun(TQorContacts &book, TAddressBookRemote &remote, const TCardDavSyncOptions &options)
    : m_book(book), m_remote(remote), m_options(options)
{
}

bool TSyncRun::Fail(const QString &error)
{
    m_report.failed = true;
    m_report.error = error;
    return false;
}

TCardDavSyncReport TSyncRun::Run()
{
    QString error;
    if (!LoadSyncState(m_options.stateFolder, m_state, error)) {
        Fail(error);
        return m_report;
    }
    m_bookPath = QUrl(m_remote.BookUrl()).path(QUrl::FullyEncoded);
    if (!m_bookPath.endsWith(u'/'))
        m_bookPath += u'/';
    m_blank = *m_book.NewContactData();
    m_blank.Categories.Clear();
    m_blank.Keywords.Clear();
    IndexBook();
    if (!List() || m_nothingToDo || !FetchChanged())
        return m_report;
    PairEntries();
    PairNewServerCards();
    PairNewLocalContacts();
    for (TSyncStep &step : m_steps)
        if (!step.refused)
            Decide(step);
    if (!DeletionsConfirmed())
        return m_report;
    if (m_options.dryRun) {
        Count();
        return m_report;
    }
    if (!WriteServer())
        return m_report;
    ApplyToBook();
    Count();
    if (m_bookChanged && m_options.saveBook && !m_options.saveBook(error)) {
        // The server's side is noted in the state; the book will take it next time.
        Fail(error);
        return m_report;
    }
    SaveFinalState();
    return m_report;
}

void TSyncRun::ApplyToBook()
{
    const TDateTime now = DateTimeToSerial(m_book.GetClock().NowUtc());
    std::vector<TContactData *> gone;
    for (TSyncStep &step : m_steps) {
        TContactData *contact = step.local;
        switch (step.localWrite) {
        case LocalWrite::None:
            break;
        case LocalWrite::Delete:
            gone.push_back(contact);
            continue;
        case LocalWrite::Create:
            contact = m_book.CreateContactData();
            [[fallthrough]];
        case LocalWrite::Update:
            m_book.NoteWillChange(contact);
            CopySyncedFields(step.result, *contact);
            contact->Modified = now;
            m_book.AddCategories(contact->Categories.Entries());
            m_book.AddKeywords(contact->Keywords.Entries());
            m_bookChanged = true;
            break;
        }
        if (contact && contact->Uid != step.uid) {
            m_book.NoteWillChange(contact);
            contact->Uid = step.uid;
            m_bookChanged = true;
        }
    }
    if (!gone.empty()) {
        m_book.DeleteContactDataList(gone);
        m_bookChanged = true;
    }
}

void TSyncRun::Count()
{
    TSyncCounts &counts = m_report.counts;
    for (TSyncStep &step : m_steps) {
        counts.serverCreated += step.serverWrite == ServerWrite::Create;
        counts.serverUpdated += step.serverWrite == ServerWrite::Update;
        counts.serverDeleted += step.serverWrite == ServerWrite::Delete;
        counts.localCreated += step.localWrite == LocalWrite::Create;
        counts.localUpdated += step.localWrite == LocalWrite::Update;
        counts.localDeleted += step.localWrite == LocalWrite::Delete;
        const QString name = m_book.GetDisplayNameFromContactData(&step.result, m_book.DisplayType());
        for (TSyncConflict conflict : std::as_const(step.conflicts)) {
            conflict.displayName = name;
            m_report.conflicts.append(conflict);
        }
    }
}

bool TSyncRun::SaveFinalState()
{
    TSyncState final;
    final.syncToken = m_info.syncCollection ? m_listing.syncToken : QString();
    // Our own writes moved the ctag: only a listing can tell what else did.
    final.ctag = m_serverChanged ? QString() : m_info.ctag;
    final.cards = m_state.cards;
    for (const QString &href : std::as_const(m_deletedOnServer))
        final.cards.remove(href);
    for (const TCardState &group : std::as_const(m_groups))
        final.cards.insert(group.href, group);
    for (const TSyncStep &step : m_steps) {
        if (step.entry && step.after == step.entry)
            continue;
        if (step.entry)
            final.cards.remove(step.entry->href);
        if (step.after)
            final.cards.insert(step.after->href, *step.after);
    }
    final.generation = m_state.generation;
    if (final == m_state)
        return true;
    ++final.generation;
    QString error;
    return SaveSyncState(m_options.stateFolder, final, error) || Fail(error);
}

} // namespace cardolin::carddav
