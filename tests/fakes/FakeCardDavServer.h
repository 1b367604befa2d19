#pragma once

#include "fakes/CoreApplication.h"
#include "fakes/ServeConnections.h"

#include <QCryptographicHash>
#include <QHash>
#include <QHostAddress>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QXmlStreamReader>

#include <functional>

namespace cardolin::testing {

// A small CardDAV server of our own on 127.0.0.1 with one user and one address
// book held in memory: PROPFIND (depth 0 and 1) along the discovery path,
// REPORT sync-collection and addressbook-multiget, GET, PUT and DELETE with
// their preconditions. Switches make it do what real servers rarely do, and
// every request is logged. Like the other fakes it runs on the caller's
// thread, served by the blocking client's local event loop.
//
//   /                      current-user-principal
//   /.well-known/carddav   301 to /dav/
//   /dav/principals/alice/ addressbook-home-set /dav/books/
//   /dav/books/main/       the address book
class FakeCardDavServer
{
public:
    struct Request
    {
        QString method;
        QString path; // percent-decoded
        QHash<QString, QString> headers; // names in lower case
        QByteArray body;
    };

    struct Card
    {
        QByteArray text;
        QString etag; // with its quotes
        int revision = 0;
    };

    FakeCardDavServer() : m_app((EnsureCoreApplication(), true))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        ServeConnections(m_server, [this](QTcpSocket *socket) { Serve(socket); });
        redirects.insert(QStringLiteral("/.well-known/carddav"), QStringLiteral("/dav/"));
    }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    QString Url(const QString &path) const { return BaseUrl() + QString::fromLatin1(Encoded(path).mid(1)); }
    QString BookUrl() const { return Url(bookPath); }
    QString CardPath(const QString &name) const { return bookPath + name; }

    // Where things are.
    QString principalPath = QStringLiteral("/dav/principals/alice/");
    QString homePath = QStringLiteral("/dav/books/");
    QString bookPath = QStringLiteral("/dav/books/main/");
    QHash<QString, QString> redirects; // path -> Location, answered 301 to every method

    // The account and the book.
    QString user = QStringLiteral("alice"), password = QStringLiteral("secret");
    bool requireAuth = true;
    bool digestOnly = false; // asks for Digest (MD5, qop auth) instead of Basic
    QString displayName = QStringLiteral("Main book");
    bool vcard4 = false;
    bool offerSyncCollection = true;
    bool offerCtag = true;
    QList<QPair<QString, QString>> otherBooks; // more empty address books: path, display name
    bool calendarInHome = false;               // a calendar collection beside the books
    bool hideBooks = false;                    // the home lists no address book
    bool strayMember = false;                  // a sub-collection and a non-vCard file inside the book
    bool absoluteHrefs = false;                // hrefs written as full URLs

    // Faults.
    int truncateAfter = 0;           // > 0: a sync answer names at most this many cards, then 507
    enum class PutEtag { Strong, Weak, None };
    PutEtag putEtag = PutEtag::Strong;
    bool rewriteUidOnPut = false;    // the stored card gets a UID of the server's own
    bool preconditionBody = false;   // 412 answers carry a DAV:error body
    int invalidTokenStatus = 403;    // how a sync token the server does not know is refused
    int tokenFloor = 0;              // tokens of older revisions are no longer known
    int throttleNext = 0;            // so many next requests answer throttleStatus ...
    int throttleStatus = 429;
    QString retryAfter = QStringLiteral("1"); // ... with this Retry-After (empty: none)
    int failFromRequest = 0;         // > 0: this request (from 1) and all after answer failStatus
    int failStatus = 500;
    int cutAtRequest = 0;            // > 0: this request (from 1) is cut off mid-answer

    // What came in.
    QList<Request> log;
    std::function<void(const Request &)> onRequest;

    int revision = 1;
    QMap<QString, Card> cards; // by path
    QMap<QString, int> deletedAt; // path -> revision of its deletion

    QString SyncToken() const { return SyncTokenOf(revision); }
    static QString SyncTokenOf(int of) { return QStringLiteral("http://fake.invalid/sync/%1").arg(of); }

    // Changes made on the server, as another client would.
    void SetCard(const QString &name, const QByteArray &text)
    {
        ++revision;
        cards.insert(CardPath(name), {text, QStringLiteral("\"e%1\"").arg(revision), revision});
        deletedAt.remove(CardPath(name));
    }
    void RemoveCard(const QString &name)
    {
        ++revision;
        cards.remove(CardPath(name));
        deletedAt.insert(CardPath(name), revision);
    }
    static QByteArray MakeCard(const QString &uid, const QString &name)
    {
        return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\nN:%2;;;;\r\nEND:VCARD\r\n")
            .arg(uid, name)
            .toUtf8();
    }

    int Count(const QString &method) const
    {
        int count = 0;
        for (const Request &request : log)
            count += request.method == method;
        return count;
    }

private:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
    };

    void Serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        Request request = Parse(pending.left(end));
        const int length = request.headers.value(QStringLiteral("content-length")).toInt();
        if (pending.size() < end + 4 + length)
            return;
        request.body = pending.mid(end + 4, length);
        m_pending.remove(socket);
        log.append(request);
        if (onRequest)
            onRequest(request);
        const int number = int(log.size());
        if (number == cutAtRequest) {
            socket->write("HTTP/1.1 207 Multi-Status\r\nContent-Type: application/xml\r\nContent-Length: 5000\r\n\r\n"
                          "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\"><d:response>");
            socket->flush();
            socket->abort();
            return;
        }
        Write(socket, Answer(request, number));
    }

    static Request Parse(const QByteArray &head)
    {
        Request request;
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = QString::fromLatin1(first.value(0));
        request.path = QUrl(QString::fromLatin1(first.value(1))).path(QUrl::FullyDecoded);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(QString::fromLatin1(lines[i].left(colon).trimmed()).toLower(),
                                       QString::fromUtf8(lines[i].mid(colon + 1).trimmed()));
        }
        return request;
    }

    static void Write(QTcpSocket *socket, const Reply &reply)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Fake\r\nConnection: close\r\n";
        for (const auto &[name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        if (!reply.body.isEmpty())
            head += "Content-Type: " + QByteArray(reply.body.startsWith("BEGIN:") ? "text/vcard" : "application/xml")
                    + "; charset=utf-8\r\n";
        socket->write(head + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    Reply Answer(const Request &request, int number)
    {
        if (failFromRequest > 0 && number >= failFromRequest)
            return {failStatus, {}, {}};
        if (throttleNext > 0) {
            --throttleNext;
            Reply reply{throttleStatus, {}, {}};
            if (!retryAfter.isEmpty())
                reply.headers.append({"Retry-After", retryAfter.toUtf8()});
            return reply;
        }
        if (redirects.contains(request.path))
            return {301, {}, {{"Location", redirects.value(request.path).toUtf8()}}};
        if (requireAuth && !Authorized(request))
            return {401, {}, {{"WWW-Authenticate", digestOnly ? "Digest realm=\"fake\", nonce=\"n0nce\", qop=\"auth\", "
                                                                "algorithm=MD5"
                                                              : "Basic realm=\"fake\""}}};
        if (request.method == QLatin1StringView("PROPFIND"))
            return Propfind(request);
        if (request.method == QLatin1StringView("REPORT") && request.path == bookPath)
            return request.body.contains("sync-collection") ? SyncCollection(request.body) : Multiget(request.body);
        if (request.method == QLatin1StringView("GET"))
            return Get(request.path);
        if (request.method == QLatin1StringView("PUT"))
            return Put(request);
        if (request.method == QLatin1StringView("DELETE"))
            return Delete(request);
        return {405, {}, {}};
    }

    bool Authorized(const Request &request) const
    {
        const QString header = request.headers.value(QStringLiteral("authorization"));
        if (!digestOnly)
            return header == QStringLiteral("Basic ") + QString::fromLatin1((user + u':' + password).toUtf8().toBase64());
        if (!header.startsWith(QStringLiteral("Digest ")))
            return false;
        QHash<QString, QString> fields;
        static const QRegularExpression field(QStringLiteral("(\\w+)=(?:\"([^\"]*)\"|([^,\\s]*))"));
        for (auto it = field.globalMatch(header); it.hasNext();) {
            const auto match = it.next();
            fields.insert(match.captured(1), match.captured(2) + match.captured(3));
        }
        auto md5 = [](const QString &text) {
            return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex();
        };
        const QByteArray first = md5(user + QStringLiteral(":fake:") + password);
        const QByteArray second = md5(request.method + u':' + fields.value(QStringLiteral("uri")));
        const QStringList parts = {QString::fromLatin1(first), QStringLiteral("n0nce"), fields.value(QStringLiteral("nc")),
                                   fields.value(QStringLiteral("cnonce")), QStringLiteral("auth"),
                                   QString::fromLatin1(second)};
        return fields.value(QStringLiteral("username")) == user
               && fields.value(QStringLiteral("response")) == QString::fromLatin1(md5(parts.join(u':')));
    }

    static QByteArray Escaped(const QString &text) { return text.toHtmlEscaped().toUtf8(); }
    static QByteArray Encoded(const QString &path) { return QUrl::toPercentEncoding(path, "/"); }
    QByteArray Href(const QString &path) const
    {
        const QByteArray encoded = Encoded(path);
        return "<d:href>" + (absoluteHrefs ? BaseUrl().toUtf8() + encoded.mid(1) : encoded) + "</d:href>";
    }
    static QByteArray Status(int status) { return "<d:status>HTTP/1.1 " + QByteArray::number(status) + " X</d:status>"; }
    QByteArray Response(const QString &path, const QByteArray &props) const
    {
        return "<d:response>" + Href(path) + "<d:propstat><d:prop>" + props + "</d:prop>" + Status(200)
               + "</d:propstat></d:response>";
    }
    static Reply Multistatus(const QByteArray &responses)
    {
        return {207,
                "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<d:multistatus xmlns:d=\"DAV:\" "
                "xmlns:card=\"urn:ietf:params:xml:ns:carddav\" xmlns:cs=\"http://calendarserver.org/ns/\">"
                    + responses + "</d:multistatus>",
                {}};
    }

    QByteArray BookProps(const QString &name, bool main) const
    {
        QByteArray props = "<d:resourcetype><d:collection/><card:addressbook/></d:resourcetype><d:displayname>"
                           + Escaped(name) + "</d:displayname>"
                           + "<card:supported-address-data><card:address-data-type content-type=\"text/vcard\" "
                             "version=\"3.0\"/>"
                           + (vcard4 ? "<card:address-data-type content-type=\"text/vcard\" version=\"4.0\"/>" : "")
                           + "</card:supported-address-data><d:supported-report-set>"
                             "<d:supported-report><d:report><card:addressbook-multiget/></d:report></d:supported-report>";
        if (offerSyncCollection)
            props += "<d:supported-report><d:report><d:sync-collection/></d:report></d:supported-report>";
        props += "</d:supported-report-set>";
        if (offerSyncCollection)
            props += "<d:sync-token>" + Escaped(main ? SyncToken() : SyncTokenOf(1)) + "</d:sync-token>";
        if (offerCtag)
            props += "<cs:getctag>ctag-" + QByteArray::number(main ? revision : 1) + "</cs:getctag>";
        return props;
    }

    Reply Propfind(const Request &request)
    {
        const bool deep = request.headers.value(QStringLiteral("depth")) == QLatin1StringView("1");
        const QByteArray principal = "<d:current-user-principal>" + Href(principalPath) + "</d:current-user-principal>";
        const QString &path = request.path;
        if (path == QLatin1StringView("/") || path == QLatin1StringView("/dav/"))
            return Multistatus(Response(path, "<d:resourcetype><d:collection/></d:resourcetype>" + principal));
        if (path == principalPath)
            return Multistatus(Response(path, "<d:resourcetype><d:principal/></d:resourcetype>" + principal
                                                  + "<card:addressbook-home-set>" + Href(homePath)
                                                  + "</card:addressbook-home-set>"));
        if (path == homePath) {
            QByteArray responses = Response(path, "<d:resourcetype><d:collection/></d:resourcetype>" + principal);
            if (deep && !hideBooks) {
                responses += Response(bookPath, BookProps(displayName, true));
                for (const auto &[other, name] : otherBooks)
                    responses += Response(other, BookProps(name, false));
            }
            if (deep && calendarInHome) {
                responses += Response(homePath + QStringLiteral("calendar/"),
                                      "<d:resourcetype><d:collection/><cal:calendar "
                                      "xmlns:cal=\"urn:ietf:params:xml:ns:caldav\"/></d:resourcetype>");
            }
            return Multistatus(responses);
        }
        if (path == bookPath)
            return Multistatus(Response(path, BookProps(displayName, true) + principal) + (deep ? Members() : ""));
        for (const auto &[other, name] : otherBooks)
            if (path == other)
                return Multistatus(Response(path, BookProps(name, false)));
        return {404, {}, {}};
    }

    QByteArray Members() const
    {
        QByteArray responses;
        for (auto it = cards.cbegin(); it != cards.cend(); ++it)
            responses += Response(it.key(), "<d:getetag>" + Escaped(it->etag)
                                                + "</d:getetag><d:getcontenttype>text/vcard; charset=utf-8"
                                                  "</d:getcontenttype><d:resourcetype/>");
        if (strayMember) {
            responses += Response(bookPath + QStringLiteral("sub/"), "<d:resourcetype><d:collection/></d:resourcetype>");
            responses += Response(bookPath + QStringLiteral("notes.txt"),
                                  "<d:getetag>\"n1\"</d:getetag><d:getcontenttype>text/plain</d:getcontenttype>");
        }
        return responses;
    }

    static QStringList Texts(const QByteArray &body, const QString &element)
    {
        QStringList texts;
        QXmlStreamReader xml(body);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == element)
                texts.append(xml.readElementText());
        }
        return texts;
    }

    Reply SyncCollection(const QByteArray &body)
    {
        const QString token = Texts(body, QStringLiteral("sync-token")).value(0);
        int since = 0;
        if (!token.isEmpty()) {
            const QString prefix = SyncTokenOf(0).chopped(1);
            bool known = token.startsWith(prefix);
            since = known ? token.mid(prefix.size()).toInt(&known) : 0;
            if (!known || since > revision || since < tokenFloor)
                return {invalidTokenStatus, "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\"><d:valid-sync-token/></d:error>",
                        {}};
        }
        // Changes in the order they happened, so that a cut answer's token covers what it named.
        QMultiMap<int, QString> changes;
        for (auto it = cards.cbegin(); it != cards.cend(); ++it)
            if (it->revision > since)
                changes.insert(it->revision, it.key());
        if (since > 0)
            for (auto it = deletedAt.cbegin(); it != deletedAt.cend(); ++it)
                if (it.value() > since)
                    changes.insert(it.value(), it.key());
        QByteArray responses;
        int named = 0;
        int upTo = revision;
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (truncateAfter > 0 && named == truncateAfter) {
                upTo = std::prev(it).key();
                responses += "<d:response>" + Href(bookPath) + Status(507) + "</d:response>";
                break;
            }
            ++named;
            const auto card = cards.constFind(it.value());
            responses += card == cards.cend()
                             ? "<d:response>" + Href(it.value()) + Status(404) + "</d:response>"
                             : Response(it.value(), "<d:getetag>" + Escaped(card->etag) + "</d:getetag>");
        }
        return Multistatus(responses + "<d:sync-token>" + Escaped(SyncTokenOf(upTo)) + "</d:sync-token>");
    }

    Reply Multiget(const QByteArray &body)
    {
        QByteArray responses;
        for (const QString &href : Texts(body, QStringLiteral("href"))) {
            const QString path = QUrl(href).path(QUrl::FullyDecoded);
            const auto card = cards.constFind(path);
            responses += card == cards.cend()
                             ? "<d:response>" + Href(path) + Status(404) + "</d:response>"
                             : Response(path, "<d:getetag>" + Escaped(card->etag) + "</d:getetag><card:address-data>"
                                                  + Escaped(QString::fromUtf8(card->text)) + "</card:address-data>");
        }
        return Multistatus(responses);
    }

    Reply Get(const QString &path) const
    {
        const auto card = cards.constFind(path);
        if (card == cards.cend())
            return {404, {}, {}};
        return {200, card->text, {{"ETag", card->etag.toUtf8()}}};
    }

    Reply Precondition() const
    {
        if (!preconditionBody)
            return {412, {}, {}};
        return {412, "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\"><d:lock-token-matches-request-uri/></d:error>",
                {}};
    }

    bool Matches(const Request &request, const QString &path) const
    {
        const QString ifMatch = request.headers.value(QStringLiteral("if-match"));
        if (ifMatch.isEmpty())
            return true;
        const auto card = cards.constFind(path);
        return card != cards.cend() && (ifMatch == QLatin1StringView("*") || ifMatch == card->etag);
    }

    Reply Put(const Request &request)
    {
        const bool exists = cards.contains(request.path);
        if ((request.headers.value(QStringLiteral("if-none-match")) == QLatin1StringView("*") && exists)
            || !Matches(request, request.path))
            return Precondition();
        if (!request.path.startsWith(bookPath))
            return {403, {}, {}};
        QString text = QString::fromUtf8(request.body);
        if (rewriteUidOnPut)
            text.replace(QRegularExpression(QStringLiteral("(?m)^UID:[^\r\n]*")),
                         QStringLiteral("UID:server-made-%1").arg(revision + 1));
        const QString name = request.path.mid(bookPath.size());
        SetCard(name, text.toUtf8());
        const QString etag = cards.value(request.path).etag;
        Reply reply{exists ? 204 : 201, {}, {}};
        if (putEtag == PutEtag::Strong)
            reply.headers.append({"ETag", etag.toUtf8()});
        else if (putEtag == PutEtag::Weak)
            reply.headers.append({"ETag", "W/" + etag.toUtf8()});
        return reply;
    }

    Reply Delete(const Request &request)
    {
        if (!cards.contains(request.path))
            return {404, {}, {}};
        if (!Matches(request, request.path))
            return Precondition();
        RemoveCard(request.path.mid(bookPath.size()));
        return {204, {}, {}};
    }

    bool m_app;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace cardolin::testing
