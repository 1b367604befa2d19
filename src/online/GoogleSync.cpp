#include "online/GoogleSync.h"

#include "contacts/QorContacts.h"
#include "online/StoredGoogleAccounts.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QElapsedTimer>

namespace cardolin {

using NameIndex = QHash<QString, std::vector<TContactData *>>;

TSyncAction SyncActionFromIndex(int index)
{
    return index == saEcho || index == saSynchronize ? TSyncAction(index) : saContribute;
}

QString DurationText(qint64 ms)
{
    if (ms > 86400000)
        return QStringLiteral("Too many milliseconds to display.");
    if (ms > 3600000)
        return QString::number(ms / 3600000) + QStringLiteral(" hour(s)");
    if (ms > 60000)
        return QString::number(ms / 60000) + QStringLiteral(" minute(s)");
    if (ms > 1000)
        return QString::number(ms / 1000) + QStringLiteral(" second(s)");
    if (ms == 0)
        return QStringLiteral("0 millisecond");
    return QString::number(ms) + QStringLiteral(" millisecond(s)");
}

TGoogleSync::TGoogleSync(TQorRegistryEnhanced &registry, TQorContacts &book, TQorContacts &account,
                         UserPrompts &prompts)
    : m_registry(registry), m_book(book), m_account(account), m_prompts(prompts)
{
}

void TGoogleSync::Write(const QString &line) const
{
    if (Log)
        Log(line);
}

void TGoogleSync::Keep() const
{
    if (KeepAlive)
        KeepAlive();
}

QString TGoogleSync::ResultText() const
{
    return QString::number(m_counters.Total()) + QStringLiteral(" contacts have been synced in ")
           + DurationText(m_elapsedMs) + u'.';
}

bool TGoogleSync::Run(const QString &googleAccount)
{
    m_counters = {};
    m_warnings.clear();
    m_readFailed = false;
    const QString token = ReadGoogleRefreshToken(m_registry, googleAccount);
    for (TQorContacts *side : {&m_book, &m_account}) {
        side->SetGoogleAccount(googleAccount);
        side->SetGoogleRefreshToken(token);
    }
    // Without the program's own credentials nothing can be tried: the warning
    // says so, and the account's token is not to blame.
    m_notConfigured = m_book.GoogleClientID().isEmpty() || m_book.GoogleClientSecret().isEmpty();
    bool done = m_book.ConnectToGoogleContactsService();
    if (m_notConfigured)
        return false;
    // The sign-in may wait for the user; the run is timed from its end.
    QElapsedTimer clock;
    clock.start();
    if (!done) {
        // The token did not work: the next run must not offer it again.
        WriteGoogleRefreshToken(m_registry, googleAccount, QString());
    } else {
        WriteGoogleRefreshToken(m_registry, googleAccount, m_book.GoogleRefreshToken());
        WriteSetting(m_registry, SettingId::DefaultGoogleAccount, googleAccount);
        m_account.SetGoogleRefreshToken(m_book.GoogleRefreshToken());
        if (m_book.ContactDataList().empty())
            FillEmptyBook();
        else
            MatchAndUpload();
    }
    m_elapsedMs = clock.elapsed();
    QString result = ResultText();
    result.chop(1);
    Write(result);
    m_account.DisconnectFromGoogleContactsService();
    m_account.ClearContactDataList();
    m_book.SetGooglePersonLeftovers({});
    return done && !m_readFailed;
}

// A read that failed on any page leaves a part of the account, which must
// count neither as the account (the rest would look deleted) nor as empty.
bool TGoogleSync::ReadAccount()
{
    const int read = m_account.ImportFromGoogleContactsService();
    m_readFailed = read == 0 || !m_account.LastError().isEmpty();
    if (m_readFailed) {
        m_account.ClearContactDataList();
        m_warnings.append(QStringLiteral("The contacts of the Google account could not all be read. "
                                         "Nothing has been changed."));
    }
    return !m_readFailed;
}

void TGoogleSync::FillEmptyBook()
{
    if (!ReadAccount())
        return;
    for (const auto &accountContact : m_account.ContactDataList()) {
        Keep();
        m_book.CopyContactData(accountContact.get(), m_book.CreateContactData(), ctGoogle);
    }
    m_counters.LocalCreated = int(m_account.ContactDataList().size());
}

void TGoogleSync::MatchAndUpload()
{
    Write(QStringLiteral("Start ImportFromGoogleContactsService"));
    QElapsedTimer clock;
    clock.start();
    const bool read = ReadAccount();
    const int accountCount = int(m_account.ContactDataList().size());
    Write(QStringLiteral("  ") + QString::number(accountCount) + QStringLiteral(" cloud contacts found"));
    Write(QStringLiteral("  It took ") + DurationText(clock.elapsed()));
    Write(QStringLiteral("End ImportFromGoogleContactsService"));
    if (!read)
        return;
    Write(QStringLiteral("Start Sync"));
    Write(QStringLiteral("  Check ") + QString::number(accountCount) + QStringLiteral(" cloud contacts against ")
          + QString::number(m_book.ContactDataList().size()) + QStringLiteral(" local contacts"));
    if (accountCount == 0)
        FirstUpload();
    else {
        MatchingPass();
        UploadPass();
    }
    Write(QStringLiteral("  End ExportToGoogleContactsService"));
    Write(QStringLiteral("End Sync"));
}

void TGoogleSync::FirstUpload()
{
    const int count = int(m_book.ContactDataList().size());
    m_prompts.ShowWarning(QStringLiteral("First time sync of ") + QString::number(count)
                          + QStringLiteral(" contact(s) can take up to ") + DurationText(qint64(count) * 500)
                          + u'.');
    for (const auto &contact : m_book.ContactDataList())
        contact->Exportable = true;
    Write(QStringLiteral("  Start ExportToGoogleContactsService"));
    Write(QStringLiteral("    Exporting all contacts"));
    QElapsedTimer clock;
    clock.start();
    Upload();
    Write(QStringLiteral("    It took ") + DurationText(clock.elapsed()));
}

// Counted as the service answered: what was refused, or never sent after a
// refusal, is no creation or update in the account.
void TGoogleSync::Upload()
{
    m_book.ExportToGoogleContactsService();
    const auto &sent = m_book.LastGoogleExportCounts();
    m_counters.CloudCreated += sent.created;
    m_counters.CloudUpdated += sent.updated;
}

namespace {

QString NameOf(const TQorContacts &side, const TContactData &contact)
{
    return side.GetDisplayNameFromContactData(&contact, dtFirstLastName);
}

} // namespace

// Before the account loses anything, the user sees how much: a book that
// lost contacts by mistake must not empty the account silently.
bool TGoogleSync::ConfirmDeletions(const NameIndex &index) const
{
    int doomed = 0;
    for (const auto &accountContact : m_account.ContactDataList())
        doomed += !index.contains(NameOf(m_account, *accountContact));
    if (doomed == 0)
        return false;
    return m_prompts.AskYesNo(QString::number(doomed)
                              + QStringLiteral(" contact(s) of the Google account have no contact of the same name "
                                               "in the contacts book and will be deleted from the account.\n"
                                               "Delete them?"));
}

void TGoogleSync::MatchingPass()
{
    NameIndex index;
    index.reserve(qsizetype(m_book.ContactDataList().size()));
    for (const auto &contact : m_book.ContactDataList())
        index[NameOf(m_book, *contact)].push_back(contact.get());
    const bool deleting = Action == saEcho && ConfirmDeletions(index);
    const auto &accountContacts = m_account.ContactDataList();
    for (size_t i = 0; i < accountContacts.size();) {
        Keep();
        TContactData &accountContact = *accountContacts[i];
        const QString name = NameOf(m_account, accountContact);
        const auto found = index.constFind(name);
        const size_t matches = found == index.cend() ? 0 : found->size();
        if (matches == 1) {
            Match(*found->front(), accountContact);
        } else if (matches > 1) {
            m_warnings.append(QString::number(matches)
                              + QStringLiteral(" contacts have been found for the following contact:\r")
                              + m_account.GetDisplayNameFromContactData(&accountContact, dtInherited)
                              + QStringLiteral("\rThis contact will be skipped during sync process."));
        } else if (deleting) {
            if (m_account.DeleteGoogleContactFromGoogleContactsService(&accountContact, true)) {
                ++m_counters.CloudDeleted;
                continue; // the same place now holds the next contact
            }
        } else if (Action == saSynchronize) {
            TContactData *created = m_book.CreateContactData();
            m_book.CopyContactData(&accountContact, created, ctGoogle);
            index[NameOf(m_book, *created)].push_back(created);
            ++m_counters.LocalCreated;
        }
        ++i;
    }
}

void TGoogleSync::Match(TContactData &bookContact, const TContactData &accountContact)
{
    bookContact.GoogleContactID = accountContact.GoogleContactID;
    bookContact.GoogleContactETag = accountContact.GoogleContactETag;
    bookContact.GoogleContactPhotoUrl = accountContact.GoogleContactPhotoUrl;
    if (accountContact.Synced <= bookContact.Synced)
        return;
    if (Action == saSynchronize) {
        m_book.CopyContactData(&accountContact, &bookContact, ctGoogle);
        bookContact.Synced = accountContact.Synced;
        ++m_counters.LocalUpdated;
        return;
    }
    if (bookContact.Synced == 0) {
        bookContact.ExportableOverride = true;
        Write(QStringLiteral("  Force sync of ") + NameOf(m_book, bookContact));
    }
    bookContact.Synced = accountContact.Synced;
}

void TGoogleSync::UploadPass()
{
    for (const auto &contact : m_book.ContactDataList()) {
        Keep();
        TContactData &c = *contact;
        if (c.ExportableOverride) {
            c.Exportable = true;
            c.ExportableOverride = false;
        } else {
            c.Exportable = c.Synced < c.Modified;
        }
        if (c.GoogleContactID.isEmpty())
            Write(QStringLiteral("    ") + NameOf(m_book, c) + QStringLiteral(" is not present in cloud"));
    }
    Write(QStringLiteral("  Start ExportToGoogleContactsService"));
    Write(QStringLiteral("    Exporting selected contacts"));
    // An update must not drop from the account what the book could not hold.
    m_book.SetGooglePersonLeftovers(m_account.GooglePersonLeftovers());
    QElapsedTimer clock;
    clock.start();
    Upload();
    Write(QStringLiteral("    It took ") + DurationText(clock.elapsed()));
}

} // namespace cardolin
