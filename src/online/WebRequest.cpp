#include "online/WebRequest.h"

#include "contacts/QorContacts.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace cardolin {

void TQorContacts::ApplyRequestDefaults(WebRequest &request, const QString &baseUrl) const
{
    request = WebRequest();
    request.baseUrl = baseUrl;
    request.proxyAddress = m_proxyAddress;
    request.proxyPort = m_proxyPort.toInt();
}

WebResponse Execute(const WebRequest &request)
{
    QNetworkAccessManager manager;
    manager.setProxy(request.proxyAddress.isEmpty()
                         ? QNetworkProxy(QNetworkProxy::NoProxy)
                         : QNetworkProxy(QNetworkProxy::HttpProxy, request.proxyAddress, quint16(request.proxyPort)));
    QNetworkRequest message(QUrl(request.baseUrl + request.resource, QUrl::StrictMode));
    if (!request.accept.isEmpty()) {
        message.setRawHeader("Accept", request.accept.toUtf8());
        message.setHeader(QNetworkRequest::ContentTypeHeader, request.accept);
    }
    if (!request.contentType.isEmpty())
        message.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
    message.setTransferTimeout(request.timeoutMs);
    QNetworkReply *reply = manager.sendCustomRequest(message, request.method.toLatin1());
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
        loop.exec();
    WebResponse response;
    if (reply->isFinished() && reply->bytesAvailable() <= kMaxWebResponseBytes) {
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.body = reply->readAll();
    }
    reply->abort();
    delete reply;
    return response;
}

} // namespace cardolin
