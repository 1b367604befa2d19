#pragma once

#include "online/carddav/CardDavSync.h"
#include "online/carddav/SyncState.h"

#include "contacts/ContactData.h"

#include <QHash>
#include <QSet>

#include <optional>
#include <vector>

namespace cardolin::carddav {

// A card as the server gave it this run.
struct TServerCard
{
    QString href;
    QString etag;
    QByteArray text;
};

enum class ServerWrite { None, Create, Update, Delete };
enum class LocalWrite { None, Create, Update, Delete };

// One card or contact: what each side holds now, what the run does with it,
// and what the state remembers of it afterwards.
struct TSyncStep
{
    std::optional<TCardState> entry; // from the last sync
    TContactData *local = nullptr;
    std::optional<TServerCard> server; // read this run: changed, or new there
    bool serverDeleted = false;
    bool localChanged = false;

    ServerWrite serverWrite = ServerWrite::None;
    LocalWrite localWrite = LocalWrite::None;
    TContactData result;   // the synced fields both sides hold afterwards
    QString uid;           // of the contact
    QString href;          // where the card is or goes
    QString ifMatch;       // what an update or a delete expects to find there
    QByteArray serverText; // what an upload patches (empty for a new card)
    QList<TSyncConflict> conflicts;

    std::optional<TCardState> after; // the entry to keep; unset: forget the card
    bool refused = false;
};

class TSyncRun
{
public:
    TSyncRun(TQorContacts &book, TAddressBookRemote &remote, const TCardDavSyncOptions &options);
    TCardDavSyncReport Run();

private:
    // Reading (SyncListing.cpp).
    bool List();
    bool ListingUsable(const TListing &listing);
    bool LocalChangesSinceState() const;
    void TakeListing();
    bool FetchChanged();
    TFetch FetchInBatches(const QStringList &hrefs);
    QString AbsoluteHref(const QString &href) const;
    std::optional<TContactData> ReadCard(const QByteArray &text) const;

    // Deciding (SyncPlan.cpp).
    void IndexBook();
    void PairEntries();
    void PairNewServerCards();
    TContactData *TakeUploadedUnnoted(const TServerCard &card);
    void PairNewLocalContacts();
    void Decide(TSyncStep &step);
    void DecideBoth(TSyncStep &step, const TContactData &base);
    QString NewCardHref(const QString &uid) const;
    TContactData BaseOf(const TSyncStep &step) const;
    bool DeletionsConfirmed();

    // Writing to the server (SyncWrites.cpp).
    bool WriteServer();
    bool WriteStep(TSyncStep &step);
    bool Upload(TSyncStep &step);
    bool Remove(TSyncStep &step);
    bool MergeWithFetched(TSyncStep &step);
    bool Refuse(TSyncStep &step, const TDavOutcome &outcome);
    void Uploaded(TSyncStep &step, const QByteArray &text, const TWriteOutcome &answer);
    void ReadBackUploads(std::vector<TSyncStep *> &uploads);
    bool SaveCheckpoint();

    // Finishing (CardDavSync.cpp).
    void ApplyToBook();
    void Count();
    bool SaveFinalState();
    bool Fail(const QString &error);

    TQorContacts &m_book;
    TAddressBookRemote &m_remote;
    const TCardDavSyncOptions &m_options;
    TCardDavSyncReport m_report;

    TSyncState m_state;      // as the last run left it
    TSyncState m_checkpoint; // m_state with this run's server writes
    QSet<QString> m_noted;   // hrefs of m_checkpoint changed since the last journal entry
    TAddressBookInfo m_info;
    TListing m_listing;
    QString m_bookPath;
    bool m_nothingToDo = false;

    QHash<QString, QString> m_changedEtags; // href -> etag listed, for cards to read
    QSet<QString> m_deletedOnServer;
    QHash<QString, TServerCard> m_fetched;
    QSet<QString> m_unreadable;
    QHash<QString, TCardState> m_groups;

    QHash<QString, TContactData *> m_byUid;     // contacts not yet paired
    std::vector<TContactData *> m_withoutUid;   // contacts whose Uid is missing or taken
    QHash<const TContactData *, QByteArray> m_hashes;
    QSet<QString> m_uidsInUse;
    TContactData m_blank;
    std::vector<TSyncStep> m_steps;
    bool m_bookChanged = false;
    bool m_serverChanged = false;
};

} // namespace cardolin::carddav
