#pragma once

#include "contacts/ContactData.h"
#include "contacts/ContactFields.h"

#include <QByteArray>

namespace cardolin {
class TQorContacts;
}

namespace cardolin::vcard {

enum class TCardVersion { V3, V4 };

// Cards as a CardDAV server keeps them: read into a contact without pushing
// what has no field into the notes (it stays on the server's card), and
// written back over the server's text so that nothing the program does not
// understand is lost.

// The fields IsServerCardField names take the card's values (those the card
// lacks, a new record's), Uid takes its UID; the other fields stay. False
// with error set, and the contact left alone, when text is not exactly one
// vCard of bounded size, or is a group.
bool ReadServerCard(const TQorContacts &book, const QByteArray &text, TContactData &contact, QString &error);

// Contact groups (KIND:group, X-ADDRESSBOOKSERVER-KIND:group) are not contacts.
bool IsGroupCardText(const QByteArray &text);

// The card's UID, unfolded and unescaped; empty when it has none.
QString CardUid(const QByteArray &text);

// The card to upload: base (the server's last text; empty for a new card) with
// the properties that carry the contact's fields replaced by its values and
// every other line kept as it was. UID is the contact's Uid. A card keeps
// its own version (3.0 or 4.0); version is for a new card. An unchanged
// contact gives base back as it was.
QByteArray PatchServerCard(const TQorContacts &book, const QByteArray &base, const TContactData &contact,
                           TCardVersion version);

// The fields a server card carries: what a sync compares, hashes and merges.
bool IsServerCardField(const ContactField &field);

} // namespace cardolin::vcard
