#pragma once

#include "contacts/QorContacts.h"
#include "formats/TextFiles.h"
#include "support/Clock.h"


namespace cardolin::fuzz {

// A collection whose "now" never moves, so one input always runs the same way.
inline void Prepare(TQorContacts &book)
{
    static const FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    book.SetClock(clock);
}

// Bytes as a reader would see them after decoding a file.
inline QString Decode(const std::uint8_t *data, std::size_t size)
{
    return textfile::DecodeText(QByteArrayView(data, qsizetype(size)));
}

} // namespace cardolin::fuzz
