#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace cardolin {

class TQorContacts;
class TQorRegistryEnhanced;
class UserPrompts;
struct TContactData;

// What a run does with differences; any unexpected stored index is Contribute.
enum TSyncAction { saContribute, saEcho, saSynchronize };
TSyncAction SyncActionFromIndex(int index);

struct TSyncCounters
{
    int LocalCreated = 0, LocalDeleted = 0, LocalUpdated = 0;
    int CloudCreated = 0, CloudDeleted = 0, CloudUpdated = 0;
    int Total() const { return LocalCreated + LocalDeleted + LocalUpdated + CloudCreated + CloudDeleted + CloudUpdated; }
};

// "5 second(s)", "2 minute(s)", "0 millisecond" ... from milliseconds.
QString DurationText(qint64 ms);

// One synchronisation of a book (the working collection) with a Google
// account read into a second collection. The caller shows what follows.
class TGoogleSync
{
public:
    TGoogleSync(TQorRegistryEnhanced &registry, TQorContacts &book, TQorContacts &account, UserPrompts &prompts);

    TSyncAction Action = saContribute;
    // Lines for the debug log; nothing is written while unset.
    std::function<void(const QString &)> Log;
    // Called now and then during the passes so the window stays alive.
    std::function<void()> KeepAlive;

    // Connects with the account's stored token, reads the account and brings
    // the two sides together as the action says, stores the token again, and
    // leaves the account side empty. False when the connection or the reading
    // of the account failed; then nothing was changed on either side.
    bool Run(const QString &googleAccount);

    // The passes over an account already read, public for measurements.
    // The matching pass uses an index of the book's names, built here.
    void MatchingPass();
    void UploadPass();

    // True when the last run stopped at once because the program has no Google
    // client ID or secret: the warning is shown, there is nothing to report.
    bool NotConfigured() const { return m_notConfigured; }
    const TSyncCounters &Counters() const { return m_counters; }
    const QStringList &Warnings() const { return m_warnings; }
    // The time the run took after the sign-in.
    qint64 ElapsedMs() const { return m_elapsedMs; }
    // "N contacts have been synced in D." for the results.
    QString ResultText() const;

private:
    void Write(const QString &line) const;
    bool ReadAccount();
    void FillEmptyBook();
    void FirstUpload();
    void MatchAndUpload();
    void Upload();
    bool ConfirmDeletions(const QHash<QString, std::vector<TContactData *>> &index) const;
    void Match(TContactData &bookContact, const TContactData &accountContact);
    void Keep() const;

    TQorRegistryEnhanced &m_registry;
    TQorContacts &m_book;
    TQorContacts &m_account;
    UserPrompts &m_prompts;
    TSyncCounters m_counters;
    QStringList m_warnings;
    qint64 m_elapsedMs = 0;
    bool m_readFailed = false;
    bool m_notConfigured = false;
};

} // namespace cardolin
