#include "contacts/SerialDate.h"

#include <cmath>

namespace cardolin {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

TDateTime DateToSerial(QDate date)
{
    return date.isValid() ? double(kEpoch.daysTo(date)) : 0.0;
}

TDateTime DateTimeToSerial(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const double days = DateToSerial(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / kMsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

namespace {
// Splits a serial into whole days and milliseconds of the day, rounding to the
// millisecond so that 0.999999999 does not come out as 23:59:59.999 of the wrong day.
void SplitSerial(TDateTime serial, qint64 &days, qint64 &msOfDay)
{
    const double whole = std::trunc(serial);
    qint64 ms = qint64(std::llround(std::fabs(serial - whole) * kMsPerDay));
    days = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        ms -= qint64(kMsPerDay);
        days += serial < 0 ? -1 : 1;
    }
    msOfDay = ms;
}
} // namespace

QDate SerialToDate(TDateTime serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 4.0e6)
        return {};
    qint64 days = 0, ms = 0;
    SplitSerial(serial, days, ms);
    return kEpoch.addDays(days);
}

bool SerialToUtcParts(TDateTime serial, QDate &date, int &msOfDay)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 4.0e6)
        return false;
    qint64 days = 0, ms = 0;
    SplitSerial(serial, days, ms);
    date = kEpoch.addDays(days);
    msOfDay = int(ms);
    return true;
}

QDateTime SerialToUtc(TDateTime serial)
{
    QDate date;
    int ms = 0;
    if (!SerialToUtcParts(serial, date, ms))
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC);
}

QString SerialToIsoDate(TDateTime serial)
{
    if (serial == 0)
        return {};
    return SerialToDate(serial).toString(QStringLiteral("yyyy-MM-dd"));
}

QString SerialToIsoUtc(TDateTime serial)
{
    if (serial == 0)
        return {};
    const QDateTime utc = SerialToUtc(serial);
    return utc.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('T')
           + utc.time().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('Z');
}

} // namespace cardolin
