#include "support/UpdateTransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

namespace cardolin {

TUpdateSourceKind UpdateSourceKind(const QString &address)
{
    if (address.startsWith(u'/'))
        return TUpdateSourceKind::Path;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return TUpdateSourceKind::Invalid;
    const QString scheme = url.scheme().toLower();
    if ((scheme == u"http" || scheme == u"https") && !url.host().isEmpty())
        return TUpdateSourceKind::Web;
    if (scheme == u"file" && url.isLocalFile() && !url.toLocalFile().isEmpty())
        return TUpdateSourceKind::Path;
    return TUpdateSourceKind::Invalid;
}

QString UpdateSourcePath(const QString &address)
{
    return address.startsWith(u'/') ? address : QUrl(address).toLocalFile();
}

QString InvalidSourceMessage(const QString &address)
{
    return u'"' + address + QStringLiteral("\" is an invalid source.");
}

QString UpdateSourceFileName(const QString &address)
{
    QString name;
    switch (UpdateSourceKind(address)) {
    case TUpdateSourceKind::Web:
        name = QUrl(address).fileName();
        break;
    case TUpdateSourceKind::Path:
        name = QFileInfo(UpdateSourcePath(address)).fileName();
        break;
    case TUpdateSourceKind::Invalid:
        return {};
    }
    // The name comes from the server: it must stay a plain name in the folder.
    if (name == u"." || name == u".." || name.contains(u'/') || name.contains(QChar(0)))
        return {};
    return name;
}

namespace {

QNetworkRequest UpdateRequest(const QString &address, int timeoutMs)
{
    QNetworkRequest request{QUrl(address)};
    const bool secure = address.toLower().startsWith(u"https");
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      secure ? QStringLiteral("Mozilla/4.0") : QStringLiteral("Mozilla/4.0 (compatible; ICS)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    if (!secure) {
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(timeoutMs);
    return request;
}

QNetworkProxy UpdateProxy(const TUpdateTransferOptions &options)
{
    if (options.ProxyAddress.isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(QNetworkProxy::HttpProxy, options.ProxyAddress, quint16(options.ProxyPort));
}

// "Failed: 404 Not Found", or the network's own reason when no answer came.
QString ReplyFailure(QNetworkReply &reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QStringLiteral("Failed: %1 %2").arg(status).arg(reason);
    }
    return QStringLiteral("Failed: ") + reply.errorString();
}

void WaitFor(QNetworkReply &reply, bool allowUserInput)
{
    if (reply.isFinished())
        return;
    QEventLoop loop;
    QObject::connect(&reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec(allowUserInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void TUpdateTransfer::Cancel()
{
    m_cancelled = true;
    if (m_abort)
        m_abort();
}

qint64 TUpdateTransfer::QuerySize(const QString &address)
{
    m_failure.clear();
    switch (UpdateSourceKind(address)) {
    case TUpdateSourceKind::Path: {
        const QFileInfo info(UpdateSourcePath(address));
        if (info.isFile())
            return info.size();
        m_failure = QStringLiteral("Failed: the file %1 does not exist.").arg(info.filePath());
        return -1;
    }
    case TUpdateSourceKind::Invalid:
        m_failure = InvalidSourceMessage(address);
        return -1;
    case TUpdateSourceKind::Web:
        break;
    }
    QNetworkAccessManager manager;
    manager.setProxy(UpdateProxy(m_options));
    QNetworkReply *reply = manager.head(UpdateRequest(address, m_options.TimeoutMs));
    m_abort = [reply] { reply->abort(); };
    WaitFor(*reply, m_options.AllowUserInput);
    m_abort = nullptr;
    qint64 size = -1;
    if (reply->error() != QNetworkReply::NoError || m_cancelled) {
        m_failure = ReplyFailure(*reply);
    } else {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        size = length.isValid() ? length.toLongLong() : kUnknownDownloadSize;
    }
    delete reply;
    return size;
}

bool TUpdateTransfer::Fetch(const QString &address, QFile &target, const std::function<void(qint64)> &progress)
{
    m_failure.clear();
    switch (UpdateSourceKind(address)) {
    case TUpdateSourceKind::Web:
        return FetchWeb(address, target, progress);
    case TUpdateSourceKind::Path:
        return CopyPath(UpdateSourcePath(address), target, progress);
    case TUpdateSourceKind::Invalid:
        break;
    }
    m_failure = InvalidSourceMessage(address);
    return false;
}

bool TUpdateTransfer::FetchWeb(const QString &address, QFile &target, const std::function<void(qint64)> &progress)
{
    QNetworkAccessManager manager;
    manager.setProxy(UpdateProxy(m_options));
    QNetworkReply *reply = manager.get(UpdateRequest(address, m_options.TimeoutMs));
    m_abort = [reply] { reply->abort(); };
    qint64 written = 0;
    bool writeFailed = false;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        // Only a successful answer's body goes into the file.
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 300)
            return;
        const QByteArray block = reply->readAll();
        if (target.write(block) != block.size()) {
            writeFailed = true;
            reply->abort();
            return;
        }
        written += block.size();
        if (m_options.MaxBytes > 0 && written > m_options.MaxBytes) {
            writeFailed = true;
            reply->abort();
            return;
        }
        if (progress)
            progress(written);
    });
    WaitFor(*reply, m_options.AllowUserInput);
    m_abort = nullptr;
    bool ok = reply->error() == QNetworkReply::NoError && !writeFailed && !m_cancelled;
    if (writeFailed)
        m_failure = m_options.MaxBytes > 0 && written > m_options.MaxBytes
                        ? QStringLiteral("Failed: the answer is larger than %1 bytes.").arg(m_options.MaxBytes)
                        : QStringLiteral("Failed: ") + target.errorString();
    else if (!ok)
        m_failure = ReplyFailure(*reply);
    delete reply;
    return ok && target.flush();
}

bool TUpdateTransfer::CopyPath(const QString &path, QFile &target, const std::function<void(qint64)> &progress)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        m_failure = QStringLiteral("Failed: ") + source.errorString();
        return false;
    }
    qint64 written = 0;
    while (!source.atEnd() && !m_cancelled) {
        const QByteArray block = source.read(kCopyBlockSize);
        if (block.isEmpty() || target.write(block) != block.size()) {
            m_failure = QStringLiteral("Failed: ") + target.errorString();
            return false;
        }
        written += block.size();
        if (m_options.MaxBytes > 0 && written > m_options.MaxBytes) {
            m_failure = QStringLiteral("Failed: the file is larger than %1 bytes.").arg(m_options.MaxBytes);
            return false;
        }
        if (progress)
            progress(written);
        QCoreApplication::processEvents(m_options.AllowUserInput ? QEventLoop::AllEvents
                                                                 : QEventLoop::ExcludeUserInputEvents);
    }
    if (m_cancelled)
        return false;
    if (written == 0)
        m_failure = QStringLiteral("Failed: the file %1 is empty.").arg(path);
    return written > 0 && target.flush();
}

bool FetchUpdateText(const QString &address, const TUpdateTransferOptions &options, QByteArray &text,
                     QString &failureText)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/AU_XXXXXX"));
    if (!file.open()) {
        failureText = QStringLiteral("Failed: ") + file.errorString();
        return false;
    }
    TUpdateTransferOptions limited = options;
    limited.MaxBytes = kMaxUpdateTextBytes;
    TUpdateTransfer transfer(limited);
    if (!transfer.Fetch(address, file)) {
        failureText = transfer.FailureText();
        return false;
    }
    file.seek(0);
    text = file.readAll();
    return true;
}

} // namespace cardolin
