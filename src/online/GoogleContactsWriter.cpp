#include "contacts/QorContacts.h"
#include "online/GoogleEndpoints.h"
#include "online/JsonText.h"
#include "online/PeopleFields.h"
#include "online/PersonBody.h"
#include "online/WebRequest.h"
#include "support/UserPrompts.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace cardolin {

namespace {

constexpr int kRateLimitStatus = 429;

// What the service says about an uploaded contact becomes the record's link to it.
void TakeUploadAnswer(const QByteArray &body, TContactData &c)
{
    QJsonDocument answer;
    ParseJsonAnswer(body, answer);
    TakePersonLink(answer.object(), c);
    if (c.Modified > c.Synced)
        c.Synced = c.Modified;
}

} // namespace

WebResponse TQorContacts::UploadContact(const TContactData &c)
{
    WebRequest request;
    ApplyPeopleRequestDefaults(request, GooglePeopleBaseUrl());
    const bool update = !c.GoogleContactID.isEmpty();
    if (update) {
        request.method = QStringLiteral("PATCH");
        request.resource = QStringLiteral("v1/") + c.GoogleContactID + QStringLiteral(":updateContact?updatePersonFields=")
                           + PeopleWriteFields();
    } else {
        request.method = QStringLiteral("POST");
        request.resource = QStringLiteral("v1/people:createContact?personFields=") + PeopleWriteFields();
    }
    // An update replaces the account's lists: what the book could not hold goes with it.
    request.body =
        BuildPersonBody(c, m_googleContactGroups, update ? m_googleLeftovers.value(c.GoogleContactID) : QJsonObject())
            .toUtf8();
    const WebResponse response = Send(request);
    if (response.status == 0)
        m_prompts->ShowError(update ? QStringLiteral("DEBUG_REST: ExportToGoogleContactsService - Error while "
                                                     "updating existing contact")
                                    : QStringLiteral("DEBUG_REST: ExportToGoogleContactsService - Error while "
                                                     "creating new contact"));
    return response;
}

int TQorContacts::ExportToGoogleContactsService()
{
    m_googleExportCounts = {};
    if (m_contactDataList.empty() || !ConnectToGoogleContactsService())
        return -1;
    BusyCursor busy(*m_prompts);
    ReadGoogleContactGroupsFromGoogleContactsService();
    WriteGoogleContactGroupsToGoogleContactsService();
    int createErrors = 0, updateErrors = 0;
    const int last = int(m_contactDataList.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        ReportProgress(0, last, i);
        TContactData &c = *m_contactDataList[size_t(i)];
        if (!c.Exportable)
            continue;
        const bool update = !c.GoogleContactID.isEmpty();
        const WebResponse response = UploadContact(c);
        if (response.status == 200 || (!update && response.status == 201)) {
            TakeUploadAnswer(response.body, c);
            ++(update ? m_googleExportCounts.updated : m_googleExportCounts.created);
            continue;
        }
        if (update && !response.body.isEmpty())
            m_prompts->ShowError(QString::fromUtf8(response.body));
        c.Synced = 0;
        ++(update ? updateErrors : createErrors);
        if (response.status != kRateLimitStatus)
            break; // the remaining contacts are not sent
        const int seconds = response.retryAfterSeconds;
        WaitResponsively(seconds >= 0 ? qMin(seconds, kMaxRetryAfterSeconds) * 1000 : m_googleTiming.rateLimitWaitMs);
    }
    m_googleExportCounts.failed = createErrors + updateErrors;
    if (m_googleExportCounts.failed > 0)
        m_prompts->ShowError(
            QStringLiteral("Error(s) occurred while creating/reading/updating contact(s) in Google Contacts Service:\n")
            + QString::number(createErrors) + QStringLiteral(" create error(s)\n") + QStringLiteral("0")
            + QStringLiteral(" read error(s)\n") + QString::number(updateErrors) + QStringLiteral(" update error(s)\n"));
    return m_googleExportCounts.created + m_googleExportCounts.updated;
}

bool TQorContacts::DeleteGoogleContactFromGoogleContactsService(TContactData *AContactData,
                                                                 bool DeleteContactDataAction)
{
    if (!AContactData || AContactData->GoogleContactID.isEmpty() || !ConnectToGoogleContactsService())
        return false;
    BusyCursor busy(*m_prompts);
    WebRequest request;
    ApplyPeopleRequestDefaults(request, GooglePeopleBaseUrl());
    request.method = QStringLiteral("DELETE");
    request.resource = QStringLiteral("/v1/") + AContactData->GoogleContactID + QStringLiteral(":deleteContact");
    const WebResponse response = Send(request);
    if (response.status == 0)
        m_prompts->ShowError(QStringLiteral(
            "DEBUG_REST: DeleteGoogleContactFromGoogleContactsService - Error while deleting contact"));
    if (response.status == 200) {
        if (DeleteContactDataAction)
            DeleteContactData(AContactData);
        return true;
    }
    m_prompts->ShowError(
        QStringLiteral("An error occurred while deleting the following contact from Google Contacts Service:\n")
        + GetDisplayNameFromContactData(AContactData, dtInherited));
    return false;
}

} // namespace cardolin
