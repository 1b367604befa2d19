#pragma once

#include "contacts/QorContacts.h"

namespace cardolin::cli {

// A JSON array with one object per contact, every field but the photo under its
// own name, in the record's order.
QString ContactsToJson(const TContactDataList &contacts);

} // namespace cardolin::cli
