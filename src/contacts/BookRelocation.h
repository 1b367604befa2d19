#pragma once

#include <QStringList>

namespace cardolin {

class BookClaim;
class TContactsBookLocator;
struct TStorageSettings;
class UserPrompts;

// Books move only when where they live changed: the user-folder option, the
// library folder, or whether books are named after display names.
bool RelocationNeeded(const TStorageSettings &before, const TStorageSettings &after);

// Offers to move each account's book (and its backup) from where the old
// settings put it to where the new ones do, asking per account with "to all"
// answers, and asking again before replacing a book at the new place. Each
// failed move is reported and the others go on. Each book is claimed at both
// places for its move; one that another program holds stays where it is, and
// the user is told which. held: the caller's own claim, which counts as ours.
// Returns the books moved.
int RelocateContactsBooks(const QStringList &accounts, const TContactsBookLocator &before,
                          const TContactsBookLocator &after, UserPrompts &prompts, const BookClaim *held = nullptr);

} // namespace cardolin
