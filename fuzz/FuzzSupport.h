#pragma once

#include "contacts/QorContacts.h"
#include "formats/TextFiles.h"
#include "support/Clock.h"

#include <cstdlib>
#include <ctime>


namespace cardolin::fuzz {

// A collection whose "now" never moves, so one input always runs the same way.
inline void Prepare(TQorContacts &book)
{
    static const FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    book.SetClock(clock);
}

// A zone with daylight saving time, so old local stamps meet gaps and overlaps;
// given as a rule, it needs no time zone files. The locale makes category
// sorting go through a real collation.
inline void UseBookEnvironment()
{
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    setenv("LC_ALL", "en_US.UTF-8", 1);
}

// Bytes as a reader would see them after decoding a file.
inline QString Decode(const std::uint8_t *data, std::size_t size)
{
    return textfile::DecodeText(QByteArrayView(data, qsizetype(size)));
}

} // namespace cardolin::fuzz
