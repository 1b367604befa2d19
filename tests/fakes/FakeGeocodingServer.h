#pragma once

#include "fakes/CoreApplication.h"
#include "fakes/ServeConnections.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace cardolin::testing {

// A tiny HTTP server on 127.0.0.1 that answers like the geocoding endpoint:
// every request gets the status and XML body set by the test, and the request
// lines are kept for inspection. It runs on the caller's thread; the blocking
// client's local event loop serves it.
class FakeGeocodingServer
{
public:
    FakeGeocodingServer() : m_app((EnsureCoreApplication(), true))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        ServeConnections(m_server, [this](QTcpSocket *socket) { Serve(socket); });
    }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/maps/api/geocode/").arg(Port()); }
    quint16 Port() const { return m_server.serverPort(); }

    int status = 200;
    QByteArray body;
    QStringList requestLines; // "GET /maps/api/geocode/xml?... HTTP/1.1"
    QList<QByteArray> requests;

private:
    void Serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        requests.append(pending);
        requestLines.append(QString::fromLatin1(pending.left(pending.indexOf("\r\n"))));
        m_pending.remove(socket);
        const QByteArray reason = status == 200 ? "OK" : "Error";
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " " + reason
                      + "\r\nContent-Type: application/xml; charset=UTF-8\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    bool m_app;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace cardolin::testing
