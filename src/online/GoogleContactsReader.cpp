#include "contacts/QorContacts.h"
#include "contacts/VocabularyGrower.h"
#include "online/GoogleEndpoints.h"
#include "online/GoogleGroupList.h"
#include "online/JsonText.h"
#include "online/PeopleFields.h"
#include "online/PersonLeftovers.h"
#include "online/WebRequest.h"
#include "support/UserPrompts.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cardolin {

namespace {

QJsonArray ArrayOf(const QJsonObject &person, const char *member)
{
    return person.value(QLatin1StringView(member)).toArray();
}

// "1980-7-4" from the parts of a date object; a date without its year, or one
// whose parts make no date, leaves the field as it is.
void ReadDate(const QJsonValue &date, TDateTime &field)
{
    const QString text = JsonTextAt(date, u"year") + u'-' + JsonTextAt(date, u"month") + u'-' + JsonTextAt(date, u"day");
    if (text.size() <= 6)
        return;
    const QStringList parts = text.split(u'-');
    bool okYear = false, okMonth = false, okDay = false;
    const QDate value(parts[0].toInt(&okYear), parts[1].toInt(&okMonth), parts[2].toInt(&okDay));
    if (okYear && okMonth && okDay && value.isValid())
        field = DateToSerial(value);
}

void ReadNames(const TQorContacts &contacts, const QJsonObject &person, TContactData &c)
{
    const QString displayName = JsonTextAt(person, u"names[0].displayName");
    c.Title = JsonTextAt(person, u"names[0].honorificPrefix");
    c.Suffix = JsonTextAt(person, u"names[0].honorificSuffix");
    c.FirstName = JsonTextAt(person, u"names[0].givenName");
    c.MiddleName = JsonTextAt(person, u"names[0].middleName");
    c.LastName = JsonTextAt(person, u"names[0].familyName");
    for (const QJsonValue &nickname : ArrayOf(person, "nicknames")) {
        const QString type = JsonTextAt(nickname, u"type");
        if (type == QLatin1StringView("INITIALS"))
            c.Initials = JsonTextAt(nickname, u"value");
        else if (type == QLatin1StringView("DEFAULT"))
            c.Nickname = JsonTextAt(nickname, u"value");
    }
    if (contacts.GetDisplayNameFromContactData(&c, dtInherited).isEmpty())
        contacts.BreakFullNameString(displayName, c.Title, c.FirstName, c.MiddleName, c.LastName, c.Suffix);
}

void ReadWork(const QJsonObject &person, TContactData &c)
{
    const QString notes = JsonTextAt(person, u"biographies[0].value");
    c.Notes = notes.isEmpty() ? QStringList() : notes.split(u'\n');
    c.Company = JsonTextAt(person, u"organizations[0].name");
    c.Department = JsonTextAt(person, u"organizations[0].department");
    c.JobTitle = JsonTextAt(person, u"organizations[0].title");
    c.Role = JsonTextAt(person, u"occupations[0].value");
}

void ReadRelations(const QJsonObject &person, TContactData &c)
{
    for (const QJsonValue &relation : ArrayOf(person, "relations")) {
        const QString type = JsonTextAt(relation, u"type");
        if (type == QLatin1StringView("spouse") || type == QLatin1StringView("partner"))
            c.SignificantOther = JsonTextAt(relation, u"person");
    }
}

} // namespace

void TQorContacts::FillContactFromPerson(const QJsonObject &person, TContactData &c, bool &groupsRead)
{
    TakePersonLink(person, c);
    c.GoogleContactPhotoUrl = JsonTextAt(person, u"photos[0].url");
    c.Language = JsonTextAt(person, u"locales[0].value");
    ReadNames(*this, person, c);
    c.Gender = JsonTextAt(person, u"genders[0].formattedValue");
    QJsonObject leftovers = ReadContactPoints(person, c);
    KeepUnsentTypes(person, leftovers);
    if (!leftovers.isEmpty() && !c.GoogleContactID.isEmpty())
        m_googleLeftovers.insert(c.GoogleContactID, leftovers);
    ReadWork(person, c);
    ReadRelations(person, c);
    for (const QJsonValue &keyword : ArrayOf(person, "miscKeywords")) {
        const QString type = JsonTextAt(keyword, u"type");
        if (type == QLatin1StringView("OUTLOOK_SENSITIVITY"))
            c.Sensitivity = CapitalizeWords(JsonTextAt(keyword, u"value"));
        else if (type == QLatin1StringView("OUTLOOK_PRIORITY"))
            c.Priority = CapitalizeWords(JsonTextAt(keyword, u"value"));
    }
    for (const QJsonValue &membership : ArrayOf(person, "memberships")) {
        const QString resourceName = JsonTextAt(membership, u"contactGroupMembership.contactGroupResourceName");
        // The account's groups are read once per import, not once per membership.
        if (!resourceName.isEmpty() && m_googleContactGroups.isEmpty() && !groupsRead) {
            groupsRead = true;
            ReadGoogleContactGroupsFromGoogleContactsService();
        }
        // A group the list does not know adds no category.
        const QString name = GoogleGroupName(m_googleContactGroups, resourceName);
        if (!name.isEmpty())
            c.Categories.Add(name);
    }
    ReadDate(JsonAt(person, u"birthdays[0].date"), c.Birthday);
    for (const QJsonValue &event : ArrayOf(person, "events"))
        if (JsonTextAt(event, u"type") == QLatin1StringView("anniversary"))
            ReadDate(JsonAt(event, u"date"), c.Anniversary);
}

int TQorContacts::ImportFromGoogleContactsService()
{
    if (!ConnectToGoogleContactsService())
        return 0;
    BusyCursor busy(*m_prompts);
    ClearContactDataList();
    m_googleLeftovers.clear();
    m_lastError.clear();
    VocabularyGrower categories(m_categories);
    bool groupsRead = false;
    ReadGooglePages(
        QStringLiteral("v1/people/me/connections?personFields=") + PeopleReadFields() + QStringLiteral("&pageSize=100"),
        QStringLiteral("ImportFromGoogleContactsService - Error while reading contacts"),
        QStringLiteral("An error occurred while importing contacts from Google Contacts Service."),
        {kMaxGooglePeople, "contacts"}, [&](const QJsonObject &page, bool) {
            int taken = 0;
            for (const QJsonValue &person : ArrayOf(page, "connections")) {
                TContactData *contact = CreateContactData();
                FillContactFromPerson(person.toObject(), *contact, groupsRead);
                categories.Add(contact->Categories);
                ++taken;
            }
            return taken;
        });
    if (categories.Grown())
        SetCategories(categories.Entries());
    for (const auto &contact : m_contactDataList)
        FinishImportedContact(*contact);
    const int count = int(m_contactDataList.size());
    return count == 0 ? -1 : count;
}

void TQorContacts::FinishImportedContact(TContactData &c)
{
    if (m_formatContacts)
        FormatContactData(&c);
    if (!GetDisplayNameFromContactData(&c, dtInherited).isEmpty())
        return;
    const QString local = GetPreferredEmailFromContactData(&c).section(u'@', 0, 0);
    const qsizetype dot = local.indexOf(u'.');
    if (dot >= 0) {
        c.FirstName = CapitalizeWords(local.left(dot));
        c.LastName = CapitalizeWords(local.mid(dot + 1));
    } else {
        c.LastName = CapitalizeWords(local);
    }
}

bool TQorContacts::ReadGoogleContactPhotoFromGoogleContactsService(TContactData *AContactData)
{
    if (!AContactData)
        return false;
    if (AContactData->GoogleContactPhotoUrl.isEmpty()) {
        m_prompts->ShowError(QStringLiteral("No photo is available for the contact."));
        return false;
    }
    WebRequest request;
    ApplyRequestDefaults(request, AContactData->GoogleContactPhotoUrl);
    request.accept = QStringLiteral("image/jpeg");
    request.contentType = QStringLiteral("image/jpeg");
    const WebResponse response = Send(request);
    if (response.status != 200) {
        m_prompts->ShowError(QStringLiteral("An error occurred while reading contact photo from Google Contacts Service."));
        return false;
    }
    if (response.body.isEmpty())
        return false;
    // Without an image library in the core, a JPEG is known by its start-of-image marker.
    if (!response.body.startsWith("\xFF\xD8\xFF")) {
        m_prompts->ShowError(
            QStringLiteral("An error occurred while processing contact photo from Google Contacts Service."));
        return false;
    }
    AContactData->Photo = response.body;
    return true;
}

} // namespace cardolin
