#include "contacts/QorContacts.h"
#include "online/GoogleEndpoints.h"
#include "online/GoogleGroupList.h"
#include "online/JsonText.h"
#include "online/WebRequest.h"
#include "support/UserPrompts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cardolin {

namespace {

bool IsNeverCreated(const QString &name)
{
    static const QStringList names = {QStringLiteral("Contacts"), QStringLiteral("Coworkers"),
                                      QStringLiteral("Family"),   QStringLiteral("Friends"),
                                      QStringLiteral("Starred"),  QStringLiteral("Starred in Android")};
    return names.contains(name);
}

bool IsNeverDeleted(const QString &name)
{
    static const QStringList names = {
        QStringLiteral("Contacts"), QStringLiteral("Coworkers"),     QStringLiteral("Family"),
        QStringLiteral("Friends"),  QStringLiteral("Starred"),       QStringLiteral("Blocked"),
        QStringLiteral("Chat contacts"), QStringLiteral("All Contacts"), QStringLiteral("My Contacts")};
    return names.contains(name);
}

// An entry is "name=resource name"; resource names hold no "=", names may.
QString EntryName(const QString &entry)
{
    const qsizetype equals = entry.lastIndexOf(u'=');
    return equals < 0 ? entry : entry.left(equals);
}

QString EntryResourceName(const QString &entry)
{
    const qsizetype equals = entry.lastIndexOf(u'=');
    return equals < 0 ? QString() : entry.mid(equals + 1);
}

} // namespace

QString GoogleGroupResourceName(const QStringList &groups, const QString &name)
{
    for (const QString &entry : groups)
        if (EntryName(entry).compare(name, Qt::CaseInsensitive) == 0)
            return EntryResourceName(entry);
    return {};
}

QString GoogleGroupName(const QStringList &groups, const QString &resourceName)
{
    for (const QString &entry : groups)
        if (EntryResourceName(entry) == resourceName)
            return EntryName(entry);
    return {};
}

bool HasGoogleGroup(const QStringList &groups, const QString &name)
{
    for (const QString &entry : groups)
        if (EntryName(entry).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int TQorContacts::ReadGoogleContactGroupsFromGoogleContactsService()
{
    if (!ConnectToGoogleContactsService())
        return -1;
    const bool read = ReadGooglePages(
        QStringLiteral("v1/contactGroups?pageSize=30"),
        QStringLiteral("ReadGoogleContactGroupsFromGoogleContactsService - Error while reading contact groups"),
        QStringLiteral("An error occurred while reading contact groups from Google Contacts Service."),
        {kMaxGoogleGroups, "contact groups"}, [this](const QJsonObject &page, bool firstPage) {
            m_googleContactGroupsAvailability = true;
            if (firstPage)
                m_googleContactGroups.clear();
            int taken = 0;
            for (const QJsonValue &group : page.value(QLatin1StringView("contactGroups")).toArray()) {
                QString name = JsonTextAt(group, u"formattedName");
                if (name == QLatin1StringView("My Contacts"))
                    name = QStringLiteral("Contacts");
                m_googleContactGroups.append(name + u'=' + JsonTextAt(group, u"resourceName"));
                ++taken;
            }
            return taken;
        });
    if (!read)
        m_googleContactGroupsAvailability = false;
    return int(m_googleContactGroups.size());
}

int TQorContacts::WriteGoogleContactGroupsToGoogleContactsService()
{
    if (!ConnectToGoogleContactsService())
        return -1;
    int created = 0;
    bool readAgain = false;
    for (const QString &category : m_categories) {
        if (HasGoogleGroup(m_googleContactGroups, category) || !m_googleContactGroupsAvailability
            || IsNeverCreated(category))
            continue;
        WebRequest request;
        ApplyPeopleRequestDefaults(request, GooglePeopleBaseUrl());
        request.method = QStringLiteral("POST");
        request.resource = QStringLiteral("v1/contactGroups");
        request.body = (QStringLiteral("{\"contactGroup\": {\"name\": ") + JsonString(category) + QStringLiteral("}}"))
                           .toUtf8();
        const WebResponse response = Send(request);
        if (response.status == 0)
            m_prompts->ShowError(QStringLiteral(
                "DEBUG_REST: WriteGoogleContactGroupsToGoogleContactsService - Error while writing contact groups"));
        if (response.status == 200 || response.status == 201) {
            QJsonDocument answer;
            ParseJsonAnswer(response.body, answer);
            const QString resourceName = JsonTextAt(answer.object(), u"resourceName");
            m_googleContactGroups.append(category + u'=' + resourceName);
            readAgain = readAgain || resourceName.isEmpty();
            ++created;
        } else {
            m_prompts->ShowError(
                QStringLiteral("An error occurred while creating the following contact group in Google Contacts "
                               "Service:\n")
                + category);
        }
    }
    const QStringList groups = m_googleContactGroups; // deletions leave the list as it is
    for (const QString &entry : groups) {
        const QString name = EntryName(entry);
        if (!m_categories.contains(name, Qt::CaseInsensitive))
            DeleteGoogleContactGroupFromGoogleContactsService(name);
    }
    if (readAgain)
        ReadGoogleContactGroupsFromGoogleContactsService();
    return created;
}

bool TQorContacts::DeleteGoogleContactGroupFromGoogleContactsService(const QString &GoogleContactGroup)
{
    if (IsNeverDeleted(GoogleContactGroup))
        return false;
    const QString resourceName = GetGoogleContactGroupResourceName(GoogleContactGroup);
    if (resourceName.isEmpty() || !ConnectToGoogleContactsService())
        return false;
    BusyCursor busy(*m_prompts);
    WebRequest request;
    ApplyPeopleRequestDefaults(request, GooglePeopleBaseUrl());
    request.method = QStringLiteral("DELETE");
    request.resource = QStringLiteral("/v1/") + resourceName;
    const WebResponse response = Send(request);
    if (response.status == 0)
        m_prompts->ShowError(QStringLiteral("DEBUG_REST: DeleteGoogleContactGroupFromGoogleContactsService - Error "
                                            "while deleting contact group"));
    if (response.status == 200)
        return true;
    m_prompts->ShowError(
        QStringLiteral("An error occurred while deleting the following contact group from Google Contacts Service:\n")
        + GoogleContactGroup);
    return false;
}

QString TQorContacts::GetGoogleContactGroupName(const QString &ResourceName)
{
    if (ResourceName.isEmpty())
        return {};
    if (m_googleContactGroups.isEmpty())
        ReadGoogleContactGroupsFromGoogleContactsService();
    return GoogleGroupName(m_googleContactGroups, ResourceName);
}

QString TQorContacts::GetGoogleContactGroupResourceName(const QString &Name) const
{
    return GoogleGroupResourceName(m_googleContactGroups, Name);
}

} // namespace cardolin
