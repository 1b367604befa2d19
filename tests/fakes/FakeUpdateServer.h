#pragma once

#include "fakes/CoreApplication.h"
#include "fakes/ServeConnections.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace cardolin::testing {

// A small web server on 127.0.0.1 that publishes files by path, as the maker's
// site publishes the update file, the read-me and the installer. It runs on the
// caller's thread; the client's local event loop serves it.
class FakeUpdateServer
{
public:
    struct Resource
    {
        int status = 200;
        QByteArray body;
        bool announceLength = true; // false: no Content-Length, the end is the close
        int stallAfterBytes = -1;   // >= 0: send this much of the body, then hang
        QByteArray location;        // a redirection's target
    };

    FakeUpdateServer() : m_app((EnsureCoreApplication(), true))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        ServeConnections(m_server, [this](QTcpSocket *socket) { Serve(socket); });
    }

    QString Url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path); }
    void Publish(const QString &path, Resource resource) { m_resources.insert(path, std::move(resource)); }
    void Publish(const QString &path, const QByteArray &body) { Publish(path, Resource{200, body, true, -1, {}}); }

    QStringList requestLines; // "HEAD /velmora/Quillet.deb HTTP/1.1"
    QList<QByteArray> requests;

private:
    void Serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QByteArray request = pending;
        m_pending.remove(socket);
        requests.append(request);
        const QByteArray line = request.left(request.indexOf("\r\n"));
        requestLines.append(QString::fromLatin1(line));
        const QList<QByteArray> words = line.split(' ');
        const bool head = words.value(0) == "HEAD";
        const QString path = QString::fromLatin1(words.value(1));
        const auto found = m_resources.constFind(path);
        const Resource resource = found == m_resources.cend() ? Resource{404, "missing", true, -1, {}} : *found;
        const QByteArray reason = resource.status == 200 ? "OK"
                                  : resource.status == 404 ? "Not Found"
                                  : resource.status >= 300 && resource.status < 400 ? "Found"
                                                                                     : "Error";
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(resource.status) + " " + reason
                            + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
        if (!resource.location.isEmpty())
            answer += "Location: " + resource.location + "\r\n";
        if (resource.announceLength)
            answer += "Content-Length: " + QByteArray::number(resource.body.size()) + "\r\n";
        answer += "\r\n";
        if (head) {
            socket->write(answer);
            socket->disconnectFromHost();
            return;
        }
        if (resource.stallAfterBytes >= 0) {
            socket->write(answer + resource.body.left(resource.stallAfterBytes));
            return; // the client has to give up or cancel
        }
        socket->write(answer + resource.body);
        socket->disconnectFromHost();
    }

    bool m_app;
    QTcpServer m_server;
    QHash<QString, Resource> m_resources;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace cardolin::testing
