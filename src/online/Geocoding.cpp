#include "contacts/AccentFolding.h"
#include "contacts/QorContacts.h"
#include "online/LocationText.h"
#include "online/WebRequest.h"
#include "support/Clock.h"
#include "support/ReadLimits.h"
#include "support/UserPrompts.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <utility>

namespace cardolin {

namespace {

constexpr QLatin1StringView kDefaultGeocodingUrl("https://maps.googleapis.com/maps/api/geocode/");

QString GeocodingBaseUrl()
{
    const QString configured = qEnvironmentVariable("CARDOLIN_GOOGLE_GEOCODING_URL");
    return configured.isEmpty() ? QString(kDefaultGeocodingUrl) : configured;
}

struct GeocodingAnswer
{
    QString status, errorMessage, lat, lng;
};

// The answer is untrusted: a DTD is refused outright, so no entity is ever
// expanded or fetched.
bool ParseAnswer(const QByteArray &body, GeocodingAnswer &answer)
{
    QXmlStreamReader xml(body);
    QStringList path;
    QString lat, lng;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            return false;
        if (token == QXmlStreamReader::EndElement) {
            path.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const bool inLocation = !path.isEmpty() && path.last() == QLatin1StringView("location");
        if (name == QLatin1StringView("status") || name == QLatin1StringView("error_message")
            || (inLocation && (name == QLatin1StringView("lat") || name == QLatin1StringView("lng")))) {
            const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            (name == QLatin1StringView("status")          ? answer.status
             : name == QLatin1StringView("error_message") ? answer.errorMessage
             : name == QLatin1StringView("lat")           ? lat
                                                          : lng) = text;
            if (!lat.isEmpty() && !lng.isEmpty())
                answer.lat = std::exchange(lat, {}), answer.lng = std::exchange(lng, {});
            continue;
        }
        if (path.size() >= limits::kMaxNestingDepth)
            return false;
        path.append(name);
    }
    return !xml.hasError();
}

struct CoordinateSlot
{
    TLocationType type;
    QString TContactData::*coordinates;
    TDateTime TContactData::*updated;
};

const CoordinateSlot kSlots[] = {
    {ltWork, &TContactData::WorkCoordinates, &TContactData::WorkCoordinatesUpdated},
    {ltHome, &TContactData::HomeCoordinates, &TContactData::HomeCoordinatesUpdated},
    {ltOther, &TContactData::OtherCoordinates, &TContactData::OtherCoordinatesUpdated},
};

bool Handles(TLocationType asked, TLocationType slot)
{
    if (asked == ltAll || asked == slot)
        return true;
    return asked == ltPersonal && slot == ltHome;
}

TLocationType PreferredLocation(const QString &preferred)
{
    if (preferred == QLatin1StringView("Work"))
        return ltWork;
    if (preferred == QLatin1StringView("Personal"))
        return ltPersonal;
    if (preferred == QLatin1StringView("Other"))
        return ltOther;
    return ltPreferred; // matches no location
}

} // namespace

QString TQorContacts::GetCoordinatesUsingGoogleGeocodingAPI(const QString &Address)
{
    // Within one export a missing or refused key is said once, not once per contact.
    if (m_geocodingBatch && m_geocodingRefused)
        return {};
    if (m_googleGeocodingKey.isEmpty()) {
        m_prompts->ShowWarning(
            QStringLiteral("The Google Geocoding Key must be configured to access Google Geocoding API."));
        m_geocodingRefused = true;
        return {};
    }
    QString query = Address;
    query.replace(u'-', u' ');
    query = EncodeURLText(FoldAccentedChars(query), true);
    WebRequest request;
    ApplyRequestDefaults(request, GeocodingBaseUrl());
    request.resource = QStringLiteral("xml?address=") + query + QStringLiteral("&key=")
                       + QString::fromLatin1(QUrl::toPercentEncoding(m_googleGeocodingKey));
    request.accept = QStringLiteral("application/xml");
    request.carriesSecret = true;
    const WebResponse response = Send(request);
    if (response.status != 200) {
        m_prompts->ShowError(QStringLiteral("An error occurred while accessing Google Geocoding API."));
        return {};
    }
    GeocodingAnswer answer;
    if (!ParseAnswer(response.body, answer)) {
        m_prompts->ShowError(
            QStringLiteral("An error occurred while processing XML data returned by Google Geocoding API."));
        return {};
    }
    if (answer.status == QLatin1StringView("OVER_QUERY_LIMIT"))
        m_prompts->ShowWarning(QStringLiteral("Daily request quota for Google Geocoding API has been exceeded."));
    else if (answer.status == QLatin1StringView("REQUEST_DENIED") || answer.status == QLatin1StringView("INVALID_REQUEST"))
        // A refused key would otherwise fail silently for every contact.
        m_prompts->ShowError(QStringLiteral("Google Geocoding API refused the request: %1").arg(answer.errorMessage));
    m_geocodingRefused = m_geocodingRefused || answer.status == QLatin1StringView("REQUEST_DENIED");
    if (answer.lat.isEmpty() || answer.lng.isEmpty())
        return {};
    return answer.lng + u',' + answer.lat + QStringLiteral(",0");
}

bool TQorContacts::UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(TContactData *AContactData,
                                                                       TLocationType ALocationType)
{
    if (!AContactData)
        return false;
    const TLocationType asked =
        ALocationType == ltPreferred ? PreferredLocation(AContactData->Preferred) : ALocationType;
    bool updated = false;
    for (const CoordinateSlot &slot : kSlots) {
        if (!Handles(asked, slot.type))
            continue;
        const QString address = BuildLocationAddressText(*AContactData, slot.type);
        // Coordinates newer than the last change of the contact are still good.
        if (address.isEmpty() || AContactData->*slot.updated > AContactData->Modified)
            continue;
        const QString coordinates = GetCoordinatesUsingGoogleGeocodingAPI(address);
        if (coordinates.isEmpty())
            continue;
        AContactData->*slot.coordinates = coordinates;
        AContactData->*slot.updated = DateTimeToSerial(m_clock->NowUtc());
        updated = true;
    }
    return updated;
}

} // namespace cardolin
