#pragma once

#include "contacts/QorContacts.h"

namespace cardolin::cli {

// First and last name joined by a blank, on one line.
QString ListName(const TContactData &contact);

// A block per contact, headed by its number and name, with its non-empty fields.
QString ContactsToText(const TContactDataList &contacts);

} // namespace cardolin::cli
