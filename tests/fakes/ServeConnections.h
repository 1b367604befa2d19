#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace cardolin::testing {

// Hands every connection to server to serve whenever it has bytes to read;
// a closed connection is freed.
inline void ServeConnections(QTcpServer &server, std::function<void(QTcpSocket *)> serve)
{
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, serve] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [serve, socket] { serve(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

} // namespace cardolin::testing
