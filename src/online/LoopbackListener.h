#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace cardolin {

// The local web address to which the browser returns after the user signs in
// to Google. It listens on 127.0.0.1 only, and only while one authorization
// waits for its code; it accepts a code only together with the state that this
// authorization sent. It is served by the thread's event loop, which the input
// box asking for the code keeps running.
class LoopbackListener
{
public:
    static constexpr quint16 kDefaultPort = 3000;
    // Connections that stay silent this long are closed, and no more than
    // kMaxConnections are kept: idle connections must not use up the
    // descriptors while the browser's redirect is still to come.
    static constexpr int kIdleCloseMs = 10000;
    static constexpr int kMaxConnections = 16;

    explicit LoopbackListener(quint16 defaultPort = kDefaultPort);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    // 0 lets the system choose a free port when listening starts (tests).
    quint16 DefaultPort() const { return m_defaultPort; }
    void SetDefaultPort(quint16 port) { m_defaultPort = port; }
    // Tests shorten the wait before an idle connection is closed.
    void SetIdleCloseMs(int milliseconds) { m_idleCloseMs = milliseconds; }
    // The port in use while listening, else the default port.
    quint16 Port() const;
    // "http://127.0.0.1:3000": the redirect address the authorization sends.
    QString RedirectAddress() const;

    // Listens for the answer to one authorization; onCode receives a code that
    // came with expectedState. When the default port is taken (perhaps by
    // another user, who would receive the code) a port chosen by the system
    // is used instead. False when no port can be taken.
    bool Start(const QString &expectedState, std::function<void(const QString &code)> onCode);
    void Stop();
    bool IsListening() const;

    // Raises the program's window once a code came in; the desktop program sets it.
    std::function<void()> BringToFront;

    // What one request's head gets: the status, the page, and the accepted code
    // (empty when the request was ignored).
    struct Answer
    {
        int status = 404;
        QByteArray body;
        QString code;
    };
    Answer Judge(const QByteArray &head) const;

    // The page shown in the browser once the code has been taken.
    static QString AcceptedPageText();

private:
    void AcceptConnections();
    void Serve(QTcpSocket *socket);
    void Forget(QTcpSocket *socket);
    void Close(QTcpSocket *socket);

    quint16 m_defaultPort;
    int m_idleCloseMs = kIdleCloseMs;
    QList<QTcpSocket *> m_open; // oldest first
    std::unique_ptr<QTcpServer> m_server;
    QString m_expectedState;
    std::function<void(const QString &)> m_onCode;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace cardolin
