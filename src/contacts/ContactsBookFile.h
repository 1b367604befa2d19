#pragma once

#include <QString>

class QIODevice;

namespace cardolin {

class TQorContacts;

// The contacts book: one XML element per contact, every stored field an attribute.
namespace bookfile {

// Writes the whole collection; false when the device fails.
bool Write(const TQorContacts &contacts, QIODevice &device);

// Replaces nothing by itself: appends the contacts of the document to the
// collection (and new categories and keywords to its vocabularies). On a fault it
// stops, leaves the records read so far, and says why in error.
bool Read(QIODevice &device, TQorContacts &contacts, QString &error);

// A UTC stamp as books write it, "yyyymmddThhnnssZ" or "yyyy-mm-ddThh:mm:ssZ".
bool ParseUtcStampText(QStringView text, double &value);

} // namespace bookfile
} // namespace cardolin
