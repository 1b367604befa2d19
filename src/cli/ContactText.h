#pragma once

#include "contacts/QorContacts.h"

namespace cardolin::cli {

// The contact's display name by the collection's settings, on one line.
QString ListName(const TQorContacts &contacts, const TContactData &contact);

// One display name per line, in book order.
QString ContactNames(const TQorContacts &contacts);

// A block per contact, headed by its number and name, with its non-empty fields.
QString ContactsToText(const TQorContacts &contacts);

} // namespace cardolin::cli
