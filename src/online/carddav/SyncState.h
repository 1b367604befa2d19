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
    bool operator==(const TSyncState &) const = default;
};

// A missing file is an empty state (the first sync). A damaged or foreign one
// is an error: guessing would bring deletions on either side.
bool LoadSyncState(const QString &folder, TSyncState &state, QString &error);
// Written atomically, for the owner alone.
bool SaveSyncState(const QString &folder, const TSyncState &state, QString &error);

} // namespace cardolin::carddav
