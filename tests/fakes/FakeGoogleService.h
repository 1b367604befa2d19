#pragma once

#include "fakes/CoreApplication.h"
#include "fakes/ServeConnections.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <functional>

namespace cardolin::testing {

// A small Google of our own on 127.0.0.1: the token endpoint, the People
// connections with paging, createContact, updateContact (etag checked),
// deleteContact, contact groups and photos. Every People request must carry the
// current access token. It runs on the caller's thread: the blocking client's
// local event loop serves it, and tests that run the command-line tool wait for
// it in an event loop.
class FakeGoogleService
{
public:
    FakeGoogleService() : m_app((EnsureCoreApplication(), true))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        ServeConnections(m_server, [this](QTcpSocket *socket) { Serve(socket); });
    }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    // Points the program's endpoint variables at this service.
    void Install() const
    {
        qputenv("CARDOLIN_GOOGLE_AUTH_URL", (BaseUrl() + "o/oauth2/auth").toUtf8());
        qputenv("CARDOLIN_GOOGLE_TOKEN_URL", BaseUrl().toUtf8());
        qputenv("CARDOLIN_GOOGLE_PEOPLE_URL", BaseUrl().toUtf8());
    }

    // Accounts and tokens.
    QString clientId = "client-id", clientSecret = "client-secret";
    QString validCode = "4/valid-code", refreshToken = "refresh-1", accessToken = "access-1";
    QString codeChallenge; // when set, the exchange must bring its verifier
    bool giveRefreshToken = true;

    // Content of the account.
    QList<QJsonObject> people;
    QList<QPair<QString, QString>> groups; // name, resource name
    QHash<QString, QByteArray> photos;     // by path, "/photos/1"

    // Faults.
    int failUploadNumber = 0; // the n-th create or update (from 1) answers failStatus
    int failStatus = 500;
    int failConnectionsPage = 0; // this page (from 0) of the connections answers 500 ...
    int failConnectionsTimes = 0; // ... so many times
    bool omitCreatedGroupName = false;
    // > 0: every listing page brings this many new items, a next page and a
    // huge total, for ever (a service that never stops).
    int endlessPageSize = 0;

    // What came in.
    QStringList requestLines; // "GET /v1/people/me/connections?..."
    QList<QUrlQuery> tokenForms;
    QList<QJsonObject> uploads;
    int uploadCount = 0;
    // Runs before each request is answered, with its line: what happens
    // elsewhere while the client waits.
    std::function<void(const QString &)> onRequest;

    void AddPeople(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int n = int(people.size()) + 1;
            people.append(QJsonObject{{"resourceName", QString("people/c%1").arg(n)},
                                      {"etag", "e1"},
                                      {"names", QJsonArray{QJsonObject{{"givenName", QString("Given%1").arg(n)},
                                                                       {"familyName", "Person"}}}}});
        }
    }
    int CountRequests(const QString &start) const
    {
        int count = 0;
        for (const QString &line : requestLines)
            count += line.startsWith(start);
        return count;
    }

private:
    struct Reply
    {
        int status = 200;
        QByteArray body = "{}";
        QByteArray contentType = "application/json";
    };

    void Serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = pending.left(end);
        const int length = Header(head, "Content-Length").toInt();
        if (pending.size() < end + 4 + length)
            return;
        const QByteArray body = pending.mid(end + 4, length);
        m_pending.remove(socket);
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        const QString method = QString::fromLatin1(requestLine.value(0));
        const QString target = QString::fromLatin1(requestLine.value(1));
        requestLines.append(method + ' ' + target);
        if (onRequest)
            onRequest(requestLines.last());
        const Reply reply = Answer(method, QUrl(target), Header(head, "Authorization"), body);
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Fake\r\nContent-Type: " + reply.contentType
                      + (reply.status == 429 || reply.status >= 500 ? "\r\nRetry-After: 0" : "")
                      + "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(reply.body.size())
                      + "\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    static QByteArray Header(const QByteArray &head, const QByteArray &name)
    {
        for (const QByteArray &line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }

    static Reply Json(const QJsonObject &object, int status = 200)
    {
        return {status, QJsonDocument(object).toJson(), "application/json"};
    }

    static Reply Error(int status, const QString &reason)
    {
        return Json({{"error", QJsonObject{{"code", status}, {"message", reason}, {"status", reason},
                                           {"details", QJsonArray{QJsonObject{{"reason", reason}}}}}}},
                    status);
    }

    Reply Answer(const QString &method, const QUrl &url, const QByteArray &authorization, const QByteArray &body)
    {
        const QString path = url.path();
        if (method == "POST" && path == "/token")
            return Token(QUrlQuery(QString::fromUtf8(body)));
        if (method == "GET" && photos.contains(path))
            return {200, photos.value(path), "image/jpeg"};
        if (authorization != "Bearer " + accessToken.toUtf8())
            return Error(401, "UNAUTHENTICATED");
        const QUrlQuery query(url);
        if (method == "GET" && path == "/v1/people/me/connections")
            return Connections(query);
        if (method == "POST" && path == "/v1/people:createContact")
            return Upload(body, QString());
        if (method == "PATCH" && path.endsWith(":updateContact"))
            return Upload(body, path.mid(4, path.size() - 4 - 14));
        if (method == "DELETE" && path.endsWith(":deleteContact"))
            return DeletePerson(path.mid(4, path.size() - 4 - 14));
        if (method == "GET" && path == "/v1/contactGroups")
            return Groups(query);
        if (method == "POST" && path == "/v1/contactGroups")
            return CreateGroup(body);
        if (method == "DELETE" && path.startsWith("/v1/contactGroups/"))
            return DeleteGroup(path.mid(4));
        return Error(404, "NOT_FOUND");
    }

    Reply Token(const QUrlQuery &form)
    {
        tokenForms.append(form);
        if (form.queryItemValue("client_id") != clientId || form.queryItemValue("client_secret") != clientSecret)
            return Json({{"error", "invalid_client"}}, 401);
        const QString grant = form.queryItemValue("grant_type");
        if (grant == "refresh_token" && form.queryItemValue("refresh_token") == refreshToken)
            return Json({{"access_token", accessToken}, {"expires_in", 3599}});
        if (grant != "authorization_code" || form.queryItemValue("code", QUrl::FullyDecoded) != validCode)
            return Json({{"error", "invalid_grant"}}, 400);
        const QByteArray verifier = form.queryItemValue("code_verifier", QUrl::FullyDecoded).toLatin1();
        const QString challenge = QString::fromLatin1(
            QCryptographicHash::hash(verifier, QCryptographicHash::Sha256)
                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
        if (!codeChallenge.isEmpty() && challenge != codeChallenge)
            return Json({{"error", "invalid_grant"}}, 400);
        QJsonObject answer{{"access_token", accessToken}, {"expires_in", 3599}};
        if (giveRefreshToken)
            answer.insert("refresh_token", refreshToken);
        return Json(answer);
    }

    // Page tokens are the offset of the page's first item.
    template <typename Item, typename ToJson>
    QJsonObject Page(const QList<Item> &items, const QUrlQuery &query, const char *member, ToJson toJson)
    {
        const int size = qMax(1, query.queryItemValue("pageSize").toInt());
        const int offset = query.queryItemValue("pageToken").toInt();
        QJsonArray elements;
        for (int i = offset; i < qMin(int(items.size()), offset + size); ++i)
            elements.append(toJson(items[i]));
        QJsonObject page{{"totalItems", int(items.size())}};
        if (!elements.isEmpty())
            page.insert(member, elements);
        if (offset + size < items.size())
            page.insert("nextPageToken", QString::number(offset + size));
        return page;
    }

    // Items numbered on from the page token, with another page always to come.
    template <typename MakeItem>
    Reply EndlessPage(const QUrlQuery &query, const char *member, MakeItem item)
    {
        const int offset = query.queryItemValue("pageToken").toInt();
        QJsonArray elements;
        for (int i = offset; i < offset + endlessPageSize; ++i)
            elements.append(item(i));
        return Json({{member, elements},
                     {"totalItems", 2000000000},
                     {"nextPageToken", QString::number(offset + endlessPageSize)}});
    }

    Reply Connections(const QUrlQuery &query)
    {
        if (endlessPageSize > 0)
            return EndlessPage(query, "connections", [](int i) {
                return QJsonObject{{"resourceName", QString("people/e%1").arg(i)},
                                   {"names", QJsonArray{QJsonObject{{"givenName", QString("E%1").arg(i)}}}}};
            });
        const int size = qMax(1, query.queryItemValue("pageSize").toInt());
        const int pageNumber = query.queryItemValue("pageToken").toInt() / size;
        if (pageNumber == failConnectionsPage && failConnectionsTimes > 0) {
            --failConnectionsTimes;
            return Error(500, "INTERNAL");
        }
        return Json(Page(people, query, "connections", [](const QJsonObject &p) { return p; }));
    }

    Reply Upload(const QByteArray &body, const QString &resourceName)
    {
        ++uploadCount;
        QJsonParseError error;
        const QJsonObject person = QJsonDocument::fromJson(body, &error).object();
        if (error.error != QJsonParseError::NoError)
            return Error(400, "INVALID_ARGUMENT");
        uploads.append(person);
        if (uploadCount == failUploadNumber)
            return Error(failStatus, failStatus == 429 ? "RESOURCE_EXHAUSTED" : "INVALID_ARGUMENT");
        QJsonObject stored = person;
        if (resourceName.isEmpty()) {
            stored.insert("resourceName", QString("people/c%1").arg(people.size() + 1));
            stored.insert("etag", "e1");
            people.append(stored);
        } else {
            const qsizetype index = IndexOfPerson(resourceName);
            if (index < 0)
                return Error(404, "NOT_FOUND");
            if (person.value("etag").toString() != people[index].value("etag").toString())
                return Error(400, "failedPrecondition");
            stored.insert("etag", "e" + QString::number(people[index].value("etag").toString().mid(1).toInt() + 1));
            people[index] = stored;
        }
        stored.insert("metadata", QJsonObject{{"sources", QJsonArray{QJsonObject{
                                                              {"updateTime", "2030-05-06T07:08:09.123Z"}}}}});
        return Json(stored);
    }

    qsizetype IndexOfPerson(const QString &resourceName) const
    {
        for (qsizetype i = 0; i < people.size(); ++i)
            if (people[i].value("resourceName").toString() == resourceName)
                return i;
        return -1;
    }

    Reply DeletePerson(const QString &resourceName)
    {
        const qsizetype index = IndexOfPerson(resourceName);
        if (index < 0)
            return Error(404, "NOT_FOUND");
        people.removeAt(index);
        return Json({});
    }

    Reply Groups(const QUrlQuery &query)
    {
        if (endlessPageSize > 0)
            return EndlessPage(query, "contactGroups", [](int i) {
                return QJsonObject{{"resourceName", QString("contactGroups/e%1").arg(i)},
                                   {"formattedName", QString("E%1").arg(i)}};
            });
        return Json(Page(groups, query, "contactGroups", [](const QPair<QString, QString> &g) {
            return QJsonObject{{"resourceName", g.second}, {"formattedName", g.first}, {"name", g.first}};
        }));
    }

    Reply CreateGroup(const QByteArray &body)
    {
        const QString name = QJsonDocument::fromJson(body).object().value("contactGroup").toObject().value("name").toString();
        if (name.isEmpty())
            return Error(400, "INVALID_ARGUMENT");
        const QString resourceName = QString("contactGroups/g%1").arg(groups.size() + 1);
        groups.append({name, resourceName});
        if (omitCreatedGroupName)
            return Json({{"name", name}});
        return Json({{"resourceName", resourceName}, {"name", name}});
    }

    Reply DeleteGroup(const QString &resourceName)
    {
        for (qsizetype i = 0; i < groups.size(); ++i)
            if (groups[i].second == resourceName) {
                groups.removeAt(i);
                return Json({});
            }
        return Error(404, "NOT_FOUND");
    }

    bool m_app;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace cardolin::testing
