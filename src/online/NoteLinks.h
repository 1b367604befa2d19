#pragma once

#include <QString>

namespace cardolin {

// Addresses found in a line of a contact's notes, so that a double-click on the
// line can open them. Words are separated by blanks; each answer is empty when
// the line holds nothing of the kind.

// The first word holding "://".
QString ExtractURL(const QString &AString);
// The first word holding "@", without the parentheses around it.
QString ExtractEmailAddress(const QString &AString);
// In a line mentioning Skype ("Skype: jdoe"), the first word after the first
// colon that is not the word Skype itself.
QString ExtractSkypeAccount(const QString &AString);

} // namespace cardolin
