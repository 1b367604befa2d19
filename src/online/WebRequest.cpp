#include "online/WebRequest.h"

#include "contacts/QorContacts.h"
#include "support/UserPrompts.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace cardolin {

void TQorContacts::ApplyRequestDefaults(WebRequest &request, const QString &baseUrl) const
{
    request = WebRequest();
    request.baseUrl = baseUrl;
    request.proxyAddress = m_proxyAddress;
    request.proxyPort = m_proxyPort.toInt();
}

void TQorContacts::ApplyPeopleRequestDefaults(WebRequest &request, const QString &baseUrl) const
{
    ApplyRequestDefaults(request, baseUrl);
    request.accept = QStringLiteral("application/json");
    request.contentType = QStringLiteral("application/json");
    request.authorization = "Bearer " + m_googleAccessToken.toUtf8();
}

WebResponse TQorContacts::Send(const WebRequest &request) const
{
    WebResponse response = Execute(request);
    if (!response.refusal.isEmpty())
        m_prompts->ShowError(response.refusal);
    return response;
}

QString JoinAddress(const QString &baseUrl, const QString &resource)
{
    if (baseUrl.endsWith(u'/') && resource.startsWith(u'/'))
        return baseUrl + resource.mid(1);
    return baseUrl + resource;
}

QByteArray FormBody(const QList<QPair<QString, QString>> &fields)
{
    QByteArray body;
    for (const auto &[name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

void WaitResponsively(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

namespace {

int RetryAfterSeconds(const QNetworkReply &reply)
{
    bool ok = false;
    const int seconds = reply.rawHeader("Retry-After").trimmed().toInt(&ok);
    return ok && seconds >= 0 ? seconds : -1;
}

bool IsLoopbackHost(const QString &host)
{
    return host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

} // namespace

bool MayCarrySecret(const QUrl &address)
{
    if (!address.isValid())
        return false;
    if (address.scheme() == QLatin1StringView("https"))
        return true;
    return address.scheme() == QLatin1StringView("http") && IsLoopbackHost(address.host());
}

WebResponse Execute(const WebRequest &request)
{
    const QUrl address(JoinAddress(request.baseUrl, request.resource), QUrl::StrictMode);
    const bool secret = request.carriesSecret || !request.authorization.isEmpty();
    if (secret && !MayCarrySecret(address)) {
        // Named by scheme and host only: the rest of the address may hold the key.
        WebResponse refused;
        refused.refusal = QStringLiteral("A key or token is sent only over HTTPS: the request to %1://%2 was not made.")
                              .arg(address.scheme(), address.host());
        return refused;
    }
    QNetworkAccessManager manager;
    manager.setProxy(request.proxyAddress.isEmpty()
                         ? QNetworkProxy(QNetworkProxy::NoProxy)
                         : QNetworkProxy(QNetworkProxy::HttpProxy, request.proxyAddress, quint16(request.proxyPort)));
    QNetworkRequest message(address);
    // A redirect could carry the secret elsewhere.
    if (secret)
        message.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    if (!request.accept.isEmpty()) {
        message.setRawHeader("Accept", request.accept.toUtf8());
        message.setHeader(QNetworkRequest::ContentTypeHeader, request.accept);
    }
    if (!request.contentType.isEmpty())
        message.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
    if (!request.authorization.isEmpty())
        message.setRawHeader("Authorization", request.authorization);
    message.setTransferTimeout(request.timeoutMs);
    QNetworkReply *reply = request.body.isEmpty()
                               ? manager.sendCustomRequest(message, request.method.toLatin1())
                               : manager.sendCustomRequest(message, request.method.toLatin1(), request.body);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxWebResponseBytes)
            reply->abort();
    });
    timer.start(request.timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    WebResponse response;
    if (reply->isFinished() && reply->bytesAvailable() <= kMaxWebResponseBytes) {
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.body = reply->readAll();
        response.retryAfterSeconds = RetryAfterSeconds(*reply);
    }
    reply->abort();
    delete reply;
    return response;
}

} // namespace cardolin
