#include "online/carddav/CardDavClient.h"

#include "online/carddav/DavRequests.h"

#include <QHash>

namespace cardolin::carddav {

namespace {

// Rounds of a sync answer cut short (507) followed before giving up.
constexpr int kMaxSyncRounds = 10000;

const QByteArray kMemberPropfind =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/><d:getcontenttype/><d:sync-token/>"
    "</d:prop></d:propfind>";

QByteArray Escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray SyncBody(const QString &token)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>"
           + Escaped(token)
           + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
}

// Collections and files of other kinds may sit inside an address book.
bool IsCardMember(const DavProps &props)
{
    if (props.collection)
        return false;
    const QString type = props.contentType.section(u';', 0, 0).trimmed().toLower();
    return type.isEmpty() || type == QLatin1StringView("text/vcard") || type == QLatin1StringView("text/x-vcard")
           || type == QLatin1StringView("text/directory");
}

bool Succeeded(int status)
{
    return status == 0 || (status >= 200 && status < 300);
}

// Members of a listing in the order first seen; a later round of a cut sync
// answer may remove what an earlier one named.
class Members
{
public:
    void Present(const QString &href, const QString &etag)
    {
        if (!m_etags.contains(href))
            m_order.append(href);
        m_etags.insert(href, etag);
        m_removed.removeAll(href);
    }
    void Removed(const QString &href)
    {
        m_etags.remove(href);
        m_order.removeAll(href);
        if (!m_removed.contains(href))
            m_removed.append(href);
    }
    void Into(TListing &listing) const
    {
        for (const QString &href : m_order)
            listing.present.append({href, m_etags.value(href)});
        if (listing.incremental)
            listing.removed = m_removed;
    }

private:
    QStringList m_order;
    QHash<QString, QString> m_etags;
    QStringList m_removed;
};

} // namespace

struct TCardDavClient::Private
{
    DavTransport transport;
    QUrl book;
    QString bookPath;

    DavRequest Request(const QByteArray &method, const QByteArray &body, const char *depth) const
    {
        DavRequest request{method, book, body, "application/xml; charset=utf-8", {}, kMaxMultistatusBytes};
        if (depth)
            request.headers.append(qMakePair(QByteArray("Depth"), QByteArray(depth)));
        return request;
    }

    // The book answers under its own path, or the one a redirect led to.
    bool IsBook(const QString &path, const DavAnswer &answer) const
    {
        return SamePath(path, bookPath) || SamePath(path, answer.url.path(QUrl::FullyDecoded));
    }

    QUrl CardUrl(const QString &href) const
    {
        return WithPath(book, href.startsWith(u'/') ? href : bookPath + href);
    }

    TFetch MultigetOnce(const QStringList &hrefs, bool &tooLarge);
    TWriteOutcome Write(DavRequest request);
};

TCardDavClient::TCardDavClient(QNetworkAccessManager &network, const QUrl &book, TDavCredentials credentials)
    : d(new Private{DavTransport(network, std::move(credentials)), book, {}})
{
    d->bookPath = book.path(QUrl::FullyDecoded);
    if (!d->bookPath.endsWith(u'/'))
        d->bookPath += u'/';
    d->book = WithPath(book, d->bookPath);
}

TCardDavClient::~TCardDavClient() = default;

QUrl AddressBookUrl(const QUrl &server, const QString &href)
{
    return WithPath(server, href);
}

QString TCardDavClient::BookUrl() const
{
    return d->book.toString(QUrl::RemoveUserInfo);
}

void TCardDavClient::SetLimits(int idleMs, int deadlineMs, qint64 maxAnswerBytes)
{
    d->transport.SetLimits(idleMs, deadlineMs, maxAnswerBytes);
}

TAddressBookInfo TCardDavClient::Properties(TDavOutcome &outcome)
{
    DavMultistatus parsed;
    const DavAnswer answer = SendForMultistatus(d->transport, d->Request("PROPFIND", kBookPropfind, "0"), parsed);
    outcome = answer.outcome;
    for (const DavResponse &response : parsed.responses)
        if (d->IsBook(DecodedPath(answer.url, response.href), answer))
            return BookInfoOf(response, answer.url);
    if (outcome.error.isEmpty())
        outcome.error = QStringLiteral("The server %1 did not describe the address book.").arg(ServerName(d->book));
    return {};
}

TListing TCardDavClient::SyncCollection(const QString &token)
{
    TListing listing;
    listing.incremental = !token.isEmpty();
    Members members;
    QString current = token;
    for (int round = 0; round < kMaxSyncRounds; ++round) {
        const DavRequest request = d->Request("REPORT", SyncBody(current), "0");
        DavMultistatus parsed;
        const DavAnswer answer = SendForMultistatus(d->transport, request, parsed);
        listing.outcome = answer.outcome;
        if (answer.outcome.status != 207 && !current.isEmpty() && NamesValidSyncToken(answer.body)) {
            listing.tokenInvalid = true;
            listing.outcome.error = QStringLiteral("The server %1 no longer knows the sync token.")
                                        .arg(ServerName(d->book));
            return listing;
        }
        if (!answer.outcome.error.isEmpty())
            return listing;
        bool cut = false;
        for (const DavResponse &response : parsed.responses) {
            const QString path = DecodedPath(answer.url, response.href);
            if (d->IsBook(path, answer))
                cut |= response.status == 507;
            else if (response.status == 404)
                members.Removed(path);
            else if (Succeeded(response.status) && IsCardMember(response.props))
                members.Present(path, response.props.etag);
        }
        if (parsed.syncToken.isEmpty() || (cut && parsed.syncToken == current)) {
            listing.outcome.error =
                QStringLiteral("The server %1 sent a sync answer without a new sync token.").arg(ServerName(d->book));
            return listing;
        }
        current = parsed.syncToken;
        if (!cut) {
            members.Into(listing);
            listing.syncToken = current;
            listing.complete = true;
            return listing;
        }
    }
    listing.outcome.error = QStringLiteral("The server %1 kept cutting its sync answer short.").arg(ServerName(d->book));
    return listing;
}

TListing TCardDavClient::ListAll()
{
    TListing listing;
    DavMultistatus parsed;
    const DavAnswer answer = SendForMultistatus(d->transport, d->Request("PROPFIND", kMemberPropfind, "1"), parsed);
    listing.outcome = answer.outcome;
    if (!listing.outcome.error.isEmpty())
        return listing;
    Members members;
    for (const DavResponse &response : parsed.responses) {
        const QString path = DecodedPath(answer.url, response.href);
        if (d->IsBook(path, answer))
            listing.syncToken = response.props.syncToken;
        else if (Succeeded(response.status) && IsCardMember(response.props))
            members.Present(path, response.props.etag);
    }
    members.Into(listing);
    listing.complete = true;
    return listing;
}

TFetch TCardDavClient::Multiget(const QStringList &hrefs)
{
    if (hrefs.isEmpty())
        return {};
    bool tooLarge = false;
    TFetch fetch = d->MultigetOnce(hrefs, tooLarge);
    // Cards with large photos can make a full batch too large for one answer:
    // halves are asked for instead, down to one card.
    if (tooLarge && hrefs.size() > 1) {
        const qsizetype half = hrefs.size() / 2;
        fetch = Multiget(hrefs.mid(0, half));
        if (fetch.outcome.error.isEmpty()) {
            const TFetch rest = Multiget(hrefs.mid(half));
            fetch.outcome = rest.outcome;
            fetch.cards += rest.cards;
            fetch.missing += rest.missing;
        }
    }
    return fetch;
}

TFetch TCardDavClient::Private::MultigetOnce(const QStringList &hrefs, bool &tooLarge)
{
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<card:addressbook-multiget xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\">"
                      "<d:prop><d:getetag/><card:address-data/></d:prop>";
    for (const QString &href : hrefs)
        body += "<d:href>" + Escaped(CardUrl(href).path(QUrl::FullyEncoded)) + "</d:href>";
    body += "</card:addressbook-multiget>";
    TFetch fetch;
    DavMultistatus parsed;
    const DavAnswer answer = SendForMultistatus(transport, Request("REPORT", body, "1"), parsed);
    fetch.outcome = answer.outcome;
    tooLarge = answer.tooLarge;
    if (!fetch.outcome.error.isEmpty())
        return fetch;
    for (const DavResponse &response : parsed.responses) {
        const QString path = DecodedPath(answer.url, response.href);
        if (response.status == 404) {
            fetch.missing.append(path);
        } else if (response.props.hasAddressData) {
            fetch.cards.append({path, response.props.etag, response.props.addressData});
        } else {
            // Not a sign that the card is gone: the run must not act on it.
            fetch.outcome.error = QStringLiteral("The server %1 sent no card for %2.").arg(ServerName(book), path);
            return fetch;
        }
    }
    return fetch;
}

TWriteOutcome TCardDavClient::Private::Write(DavRequest request)
{
    const DavAnswer answer = transport.Send(request);
    TWriteOutcome outcome;
    outcome.outcome = answer.outcome;
    if (outcome.outcome.error.isEmpty() && !outcome.outcome.Ok())
        outcome.outcome.error = StatusError(request, answer.outcome.status);
    if (outcome.outcome.Ok() && !answer.etag.isEmpty() && !answer.etag.startsWith("W/")) {
        outcome.etag = QString::fromUtf8(answer.etag);
        outcome.strongEtag = true;
    }
    return outcome;
}

TWriteOutcome TCardDavClient::Put(const QString &href, const QByteArray &card, const QString &ifMatch)
{
    DavRequest request{"PUT", d->CardUrl(href), card, "text/vcard; charset=utf-8", {}, kMaxCardAnswerBytes};
    if (ifMatch.isEmpty())
        request.headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
    else
        request.headers.append(qMakePair(QByteArray("If-Match"), QByteArray(ifMatch.toUtf8())));
    return d->Write(request);
}

TWriteOutcome TCardDavClient::Delete(const QString &href, const QString &ifMatch)
{
    DavRequest request{"DELETE", d->CardUrl(href), {}, {}, {}, kMaxCardAnswerBytes};
    if (!ifMatch.isEmpty())
        request.headers.append(qMakePair(QByteArray("If-Match"), QByteArray(ifMatch.toUtf8())));
    return d->Write(request);
}

} // namespace cardolin::carddav
