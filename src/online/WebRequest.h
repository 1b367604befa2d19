#pragma once

#include <QByteArray>
#include <QString>

namespace cardolin {

// One blocking web request: the caller waits, as every online operation of the
// program does, while a local event loop runs.
struct WebRequest
{
    QString baseUrl;
    QString method = QStringLiteral("GET");
    QString resource;
    QString accept;
    QString contentType;
    QString proxyAddress;
    int proxyPort = 0;
    int timeoutMs = 30000;
};

struct WebResponse
{
    int status = 0; // 0 when no answer came (network failure, timeout)
    QByteArray body;
};

// Answers larger than this are cut off and treated as failures.
constexpr qint64 kMaxWebResponseBytes = 4 * 1024 * 1024;

WebResponse Execute(const WebRequest &request);

} // namespace cardolin
