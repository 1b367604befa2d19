#pragma once

#include "contacts/ContactData.h"
#include "formats/VCardProperties.h"

#include <functional>

namespace cardolin::vcard {

// True when the card describes a group of contacts rather than a contact.
bool IsGroupCard(const Card &card);

// Puts each property of the card into the contact field that the program's
// own cards use for it: telephones, addresses, e-mails and web sites by their
// work, home and other types, then by order. A telephone, e-mail, address,
// web site or messaging address with no field left is added to the notes as
// a line of its own; the result is how many were.
int MapCard(const Card &card, TContactData &contact);

// Called after each property that the mapping reads, with its index and the
// contact as it was before the property and as it is after.
using MapStep = std::function<void(qsizetype index, const TContactData &before, const TContactData &after)>;

// As MapCard, but the values with no field are left out of the notes (they
// stay on the card they came from).
int MapCardFields(const Card &card, TContactData &contact, const MapStep &step = {});

} // namespace cardolin::vcard
