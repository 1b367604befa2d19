#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QUrl;

namespace cardolin {

// One blocking web request: the caller waits, as every online operation of the
// program does, while a local event loop keeps the windows painted but lets no
// user input through.
struct WebRequest
{
    QString baseUrl;
    QString method = QStringLiteral("GET");
    QString resource;
    QString accept;
    QString contentType;
    QString proxyAddress;
    int proxyPort = 0;
    int timeoutMs = 30000;  // no byte for this long ends the request
    int deadlineMs = 60000; // the whole request ends by then
    QByteArray authorization; // the Authorization header, sent as is; none when empty
    QByteArray body;
    // The address or body holds a key or token. Such a request, and any with an
    // authorization, goes only over HTTPS or to this machine.
    bool carriesSecret = false;
};

struct WebResponse
{
    int status = 0; // 0 when no answer came (network failure, timeout)
    QByteArray body;
    int retryAfterSeconds = -1; // the Retry-After header in seconds; -1 when absent
    QString refusal;            // why the request was not sent at all; empty when it was
};

// A Retry-After longer than this is not waited for in full.
constexpr int kMaxRetryAfterSeconds = 600;

// Answers larger than this are cut off and treated as failures, counted as
// they arrive.
constexpr qint64 kMaxWebResponseBytes = 4 * 1024 * 1024;

WebResponse Execute(const WebRequest &request);

// True when a key or token may travel to address: over HTTPS, or over plain
// HTTP to a loopback address (127.0.0.0/8, ::1, localhost).
bool MayCarrySecret(const QUrl &address);

// The base address and the resource joined by exactly one "/" where both bring one.
QString JoinAddress(const QString &baseUrl, const QString &resource);

// "name=value&..." with every value percent-encoded, as a form posts it.
QByteArray FormBody(const QList<QPair<QString, QString>> &fields);

// Waits without blocking the windows' painting; user input stays queued.
void WaitResponsively(int milliseconds);

} // namespace cardolin
