#pragma once

#include "contacts/ContactData.h"
#include "formats/VCardProperties.h"

namespace cardolin::vcard {

// True when the card describes a group of contacts rather than a contact.
bool IsGroupCard(const Card &card);

// Puts each property of the card into the contact field that the program's
// own cards use for it: telephones, addresses, e-mails and web sites by their
// work, home and other types, then by order. A telephone, e-mail, address,
// web site or messaging address with no field left is added to the notes as
// a line of its own; the result is how many were.
int MapCard(const Card &card, TContactData &contact);

// As MapCard, but the values with no field are left out of the notes (they
// stay on the card they came from); the indexes of their properties are added
// to spared when given.
int MapCardFields(const Card &card, TContactData &contact, QList<qsizetype> *spared = nullptr);

} // namespace cardolin::vcard
