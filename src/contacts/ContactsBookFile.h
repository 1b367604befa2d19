#pragma once

#include <QString>

class QIODevice;

namespace cardolin {

class TQorContacts;

// The contacts book: one XML element per contact, every stored field an attribute.
namespace bookfile {

// Writes the whole collection; false when the device fails.
bool Write(const TQorContacts &contacts, QIODevice &device);

// Which reader parses a book. Books laid out as Write lays them out have a fast
// reader of their own; any other document, and any fault, goes to the general one,
// so both give the same result.
enum class Reader { Fastest, General, ShapedOnly };

// Appends the contacts of the document to the collection (and new categories and
// keywords to its vocabularies). On a fault it stops, leaves the records read so
// far, and says why in error. ShapedOnly answers false with no error and reads
// nothing for a document the fast reader does not take.
bool Read(QIODevice &device, TQorContacts &contacts, QString &error, Reader reader = Reader::Fastest);

// Replaces the collection's records with the book's when the whole book reads;
// on any fault (a bound passed included) the collection stays as it was.
bool Load(QIODevice &device, TQorContacts &contacts, QString &error);

// A UTC stamp as books write it, "yyyymmddThhnnssZ" or "yyyy-mm-ddThh:mm:ssZ".
bool ParseUtcStampText(QStringView text, double &value);

} // namespace bookfile
} // namespace cardolin
