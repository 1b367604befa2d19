#include "platform/SingleInstance.h"

#include "platform/SystemFolders.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace cardolin::platform {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kMaxMessageBytes = 64 * 1024;

QByteArray Encode(const QStringList &arguments)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << arguments;
    return bytes;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(QString serverName) : m_serverName(std::move(serverName)) {}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::Claim(const QStringList &arguments)
{
    if (HandOver(arguments))
        return false;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered, so a socket file left by a crashed run is stale.
    if (!m_server->listen(m_serverName)) {
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName))
            return true; // run unguarded rather than not at all
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { Accept(); });
    return true;
}

bool SingleInstanceGuard::HandOver(const QStringList &arguments) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(Encode(arguments));
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return true;
}

void SingleInstanceGuard::Accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, received] {
            received->append(socket->read(kMaxMessageBytes - received->size()));
            if (received->size() >= kMaxMessageBytes)
                socket->abort();
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, received] {
            received->append(socket->readAll().left(kMaxMessageBytes - received->size()));
            QStringList arguments;
            QDataStream in(*received);
            in >> arguments;
            if (in.status() != QDataStream::Ok)
                arguments.clear();
            socket->deleteLater();
            if (OnActivation)
                OnActivation(arguments);
        });
    }
}

QString SingleInstanceName()
{
    // The settings folder tells apart sessions that keep separate stores, such
    // as tests beside a running program.
    const QByteArray store = QCryptographicHash::hash(ConfigFolder().toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("cardolin-%1-%2").arg(::getuid()).arg(QString::fromLatin1(store.left(16)));
}

} // namespace cardolin::platform
