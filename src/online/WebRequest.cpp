#include "online/WebRequest.h"

#include "contacts/QorContacts.h"
#include "support/BoundedReply.h"
#include "support/UserPrompts.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace cardolin {

void TQorContacts::ApplyRequestDefaults(WebRequest &request, const QString &baseUrl) const
{
    request = WebRequest();
    request.baseUrl = baseUrl;
    request.proxyAddress = m_proxyAddress;
    request.proxyPort = m_proxyPort.toInt();
    request.timeoutMs = m_googleTiming.requestIdleMs;
    request.deadlineMs = m_googleTiming.requestDeadlineMs;
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

QNetworkRequest MessageFor(const WebRequest &request, const QUrl &address, bool secret)
{
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
    return message;
}

} // namespace

bool MayCarrySecret(const QUrl &address)
{
    return IsSecureOrLoopback(address);
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
    const QNetworkRequest message = MessageFor(request, address, secret);
    std::unique_ptr<QNetworkReply> reply(request.body.isEmpty()
                                             ? manager.sendCustomRequest(message, request.method.toLatin1())
                                             : manager.sendCustomRequest(message, request.method.toLatin1(), request.body));
    QByteArray body;
    const ReplyEnd end = AwaitReply(*reply, {request.timeoutMs, request.deadlineMs, kMaxWebResponseBytes, false},
                                    [&body](const QByteArray &block) {
                                        body += block;
                                        return true;
                                    });
    WebResponse response;
    if (end == ReplyEnd::Finished) {
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.body = std::move(body);
        response.retryAfterSeconds = RetryAfterSeconds(*reply);
    }
    return response;
}

} // namespace cardolin
