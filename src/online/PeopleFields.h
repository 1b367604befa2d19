#pragma once

#include "contacts/ContactData.h"

#include <QLatin1StringView>

class QJsonObject;

#include <span>

namespace cardolin {

// The three locations of a contact as the People service types them, with the
// fields that belong to each.
struct PeopleLocation
{
    QLatin1StringView type;      // "work", "home", "other"
    QLatin1StringView preferred; // the Preferred value that makes it primary
    QString TContactData::*email;
    QString TContactData::*website;
    QString TContactData::*im;
    QString TContactData::*street;
    QString TContactData::*poBox;
    QString TContactData::*city;
    QString TContactData::*region;
    QString TContactData::*postalCode;
    QString TContactData::*country;
};
std::span<const PeopleLocation> PeopleLocations();

// A telephone type of the People service and the field it fills; preferred is
// the Preferred value that a primary number sets, empty when none.
struct PeoplePhone
{
    QLatin1StringView type;
    QString TContactData::*field;
    QLatin1StringView preferred;
};
std::span<const PeoplePhone> PeoplePhonesRead();

// The person's link to the contact: resource name, etag and update time,
// which also becomes Synced when it reads as a time stamp.
void TakePersonLink(const QJsonObject &person, TContactData &c);

// The first character and every one after a space or "-", or after "(" or a
// quotation mark that follows a space, in upper case ("o'neil-smith" gives
// "O'neil-Smith").
QString CapitalizeWords(const QString &text);

} // namespace cardolin
