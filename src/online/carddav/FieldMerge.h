#pragma once

#include "contacts/ContactData.h"
#include "contacts/ContactFields.h"

#include <QList>

#include <vector>

namespace cardolin::carddav {

// The fields a sync compares and merges: those a server card carries, less
// the Uid, which is identity and never changes hands.
const std::vector<const ContactField *> &SyncedFields();

// Fingerprint of the synced fields, to tell a contact changed since the last sync.
QByteArray SyncedFieldsHash(const TContactData &contact);
bool SameSyncedFields(const TContactData &a, const TContactData &b);
// Copies the synced fields only; the rest of dest stays.
void CopySyncedFields(const TContactData &source, TContactData &dest);

struct TFieldConflict
{
    QString field;
    QString kept;  // the server's value
    QString local; // the value lost here
};

// Three-way merge field by field into merged (which starts as anything: the
// synced fields are all set, the others left alone). A field changed on one
// side takes that side's value; changed on both to different values, the
// server's, with a conflict. Notes, categories and keywords are merged as
// whole values.
QList<TFieldConflict> MergeSyncedFields(const TContactData &base, const TContactData &local,
                                        const TContactData &server, TContactData &merged);

} // namespace cardolin::carddav
