#pragma once

#include "contacts/ContactData.h"

#include <QJsonObject>

namespace cardolin {

// E-mail addresses, web sites, IM, telephones and postal addresses of a person
// into the contact. Each element of a known type goes to its field first; then
// each element of a type of its own (a label the user typed, or none) goes to
// the first free field of its kind. The elements the contact could not hold
// (no field free, or overwritten by a later one of the same type) come back by
// member name: an update sends them again so that the account keeps them.
// Under "labelled" they also hold, by member, the label each value placed in a
// field came with, so that an update gives it back.
QJsonObject ReadContactPoints(const QJsonObject &person, TContactData &c);

// The type to send for a value the contact holds in a field of member's kind:
// the account's own label (perhaps none) when the value came with one, else
// the field's type. key is the value; for an address, AddressKey of its parts.
QString KeptType(const QJsonObject &leftovers, QLatin1StringView member, const QString &key, QLatin1StringView type);
// Street, post-office box, city, region, postal code and country as one key.
QString AddressKey(const QStringList &parts);

// Adds to leftovers the nicknames, relations, events and keywords of types
// that the body sent on an update does not carry.
void KeepUnsentTypes(const QJsonObject &person, QJsonObject &leftovers);

} // namespace cardolin
