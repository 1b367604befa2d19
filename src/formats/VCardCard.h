#pragma once

#include "contacts/ContactData.h"
#include "formats/RecordFiles.h"

#include <QStringList>

namespace cardolin {

class TQorContacts;

namespace vcard {

// The lines of one card for a contact, "BEGIN:VCARD" to "END:VCARD".
QStringList WriteCard(const TQorContacts &contacts, const TContactData &contact);

// How cards open and close in a file of many.
inline const recordfiles::RecordTags kCardTags{QLatin1StringView("BEGIN:VCARD"), QLatin1StringView("END:VCARD"),
                                               true};

// True for the line that opens a card, in any letter case.
bool IsCardStart(QStringView line);

// Reads the lines of one card, up to its "END:VCARD", into the contact. False,
// with the contact left alone, when the first line does not open a card or the
// card describes a group of contacts. Values that found no field of their own
// are kept in the notes and counted into spare, when given. The card's UID
// goes to uid, when given, if it is a plain line of text (else uid is empty).
bool ReadCard(const TQorContacts &contacts, const QList<QStringView> &lines, TContactData &contact,
              int *spare = nullptr, QString *uid = nullptr);

// "3 values had no field of their own and were added to the notes", for a
// warning after an import.
QString SpareValuesMessage(int count);

} // namespace vcard
} // namespace cardolin
