#include "support/UpdateTransfer.h"

#include "support/BoundedReply.h"

#include "platform/RegularFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <memory>

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

QNetworkRequest UpdateRequest(const QString &address)
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

ReplyBounds BoundsOf(const TUpdateTransferOptions &options, int deadlineMs)
{
    return {options.TimeoutMs, deadlineMs, options.MaxBytes, options.AllowUserInput};
}

// A FIFO or a device would block the check or never end: only files are read.
bool IsPlainFile(const QString &path)
{
    return QFileInfo(path).isFile(); // after following links
}

} // namespace

void TUpdateTransfer::Cancel()
{
    m_cancelled = true;
    if (m_abort)
        m_abort();
}

TUpdateSourceKind TUpdateTransfer::Admit(const QString &address)
{
    const TUpdateSourceKind kind = UpdateSourceKind(address);
    if (kind == TUpdateSourceKind::Invalid) {
        m_failure = InvalidSourceMessage(address);
    } else if (m_options.WebOnly && !IsSecureOrLoopback(QUrl(address))) {
        m_failure = QStringLiteral("Failed: a published update file may only name https addresses, not \"%1\".")
                        .arg(address);
        return TUpdateSourceKind::Invalid;
    }
    return kind;
}

qint64 TUpdateTransfer::QuerySize(const QString &address)
{
    m_failure.clear();
    switch (Admit(address)) {
    case TUpdateSourceKind::Path: {
        const QFileInfo info(UpdateSourcePath(address));
        if (IsPlainFile(info.filePath()))
            return info.size();
        m_failure = QStringLiteral("Failed: the file %1 does not exist.").arg(info.filePath());
        return -1;
    }
    case TUpdateSourceKind::Invalid:
        return -1;
    case TUpdateSourceKind::Web:
        break;
    }
    QNetworkAccessManager manager;
    manager.setProxy(UpdateProxy(m_options));
    std::unique_ptr<QNetworkReply> reply(manager.head(UpdateRequest(address)));
    m_abort = [&reply] { reply->abort(); };
    // A size request is small whatever the download: it always has a deadline.
    const ReplyBounds bounds = BoundsOf(m_options, m_options.DeadlineMs > 0 ? m_options.DeadlineMs : kRequestDeadlineMs);
    const ReplyEnd end = AwaitReply(*reply, bounds, [](const QByteArray &) { return true; });
    m_abort = nullptr;
    if (end != ReplyEnd::Finished) {
        m_failure = QStringLiteral("Failed: ") + ReplyEndText(end, bounds);
        return -1;
    }
    if (reply->error() != QNetworkReply::NoError || m_cancelled) {
        m_failure = ReplyFailure(*reply);
        return -1;
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() ? length.toLongLong() : kUnknownDownloadSize;
}

bool TUpdateTransfer::Fetch(const QString &address, QIODevice &target, const std::function<void(qint64)> &progress)
{
    m_failure.clear();
    switch (Admit(address)) {
    case TUpdateSourceKind::Web:
        return FetchWeb(address, target, progress);
    case TUpdateSourceKind::Path:
        return CopyPath(UpdateSourcePath(address), target, progress);
    case TUpdateSourceKind::Invalid:
        break;
    }
    return false;
}

bool TUpdateTransfer::FetchWeb(const QString &address, QIODevice &target, const std::function<void(qint64)> &progress)
{
    QNetworkAccessManager manager;
    manager.setProxy(UpdateProxy(m_options));
    std::unique_ptr<QNetworkReply> reply(manager.get(UpdateRequest(address)));
    m_abort = [&reply] { reply->abort(); };
    qint64 written = 0;
    const ReplyBounds bounds = BoundsOf(m_options, m_options.DeadlineMs);
    const ReplyEnd end = AwaitReply(*reply, bounds, [&](const QByteArray &block) {
        // Only a successful answer's body goes into the file.
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 300)
            return true;
        if (target.write(block) != block.size())
            return false;
        written += block.size();
        if (progress)
            progress(written);
        return true;
    });
    m_abort = nullptr;
    if (end == ReplyEnd::Refused)
        m_failure = QStringLiteral("Failed: ") + target.errorString();
    else if (end != ReplyEnd::Finished)
        m_failure = QStringLiteral("Failed: ") + ReplyEndText(end, bounds);
    else if (reply->error() != QNetworkReply::NoError || m_cancelled)
        m_failure = ReplyFailure(*reply);
    return m_failure.isEmpty() && !m_cancelled;
}

bool TUpdateTransfer::CopyPath(const QString &path, QIODevice &target, const std::function<void(qint64)> &progress)
{
    if (!IsPlainFile(path)) {
        m_failure = QStringLiteral("Failed: %1 is not a file.").arg(path);
        return false;
    }
    // The type is checked again on the opened file, so a FIFO put in its place
    // after the check above cannot block the copy.
    qint64 written = 0;
    const bool read = platform::ReadRegularFileInPieces(path, [&](QByteArrayView block) {
        if (m_cancelled)
            return false;
        if (target.write(block.constData(), block.size()) != block.size()) {
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
        return true;
    });
    if (!read)
        m_failure = QStringLiteral("Failed: the file %1 could not be read.").arg(path);
    if (m_cancelled || !m_failure.isEmpty())
        return false;
    if (written == 0)
        m_failure = QStringLiteral("Failed: the file %1 is empty.").arg(path);
    return written > 0;
}

bool FetchUpdateText(const QString &address, const TUpdateTransferOptions &options, QByteArray &text,
                     QString &failureText)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TUpdateTransferOptions limited = options;
    limited.MaxBytes = kMaxUpdateTextBytes;
    TUpdateTransfer transfer(limited);
    if (!transfer.Fetch(address, buffer)) {
        failureText = transfer.FailureText();
        return false;
    }
    text = buffer.data();
    return true;
}

} // namespace cardolin
