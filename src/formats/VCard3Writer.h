#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace vcard {

// The lines of one standard vCard 3.0 card for a contact: values escaped,
// lines folded at 75 octets of UTF-8, every field that has a property.
QStringList WriteCard3(const TQorContacts &contacts, const TContactData &contact);

} // namespace vcard
} // namespace cardolin
