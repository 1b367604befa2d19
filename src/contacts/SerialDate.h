#pragma once

#include <QDate>
#include <QDateTime>

namespace cardolin {

// Dates inside a record are serial day numbers: days since 1899-12-30 00:00, the
// fraction being the time of day; 0 means "not set". Before that epoch the whole
// part counts days back and the fraction still counts time forward (-1.25 is
// 1899-12-29 06:00), as every file of this kind has always been written.
using TDateTime = double;

TDateTime DateToSerial(QDate date);
TDateTime DateTimeToSerial(const QDateTime &dateTime); // the wall time as held, zone ignored
QDate SerialToDate(TDateTime serial);
// The serial read as UTC; invalid for 0 is not special-cased (0 is 1899-12-30).
QDateTime SerialToUtc(TDateTime serial);
// The same split without building a QDateTime: false where SerialToUtc is invalid.
bool SerialToUtcParts(TDateTime serial, QDate &date, int &msOfDay);

// "yyyy-MM-dd" and "yyyy-MM-ddThh:mm:ssZ"; empty for 0.
QString SerialToIsoDate(TDateTime serial);
QString SerialToIsoUtc(TDateTime serial);

} // namespace cardolin
