#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cardolin::carddav {

// How one request to the server ended. status is the HTTP status (0 when no
// answer came); error is a sentence for the user when it failed.
struct TDavOutcome
{
    int status = 0;
    QString error;
    bool Ok() const { return error.isEmpty() && status >= 200 && status < 300; }
};

// An address book as discovery finds it.
struct TAddressBookInfo
{
    QString href;          // absolute path on the server, percent-decoded, ends with '/'
    QString displayName;   // may be empty
    QString syncToken;     // empty when the server has no sync-collection
    QString ctag;          // getctag, empty when not offered
    bool vcard4 = false;   // supported-address-data lists version 4.0
    bool syncCollection = false;
};

// One card as a listing names it.
struct TCardVersion
{
    QString href; // absolute path on the server, percent-decoded
    QString etag; // as the server wrote it, quotes and W/ included
};

// The members of the address book, or what changed since a sync token.
struct TListing
{
    TDavOutcome outcome;
    bool complete = false;        // false: the run must not delete or change anything on it
    bool tokenInvalid = false;    // the stored token was refused (valid-sync-token); list everything
    bool incremental = false;     // the cards below are changes since the token, not all members
    QList<TCardVersion> present;  // everything, or what changed
    QStringList removed;          // hrefs gone since the token (incremental only)
    QString syncToken;            // the token to store after this listing
};

struct TFetchedCard
{
    QString href;
    QString etag;
    QByteArray text;
};

struct TFetch
{
    TDavOutcome outcome;
    QList<TFetchedCard> cards;
    QStringList missing; // asked for, answered 404
};

// What a PUT or DELETE did. status carries 412, 404 and the like for the engine
// to act on; etag is empty when the answer had none or only a weak one.
struct TWriteOutcome
{
    TDavOutcome outcome;
    QString etag;
    bool strongEtag = false;
};

// One address book on a server, seen through the requests a sync needs.
// Calls block until the answer is read (the engine runs on its own thread);
// 429 and 503 are retried inside, so the engine sees only final answers.
class TAddressBookRemote
{
public:
    virtual ~TAddressBookRemote() = default;

    // Display name, sync token, ctag and supported versions of this book.
    virtual TAddressBookInfo Properties(TDavOutcome &outcome) = 0;
    // sync-collection from token (empty: everything); followed through 507.
    virtual TListing SyncCollection(const QString &token) = 0;
    // PROPFIND Depth 1 getetag: every member, for servers without sync-collection.
    virtual TListing ListAll() = 0;
    // addressbook-multiget; the caller passes at most 100 hrefs at a time.
    virtual TFetch Multiget(const QStringList &hrefs) = 0;
    // href is relative to the book (a file name) or an absolute path.
    // ifMatch empty means a create: If-None-Match: *.
    virtual TWriteOutcome Put(const QString &href, const QByteArray &card, const QString &ifMatch) = 0;
    virtual TWriteOutcome Delete(const QString &href, const QString &ifMatch) = 0;
    // The book's own address, for messages and state keys.
    virtual QString BookUrl() const = 0;
};

} // namespace cardolin::carddav
