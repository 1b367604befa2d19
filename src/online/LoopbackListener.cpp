#include "online/LoopbackListener.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace cardolin {

namespace {

// A browser's request head is far smaller; anything longer is not one.
constexpr qsizetype kMaxHeadBytes = 16 * 1024;

QByteArray HeaderValue(const QList<QByteArray> &lines, const QByteArray &name)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// The decoded value of the first parameter with that name; null when absent.
QString QueryValue(const QByteArray &query, const QByteArray &name)
{
    for (const QByteArray &item : query.split('&')) {
        const qsizetype equals = item.indexOf('=');
        if (equals >= 0 && item.left(equals) == name)
            return QUrl::fromPercentEncoding(item.mid(equals + 1));
    }
    return {};
}

QByteArray StatusLine(int status)
{
    return status == 200 ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
}

} // namespace

LoopbackListener::LoopbackListener(quint16 defaultPort) : m_defaultPort(defaultPort) {}

LoopbackListener::~LoopbackListener()
{
    Stop();
}

quint16 LoopbackListener::Port() const
{
    return IsListening() ? m_server->serverPort() : m_defaultPort;
}

QString LoopbackListener::RedirectAddress() const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(Port());
}

bool LoopbackListener::Start(const QString &expectedState, std::function<void(const QString &)> onCode)
{
    Stop();
    m_server = std::make_unique<QTcpServer>();
    // Loopback redirects may use any port (RFC 8252, 7.3).
    if (!m_server->listen(QHostAddress::LocalHost, m_defaultPort) && !m_server->listen(QHostAddress::LocalHost, 0)) {
        m_server.reset();
        return false;
    }
    m_expectedState = expectedState;
    m_onCode = std::move(onCode);
    QObject::connect(m_server.get(), &QTcpServer::newConnection, m_server.get(), [this] { AcceptConnections(); });
    return true;
}

void LoopbackListener::Stop()
{
    if (!m_server)
        return;
    // Deleting the server deletes the sockets it still owns.
    m_pending.clear();
    m_open.clear();
    m_server.reset();
    m_expectedState.clear();
    m_onCode = nullptr;
}

bool LoopbackListener::IsListening() const
{
    return m_server && m_server->isListening();
}

QString LoopbackListener::AcceptedPageText()
{
    // The code has already been filled in for the user; nothing is to be pasted.
    return QStringLiteral("The authorization code has reached the application and is filled in there. "
                          "You can close this tab and return to the application.");
}

LoopbackListener::Answer LoopbackListener::Judge(const QByteArray &head) const
{
    Answer answer;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3 || requestLine[0] != "GET")
        return answer;
    if (HeaderValue(lines, "Host") != "127.0.0.1:" + QByteArray::number(Port()))
        return answer;
    const QByteArray &target = requestLine[1];
    const qsizetype question = target.indexOf('?');
    if (question < 0)
        return answer;
    const QByteArray query = target.mid(question + 1);
    const QString code = QueryValue(query, "code");
    // Without the state this authorization sent, a code may come from a page
    // that wants the user signed in to an account of its own choosing.
    if (code.isEmpty() || m_expectedState.isEmpty() || QueryValue(query, "state") != m_expectedState)
        return answer;
    answer.status = 200;
    answer.body = AcceptedPageText().toUtf8();
    answer.code = code;
    return answer;
}

void LoopbackListener::AcceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // The oldest goes first: the browser's redirect is the newest.
        if (m_open.size() >= kMaxConnections)
            Close(m_open.front());
        m_open.append(socket);
        auto *idle = new QTimer(socket);
        idle->setSingleShot(true);
        QObject::connect(idle, &QTimer::timeout, socket, [this, socket] { Close(socket); });
        idle->start(m_idleCloseMs);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, idle] {
            idle->start();
            Serve(socket);
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] { Forget(socket); });
    }
}

void LoopbackListener::Forget(QTcpSocket *socket)
{
    m_pending.remove(socket);
    m_open.removeOne(socket);
    socket->deleteLater();
}

void LoopbackListener::Close(QTcpSocket *socket)
{
    Forget(socket);
    socket->abort();
}

void LoopbackListener::Serve(QTcpSocket *socket)
{
    QByteArray &pending = m_pending[socket];
    pending += socket->readAll();
    const qsizetype end = pending.indexOf("\r\n\r\n");
    if (end < 0 && pending.size() <= kMaxHeadBytes)
        return;
    const Answer answer = end < 0 ? Answer() : Judge(pending.left(end));
    m_pending.remove(socket);
    socket->write(StatusLine(answer.status) + "Content-Type: text/plain; charset=UTF-8\r\nConnection: close\r\n"
                  + "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n" + answer.body);
    socket->disconnectFromHost();
    if (answer.code.isEmpty())
        return;
    // The answer is on its way; the callbacks must not stop the listener, which
    // owns the socket whose signal is being handled.
    if (m_onCode)
        m_onCode(answer.code);
    if (BringToFront)
        BringToFront();
}

} // namespace cardolin
