#pragma once

#include "contacts/ContactData.h"
#include "formats/RecordFiles.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace ldif {

// Each entry of a file starts at its "dn" line.
inline const recordfiles::RecordTags kEntryTags{QLatin1StringView("dn:")};

// The lines of one record for a contact, "dn" first.
QStringList WriteRecord(const TQorContacts &contacts, const TContactData &contact);

// Reads the lines of one record into the contact; false, with the contact left
// alone, for no lines or a group entry (a mailing list).
bool ReadRecord(const TQorContacts &contacts, const QList<QStringView> &lines, TContactData &contact);

} // namespace ldif
} // namespace cardolin
