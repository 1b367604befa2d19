#pragma once

#include "contacts/ContactData.h"

#include <QString>
#include <QStringList>

namespace cardolin {

// A street fit for a map search: the last of up to three lines, no commas,
// accents folded.
QString CleanStreetText(const QString &street);
// "Boston, MA 02101", "75001 Paris" or just the city.
QString FormatCityLine(const QString &city, const QString &stateProvince, const QString &postalCode);
// The cleaned street, the city line and the country joined by ", ", empty parts
// left out.
QString BuildAddressText(const QString &street, const QString &city, const QString &stateProvince,
                         const QString &postalCode, const QString &country);
// Street, city line and country of one location joined by ", "; empty for
// ltAll, ltPreferred or an empty location.
QString BuildLocationAddressText(const TContactData &contact, TLocationType location);
// Percent-encodes everything but ASCII letters, digits and "'" with the
// character's UTF-16 code ("é" gives "%E9").
QString EncodeURLText(const QString &text, bool spacesAsPlus);

} // namespace cardolin
