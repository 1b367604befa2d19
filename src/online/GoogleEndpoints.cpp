#include "online/GoogleEndpoints.h"

namespace cardolin {

namespace {

QString Configured(const char *variable, QLatin1StringView fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QString(fallback) : value;
}

constexpr QLatin1StringView kWriteFields(
    "names,addresses,emailAddresses,phoneNumbers,nicknames,urls,organizations,occupations,birthdays,genders,"
    "imClients,events,miscKeywords,biographies,memberships,locales,relations");

} // namespace

QString GoogleAuthorizationUrl()
{
    return Configured("CARDOLIN_GOOGLE_AUTH_URL", QLatin1StringView("https://accounts.google.com/o/oauth2/v2/auth"));
}

QString GoogleTokenBaseUrl()
{
    return Configured("CARDOLIN_GOOGLE_TOKEN_URL", QLatin1StringView("https://oauth2.googleapis.com/"));
}

QString GooglePeopleBaseUrl()
{
    return Configured("CARDOLIN_GOOGLE_PEOPLE_URL", QLatin1StringView("https://people.googleapis.com/"));
}

QString GoogleContactsScope()
{
    return QStringLiteral("https://www.googleapis.com/auth/contacts");
}

QString PeopleReadFields()
{
    return kWriteFields + QLatin1StringView(",metadata,photos");
}

QString PeopleWriteFields()
{
    return kWriteFields;
}

} // namespace cardolin
