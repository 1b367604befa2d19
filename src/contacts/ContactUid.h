#pragma once

#include "contacts/ContactData.h"

#include <QSet>

#include <memory>
#include <vector>

namespace cardolin {

// A fresh identity for a contact: a random UUID, lower case, without braces.
QString NewContactUid();

// Gives every record whose Uid is empty or already in taken a fresh one, and
// adds each record's Uid to taken. One pass with a set, so that a book of
// 100,000 contacts costs no more than hashing them.
void GiveUniqueUids(const std::vector<std::unique_ptr<TContactData>> &records, QSet<QString> &taken);

} // namespace cardolin
