#include "platform/SingleInstance.h"

#include "platform/SystemFolders.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/stat.h>
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

bool IsOwnedBy(const QLocalSocket &socket, unsigned userId)
{
    const std::optional<unsigned> peer = PeerUserId(socket.socketDescriptor());
    return peer && *peer == userId;
}

} // namespace

unsigned CurrentUserId()
{
    return unsigned(::geteuid());
}

std::optional<unsigned> PeerUserId(qintptr socketDescriptor)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (socketDescriptor < 0
        || ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
        || size != sizeof credentials)
        return std::nullopt;
    return unsigned(credentials.uid);
}

bool IsPrivateFolder(const QString &path, unsigned owner)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == owner && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString PrivateRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime, CurrentUserId()))
        return runtime;
    // The way other programs do it without a runtime folder: a folder of ours in
    // the shared temporary folder, which nobody else can replace there.
    const QString own = QDir::tempPath() + QStringLiteral("/cardolin-") + QString::number(CurrentUserId());
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return IsPrivateFolder(own, CurrentUserId()) ? own : QString();
}

SingleInstanceGuard::SingleInstanceGuard(QString serverName, unsigned userId)
    : m_serverName(std::move(serverName)), m_userId(userId)
{
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::Claim(const QStringList &arguments)
{
    if (m_serverName.isEmpty()) {
        qWarning("No private folder for the single-instance channel; starting without it.");
        return true;
    }
    switch (HandOver(arguments)) {
    case HandOverResult::Sent: return false;
    case HandOverResult::Stranger:
        qWarning("The single-instance channel %s belongs to another user; nothing was sent to it, "
                 "and this start runs on its own.",
                 qUtf8Printable(m_serverName));
        return true;
    case HandOverResult::NoServer: break;
    }
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

SingleInstanceGuard::HandOverResult SingleInstanceGuard::HandOver(const QStringList &arguments) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return HandOverResult::NoServer;
    if (!IsOwnedBy(socket, m_userId)) {
        socket.abort();
        return HandOverResult::Stranger;
    }
    socket.write(Encode(arguments));
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return HandOverResult::Sent;
}

void SingleInstanceGuard::Accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // Only our own later starts may bring the window forward.
        if (!IsOwnedBy(*socket, m_userId)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return {};
    // The settings folder tells apart sessions that keep separate stores, such
    // as tests beside a running program.
    const QByteArray store = QCryptographicHash::hash(ConfigFolder().toUtf8(), QCryptographicHash::Sha256).toHex();
    return folder + QStringLiteral("/cardolin-") + QString::fromLatin1(store.left(16));
}

} // namespace cardolin::platform
