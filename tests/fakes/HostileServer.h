#pragma once

#include "fakes/ChildMemory.h"
#include "fakes/CoreApplication.h"

#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <unistd.h>

namespace cardolin::testing {

// A web server on 127.0.0.1 that misbehaves on purpose: every request, to any
// path, gets a body that never ends, either as fast as the client reads it
// (chunked, so no length announces it) or one byte at a time with a pause
// between them, so that no idle timeout ever fires. Like the other fakes it
// runs on the caller's thread, served by the client's local event loop.
class HostileServer
{
public:
    enum class Mode { EndlessChunked, Drip };

    explicit HostileServer(Mode mode, int dripIntervalMs = 50)
        : m_app((EnsureCoreApplication(), true)), m_mode(mode), m_dripIntervalMs(dripIntervalMs)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { Accept(); });
    }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    QString Url(const QString &path) const { return BaseUrl() + path; }

    int requests = 0;
    qint64 bytesSent = 0;

private:
    static constexpr qint64 kChunkBytes = 64 * 1024;

    void Accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Read(socket); });
    }

    void Read(QTcpSocket *socket)
    {
        if (m_answered.contains(socket)) {
            socket->readAll(); // a request body: not needed
            return;
        }
        QByteArray &head = m_heads[socket];
        head += socket->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        m_heads.remove(socket);
        m_answered.insert(socket);
        ++requests;
        if (m_mode == Mode::EndlessChunked) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n");
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] { Feed(socket); });
            Feed(socket);
            return;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100000000\r\n\r\n[");
        auto *drip = new QTimer(socket);
        QObject::connect(drip, &QTimer::timeout, socket, [this, socket] {
            socket->write(" ");
            ++bytesSent;
        });
        drip->start(m_dripIntervalMs);
    }

    // Keeps a little ahead of the reader, never more: the server must not be
    // the one whose memory grows.
    void Feed(QTcpSocket *socket)
    {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * kChunkBytes) {
            static const QByteArray chunk =
                QByteArray::number(kChunkBytes, 16) + "\r\n" + QByteArray(kChunkBytes, 'x') + "\r\n";
            socket->write(chunk);
            bytesSent += kChunkBytes;
        }
    }

    bool m_app;
    Mode m_mode;
    int m_dripIntervalMs;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_heads;
    QSet<QTcpSocket *> m_answered;
};

// Runs work in a child process (see RunInChild) that is killed after
// seconds: a client that hangs fails the test instead of stalling it.
inline ChildRun RunInChildWithin(unsigned seconds, const std::function<int()> &work)
{
    return RunInChild([&] {
        alarm(seconds);
        return work();
    });
}

} // namespace cardolin::testing
