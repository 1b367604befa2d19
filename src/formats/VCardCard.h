#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace vcard {

// The lines of one card for a contact, "BEGIN:VCARD" to "END:VCARD".
QStringList WriteCard(const TQorContacts &contacts, const TContactData &contact);

// Reads the lines of one card into the contact. False, with the contact left
// alone, when the first line is not "BEGIN:VCARD".
bool ReadCard(const TQorContacts &contacts, const QStringList &lines, TContactData &contact);

} // namespace vcard
} // namespace cardolin
