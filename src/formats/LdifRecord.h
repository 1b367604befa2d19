#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace ldif {

// The lines of one record for a contact, "dn" first.
QStringList WriteRecord(const TQorContacts &contacts, const TContactData &contact);

// Reads the lines of one record into the contact; false, with the contact left
// alone, for no lines or a group entry (a mailing list).
bool ReadRecord(const TQorContacts &contacts, const QStringList &lines, TContactData &contact);

} // namespace ldif
} // namespace cardolin
