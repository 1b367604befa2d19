#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace vcard {

// The lines of one standard vCard 3.0 card for a contact: values escaped,
// lines folded at 75 octets of UTF-8, every field that has a property.
QStringList WriteCard3(const TQorContacts &contacts, const TContactData &contact);

// The same card in version 4.0, for servers that keep 4.0 cards.
QStringList WriteCard4(const TQorContacts &contacts, const TContactData &contact);

// A REV value: "2024-05-06T07:08:09Z", or "20240506T070809Z" for version 4.0.
QString RevisionStamp(TDateTime serial, bool v4);

} // namespace vcard
} // namespace cardolin
