#include "online/carddav/CardDavClient.h"

#include "online/carddav/DavRequests.h"

namespace cardolin::carddav {

namespace {

const QString kNoBook = QStringLiteral("No address book was found at this address.");

class Discovery
{
public:
    Discovery(QNetworkAccessManager &network, const TDavCredentials &credentials) : m_transport(network, credentials)
    {
    }

    // What one address leads to: the book itself, or the books of the
    // principal or home it names.
    TDiscovery From(const QUrl &url)
    {
        TDiscovery found;
        DavMultistatus parsed;
        const DavAnswer answer = Propfind(url, "0", parsed, found.outcome);
        if (!found.outcome.error.isEmpty() || parsed.responses.isEmpty())
            return found;
        const DavResponse &own = parsed.responses.first();
        const QUrl base = answer.url;
        if (!own.props.principals.isEmpty())
            found.principal = base.resolved(QUrl(own.props.principals.first()));
        if (own.props.addressBook) {
            found.books.append(BookInfoOf(own, base));
            return found;
        }
        QStringList homes = own.props.homes;
        QUrl homeBase = base;
        if (homes.isEmpty() && found.principal.isValid()) {
            DavMultistatus principal;
            const DavAnswer asked = Propfind(found.principal, "0", principal, found.outcome);
            if (!found.outcome.error.isEmpty())
                return found;
            for (const DavResponse &response : principal.responses)
                homes += response.props.homes;
            homeBase = asked.url;
        }
        // An address without a home may be the home itself.
        if (homes.isEmpty())
            homes.append(base.path(QUrl::FullyEncoded));
        for (const QString &home : homes) {
            Books(homeBase.resolved(QUrl(home)), found);
            if (found.outcome.status == 401)
                return found;
        }
        return found;
    }

private:
    DavAnswer Propfind(const QUrl &url, const char *depth, DavMultistatus &parsed, TDavOutcome &outcome)
    {
        DavRequest request{"PROPFIND", url, kBookPropfind, "application/xml; charset=utf-8", {{"Depth", depth}},
                           kMaxMultistatusBytes};
        const DavAnswer answer = SendForMultistatus(m_transport, request, parsed);
        outcome = answer.outcome;
        return answer;
    }

    void Books(const QUrl &home, TDiscovery &found)
    {
        DavMultistatus parsed;
        TDavOutcome outcome;
        const DavAnswer answer = Propfind(home, "1", parsed, outcome);
        found.outcome = outcome;
        for (const DavResponse &response : parsed.responses)
            if (response.props.addressBook)
                found.books.append(BookInfoOf(response, answer.url));
    }

    DavTransport m_transport;
};

QUrl Typed(const QUrl &start)
{
    QUrl url = start;
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

} // namespace

TDiscovery DiscoverAddressBooks(QNetworkAccessManager &network, const QUrl &start, const TDavCredentials &credentials)
{
    const QUrl url = Typed(start);
    TDiscovery result;
    if (!url.isValid() || url.host().isEmpty()) {
        result.outcome.error = QStringLiteral("\"%1\" is not the address of a server.").arg(start.toString());
        return result;
    }
    // A bare host is asked the well-known address first; any other address
    // is taken as meant, with the well-known one as a fall-back.
    const QUrl known = WithPath(url, QStringLiteral("/.well-known/carddav"));
    QList<QUrl> tries = {url, known};
    if (url.path() == QLatin1StringView("/"))
        tries = {known, url};
    Discovery discovery(network, credentials);
    for (const QUrl &address : tries) {
        result = discovery.From(address);
        if (!result.books.isEmpty()) {
            result.outcome.error.clear();
            result.outcome.status = 207;
            return result;
        }
        // A refused password or an address we will not send it to is the
        // answer; a missing page is not.
        if (result.outcome.status == 401 || (result.outcome.status == 0 && !result.outcome.error.isEmpty()))
            return result;
    }
    result.outcome.error = kNoBook;
    return result;
}

} // namespace cardolin::carddav
