#include "contacts/QorContacts.h"
#include "online/JsonText.h"
#include "online/GoogleEndpoints.h"
#include "online/WebRequest.h"
#include "support/ReadLimits.h"
#include "support/UserPrompts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace cardolin {

WebResponse TQorContacts::FetchGooglePage(const QString &resource, const QString &operation, bool laterPage)
{
    for (int attempt = 0;; ++attempt) {
        WebRequest request;
        ApplyPeopleRequestDefaults(request, GooglePeopleBaseUrl());
        request.resource = resource;
        const WebResponse response = Send(request);
        if (response.status == 0)
            m_prompts->ShowError(QStringLiteral("DEBUG_REST: ") + operation);
        // The first page decides whether the account answers at all; a later one
        // that met a passing fault (no answer, overload) is asked again a few times.
        const bool passing = response.status == 0 || response.status == 429 || response.status >= 500;
        if (response.status == 200 || !laterPage || !passing || attempt >= m_googleTiming.pageRetries)
            return response;
        // The service may say how long to wait; otherwise each wait doubles.
        WaitResponsively(response.retryAfterSeconds >= 0 ? qMin(response.retryAfterSeconds, kMaxRetryAfterSeconds) * 1000
                                                         : m_googleTiming.pageRetryWaitMs << qMin(attempt, 10));
    }
}

bool TQorContacts::ReadGooglePages(const QString &resource, const QString &operation, const QString &errorMessage,
                                   const GooglePageBounds &bounds,
                                   const std::function<int(const QJsonObject &page, bool firstPage)> &takePage)
{
    QString pageToken;
    qint64 read = 0;
    qint64 bytes = 0;
    for (bool first = true;; first = false) {
        const QString address =
            pageToken.isEmpty()
                ? resource
                : resource + QStringLiteral("&pageToken=") + QString::fromLatin1(QUrl::toPercentEncoding(pageToken));
        const WebResponse response = FetchGooglePage(address, operation, !first);
        QJsonDocument document;
        QString refused;
        const bool parsed = ParseJsonAnswer(response.body, document, &refused);
        bytes += response.body.size();
        // A service that keeps handing out full pages would otherwise be read
        // until memory runs out; a real account holds far less.
        if (bytes > limits::kMaxFileBytes)
            refused = limits::TooLongMessage(QStringLiteral("The answer of the Google account"), limits::kMaxFileBytes);
        if (response.status != 200 || !parsed || !document.isObject() || bytes > limits::kMaxFileBytes)
            return FailGooglePages(response.status == 200 ? refused : QString(), errorMessage);
        if (first)
            m_restStrings.clear();
        m_restStrings += QString::fromUtf8(response.body).split(u'\n');
        const QJsonObject page = document.object();
        const int taken = takePage(page, first);
        read += taken;
        if (read > bounds.maxItems)
            return FailGooglePages(QStringLiteral("The Google account holds more than %1 %2 (the most Cardolin reads).")
                                       .arg(bounds.maxItems)
                                       .arg(QLatin1StringView(bounds.itemsName)),
                                   errorMessage);
        pageToken = page.value(QLatin1StringView("nextPageToken")).toString();
        const qint64 total = page.value(QLatin1StringView("totalItems")).toInteger();
        // A page that brings nothing ends the read too: a service that keeps
        // handing out tokens must not keep the program asking forever.
        if (pageToken.isEmpty() || read >= total || taken == 0)
            return true;
    }
}

// An answer past the readers' bounds says so before the usual message.
bool TQorContacts::FailGooglePages(const QString &reason, const QString &errorMessage)
{
    if (!reason.isEmpty())
        m_prompts->ShowError(reason);
    m_prompts->ShowError(errorMessage);
    m_lastError = reason.isEmpty() ? errorMessage : reason;
    return false;
}

} // namespace cardolin
