#pragma once

// The pieces the book's writer and its two readers share; not for other callers.

#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

namespace cardolin::bookfile::parts {

inline constexpr size_t kStoredCount = 77;
using StoredFields = std::array<const ContactField *, kStoredCount>;

// The stored fields in the order a book writes them.
const StoredFields &Stored();
// Their names as UTF-16 and as Latin-1 bytes, in the same order.
const QStringList &StoredNames();
const std::array<QByteArray, kStoredCount> &StoredNameBytes();

inline const QString kContactElement = QStringLiteral("QorContact");
inline constexpr char16_t kNotesSeparator = u'\u00A4'; // "¤"
inline constexpr char16_t kListSeparator = u';';

// Records between two reports of progress on large books.
inline constexpr int kProgressStep = 2048;

// Gives one field the value of its attribute, or what a missing attribute means.
// A date, stamp or number that does not parse leaves why set and answers false.
bool AssignField(const ContactField &field, bool present, QStringView value, TContactData &contact, QString &why);

bool ParseUtcStamp(QStringView text, TDateTime &value);

// What a reader hands back: the records in file order, and on a fault why it
// stopped (the records read before it stay).
struct ReadResult
{
    TContactDataList records;
    QString error;
    bool ok = false;
};

using NewRecord = std::function<std::unique_ptr<TContactData>()>;
using Progress = std::function<void(qint64 done, qint64 total)>;

// Any well-formed XML, through QXmlStreamReader.
ReadResult ReadGeneral(const QByteArray &bytes, const NewRecord &newRecord, const Progress &progress);

// Only books laid out the way Write lays them out; false (and nothing read) for
// anything else, including every fault, so that the general reader can say what
// is wrong.
bool ReadShaped(const QByteArray &bytes, const TContactData &prototype, TContactDataList &records,
                const Progress &progress);

// The limits every book must keep, checked in one cheap pass before parsing;
// empty when the bytes keep them.
QString CheckBounds(QByteArrayView bytes);

} // namespace cardolin::bookfile::parts
