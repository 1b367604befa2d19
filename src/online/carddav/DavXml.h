#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cardolin::carddav {

// The properties of one member of a multistatus answer that the client reads,
// taken from its successful propstat blocks only.
struct DavProps
{
    QString etag;
    QString displayName;
    QString syncToken;
    QString ctag;
    QString contentType;
    bool collection = false;
    bool addressBook = false;
    QStringList principals; // current-user-principal hrefs
    QStringList homes;      // addressbook-home-set hrefs
    bool vcard4 = false;
    bool syncCollection = false;
    bool hasAddressData = false;
    QByteArray addressData;
};

struct DavResponse
{
    QString href;   // as the server wrote it
    int status = 0; // the response's own status; 0 when it has only propstats
    DavProps props;
};

struct DavMultistatus
{
    QList<DavResponse> responses;
    QString syncToken; // of the whole answer (sync-collection)
    QString error;     // why the answer could not be read; empty when it was
};

// Most a card's text may hold inside an answer.
constexpr qsizetype kMaxCardBytes = 10 * 1024 * 1024;

// Reads a multistatus body. A document type declaration, nesting deeper than
// any real answer, or a card above the cap makes it an error, as does
// anything that is not well-formed.
DavMultistatus ParseMultistatus(const QByteArray &body);

// True when an error body names the valid-sync-token precondition.
bool NamesValidSyncToken(const QByteArray &body);

// 404 from "HTTP/1.1 404 Not Found"; 0 when there is none.
int StatusOfLine(const QString &line);

} // namespace cardolin::carddav
