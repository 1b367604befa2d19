#include "support/BoundedReply.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace cardolin {

namespace {

class ReplyWatch
{
public:
    ReplyWatch(QNetworkReply &reply, const ReplyBounds &bounds, const std::function<bool(const QByteArray &)> &take)
        : m_reply(reply), m_bounds(bounds), m_take(take)
    {
    }

    ReplyEnd Run()
    {
        // Without a read-ahead limit Qt buffers a fast body without bound
        // before the first readyRead is handled.
        m_reply.setReadBufferSize(kReplyReadAheadBytes);
        // A request with a body (PROPFIND, REPORT, PUT) starts its transfer
        // later, and Qt may drop a limit set before then: set again once the
        // answer's head is in. Even so Qt does not always keep it for such
        // requests, so an endless answer can run past the cap before it ends.
        QObject::connect(&m_reply, &QNetworkReply::metaDataChanged, &m_loop,
                         [this] { m_reply.setReadBufferSize(kReplyReadAheadBytes); });
        QObject::connect(&m_reply, &QNetworkReply::readyRead, &m_loop, [this] {
            Touch();
            Drain();
        });
        QObject::connect(&m_reply, &QNetworkReply::downloadProgress, &m_loop, [this] { Touch(); });
        QObject::connect(&m_reply, &QNetworkReply::uploadProgress, &m_loop, [this] { Touch(); });
        QObject::connect(&m_reply, &QNetworkReply::finished, &m_loop, &QEventLoop::quit);
        m_idle.setSingleShot(true);
        QObject::connect(&m_idle, &QTimer::timeout, &m_loop, [this] { Stop(ReplyEnd::TimedOut); });
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, &m_loop, [this] { Stop(ReplyEnd::TimedOut); });
        Touch();
        if (m_bounds.deadlineMs > 0)
            m_deadline.start(m_bounds.deadlineMs);
        if (!m_reply.isFinished())
            m_loop.exec(m_bounds.allowUserInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        m_idle.stop();
        m_deadline.stop();
        Drain(); // what came with the end
        return m_end;
    }

private:
    void Touch()
    {
        if (m_bounds.idleMs > 0)
            m_idle.start(m_bounds.idleMs);
    }

    void Drain()
    {
        while (m_end == ReplyEnd::Finished && m_reply.bytesAvailable() > 0) {
            const QByteArray block = m_reply.read(kReplyReadAheadBytes);
            if (block.isEmpty())
                return;
            m_received += block.size();
            if (m_bounds.maxBytes > 0 && m_received > m_bounds.maxBytes) {
                Stop(ReplyEnd::TooLarge);
                return;
            }
            if (!m_take(block)) {
                Stop(ReplyEnd::Refused);
                return;
            }
        }
    }

    void Stop(ReplyEnd end)
    {
        if (m_end != ReplyEnd::Finished)
            return;
        m_end = end;
        m_reply.abort(); // finishes the reply, which ends the loop
        m_loop.quit();
    }

    QNetworkReply &m_reply;
    const ReplyBounds &m_bounds;
    const std::function<bool(const QByteArray &)> &m_take;
    QEventLoop m_loop;
    QTimer m_idle;
    QTimer m_deadline;
    qint64 m_received = 0;
    ReplyEnd m_end = ReplyEnd::Finished;
};

} // namespace

ReplyEnd AwaitReply(QNetworkReply &reply, const ReplyBounds &bounds,
                    const std::function<bool(const QByteArray &block)> &take)
{
    return ReplyWatch(reply, bounds, take).Run();
}

QString ReplyEndText(ReplyEnd end, const ReplyBounds &bounds)
{
    switch (end) {
    case ReplyEnd::TooLarge:
        return QStringLiteral("the answer is larger than %1 bytes").arg(bounds.maxBytes);
    case ReplyEnd::TimedOut:
        return QStringLiteral("no complete answer came in time");
    case ReplyEnd::Refused:
    case ReplyEnd::Finished:
        break;
    }
    return {};
}

bool IsSecureOrLoopback(const QUrl &address)
{
    if (!address.isValid())
        return false;
    const QString scheme = address.scheme().toLower();
    if (scheme == QLatin1StringView("https"))
        return !address.host().isEmpty();
    if (scheme != QLatin1StringView("http"))
        return false;
    const QString host = address.host();
    return host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

} // namespace cardolin
