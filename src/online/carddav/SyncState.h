#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace cardolin::carddav {

// What both sides held at the end of the last sync, for one card.
struct TCardState
{
    QString href;        // absolute path on the server
    QString etag;        // empty: the card is to be read again
    QString uid;         // the linked contact's Uid (not necessarily the card's UID)
    QByteArray base;     // the server's text
    QByteArray localHash; // of the contact's synced fields
    bool group = false;  // a group card, left alone
    bool operator==(const TCardState &) const = default;
};

struct TSyncState
{
    QString syncToken;
    QString ctag;
    QHash<QString, TCardState> cards; // by href
    qint64 generation = 0;            // of the whole file; the journal names the one it follows
    bool operator==(const TSyncState &) const = default;
};

// The whole state, with the journal of its generation replayed over it. A
// missing file is an empty state (the first sync). A damaged or foreign one
// is an error: guessing would bring deletions on either side.
bool LoadSyncState(const QString &folder, TSyncState &state, QString &error);
// Written atomically, for the owner alone; the journal it makes obsolete goes.
bool SaveSyncState(const QString &folder, const TSyncState &state, QString &error);
// Notes what state now holds for hrefs (or that they are gone), after the
// whole state of the same generation: cheap enough for every batch of writes,
// where saving everything each time would grow with the square of the book.
bool AppendSyncJournal(const QString &folder, const TSyncState &state, const QStringList &hrefs, QString &error);

} // namespace cardolin::carddav
