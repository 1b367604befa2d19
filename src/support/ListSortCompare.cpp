#include "support/ListSortCompare.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace cardolin {

namespace {

using namespace Qt::StringLiterals;

QChar FirstNonLetter(const QString &format)
{
    for (QChar c : format)
        if (!c.isLetter())
            return c;
    return QChar();
}

// A short format with a two-digit year, widened so that "3/15/2024" reads too.
QString WithLongYear(const QString &format)
{
    if (format.contains(u"yyyy"_s) || !format.contains(u"yy"_s))
        return QString();
    QString wide = format;
    return wide.replace(u"yy"_s, u"yyyy"_s);
}

// Long time formats end in a zone name that typed texts never carry.
QString WithoutZone(const QString &format)
{
    QString trimmed = format;
    if (trimmed.endsWith(u" t"_s))
        trimmed.chop(2);
    return trimmed;
}

void AddUnique(QStringList &list, const QString &format)
{
    if (!format.isEmpty() && !list.contains(format))
        list.append(format);
}

// The formats a locale reads dates and times in, built once per locale.
struct TDateFormats
{
    QLocale Locale;
    QChar DateSeparator;
    QChar TimeSeparator;
    QStringList Dates;
    QStringList TwoDigitYearDates; // subset of Dates
    QStringList Times;
    QStringList DateTimes;
};

TDateFormats BuildDateFormats(const QLocale &locale)
{
    TDateFormats f;
    f.Locale = locale;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    f.DateSeparator = FirstNonLetter(shortDate);
    f.TimeSeparator = FirstNonLetter(shortTime);

    AddUnique(f.Dates, shortDate);
    AddUnique(f.Dates, WithLongYear(shortDate));
    AddUnique(f.Dates, locale.dateFormat(QLocale::LongFormat));
    for (const QString &format : std::as_const(f.Dates))
        if (format.contains(u"yy"_s) && !format.contains(u"yyyy"_s))
            f.TwoDigitYearDates.append(format);

    AddUnique(f.Times, shortTime);
    AddUnique(f.Times, WithoutZone(locale.timeFormat(QLocale::LongFormat)));
    AddUnique(f.Times, locale.timeFormat(QLocale::LongFormat));
    // People type 24-hour times even where the locale shows AM/PM.
    const QString sep = f.TimeSeparator.isNull() ? u":"_s : QString(f.TimeSeparator);
    AddUnique(f.Times, u"H"_s + sep + u"mm"_s);
    AddUnique(f.Times, u"H"_s + sep + u"mm"_s + sep + u"ss"_s);

    for (const QString &date : std::as_const(f.Dates))
        for (const QString &time : std::as_const(f.Times))
            f.DateTimes.append(date + u' ' + time);
    return f;
}

const TDateFormats &DateFormatsFor(const QLocale &locale)
{
    thread_local TDateFormats cached = BuildDateFormats(locale);
    if (!(cached.Locale == locale))
        cached = BuildDateFormats(locale);
    return cached;
}

// Qt reads "yy" as 19yy; a list of recent records means 20yy for the lower half.
QDate WidenTwoDigitYear(QDate date, const QString &format, const TDateFormats &f)
{
    if (date.isValid() && date.year() < 1950 && f.TwoDigitYearDates.contains(format))
        return date.addYears(100);
    return date;
}

double DaysSinceEpoch(const QDateTime &dateTime)
{
    static const QDate epoch(1899, 12, 30);
    return double(epoch.daysTo(dateTime.date())) + dateTime.time().msecsSinceStartOfDay() / 86400000.0;
}

bool ParseDateTime(const QString &text, const TDateFormats &f, QDateTime &result)
{
    for (qsizetype i = 0; i < f.DateTimes.size(); ++i) {
        QDateTime value = f.Locale.toDateTime(text, f.DateTimes[i]);
        if (value.isValid()) {
            const QString &dateFormat = f.Dates[i / f.Times.size()];
            result = QDateTime(WidenTwoDigitYear(value.date(), dateFormat, f), value.time());
            return true;
        }
    }
    return false;
}

bool ParseDate(const QString &text, const TDateFormats &f, QDateTime &result)
{
    for (const QString &format : f.Dates) {
        QDate value = f.Locale.toDate(text, format);
        if (value.isValid()) {
            result = QDateTime(WidenTwoDigitYear(value, format, f), QTime(0, 0));
            return true;
        }
    }
    return false;
}

bool ParseTime(const QString &text, const TDateFormats &f, QDateTime &result)
{
    for (const QString &format : f.Times) {
        QTime value = f.Locale.toTime(text, format);
        if (value.isValid()) {
            result = QDateTime(QDate(1899, 12, 30), value);
            return true;
        }
    }
    return false;
}

bool IsPlainDecimal(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - start;
    };
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && text[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

bool ReadPlainDecimal(const QString &text, double &value)
{
    if (!IsPlainDecimal(text))
        return false;
    bool ok = false;
    const double read = text.toDouble(&ok);
    if (ok)
        value = read;
    return ok;
}

template <typename T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

bool ReadListDate(const QString &text, const QLocale &locale, double &value)
{
    const TDateFormats &f = DateFormatsFor(locale);
    const qsizetype d = f.DateSeparator.isNull() ? 0 : text.count(f.DateSeparator);
    const qsizetype t = f.TimeSeparator.isNull() ? 0 : text.count(f.TimeSeparator);
    const qsizetype length = text.size();
    const bool timeCount = t == 1 || t == 2;

    QDateTime read;
    bool ok = false;
    if (d == 2 && timeCount && length <= 22)
        ok = ParseDateTime(text, f, read);
    else if (d == 2 && length <= 10)
        ok = ParseDate(text, f, read);
    else if (timeCount && length <= 11)
        ok = ParseTime(text, f, read);
    if (!ok)
        return false;
    // The epoch itself doubles as "no date", so a bare midnight is no time either.
    const double days = DaysSinceEpoch(read);
    if (days == 0)
        return false;
    value = days;
    return true;
}

bool ReadListNumber(const QString &text, const QLocale &locale, double &value)
{
    if (ReadPlainDecimal(text, value))
        return true;
    QString local = text;
    const QString group = locale.groupSeparator();
    if (!group.isEmpty())
        local.remove(group);
    const QString point = locale.decimalPoint();
    if (!point.isEmpty() && point != u"."_s)
        local.replace(point, u"."_s);
    return local != text && ReadPlainDecimal(local, value);
}

bool ReadListIPv4(const QString &text, qint64 &value)
{
    if (text.size() < 7 || text.size() > 15 || text.count(u'.') != 3)
        return false;
    qint64 total = 0;
    int octet = -1; // -1 while the current octet has no digit yet
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'.') {
            if (octet < 0)
                return false;
            total = total * 1000 + octet;
            octet = -1;
        } else if (text[i] >= u'0' && text[i] <= u'9') {
            octet = (octet < 0 ? 0 : octet * 10) + (text[i].unicode() - u'0');
            if (octet > 255)
                return false;
        } else {
            return false;
        }
    }
    if (total == 0)
        return false;
    value = total;
    return true;
}

QLocale CollationLocale(const QLocale &locale)
{
    // English has no tailoring of its own, so its rules are the root rules.
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QCollator MakeListCollator(const QLocale &locale)
{
    QCollator collator(CollationLocale(locale));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

TListSortKey MakeListSortKey(const QString &text, const QLocale &locale, const QCollator &collator)
{
    TListSortKey key(collator.sortKey(text));
    key.IsDate = ReadListDate(text, locale, key.DateValue);
    key.IsNumber = ReadListNumber(text, locale, key.Number);
    key.IsIPv4 = ReadListIPv4(text, key.IP);
    return key;
}

int CompareListSortKeys(const TListSortKey &a, const TListSortKey &b)
{
    if (a.IsDate && b.IsDate)
        return Sign(a.DateValue, b.DateValue);
    if (a.IsNumber && b.IsNumber)
        return Sign(a.Number, b.Number);
    if (a.IsIPv4 && b.IsIPv4)
        return Sign(a.IP, b.IP);
    return Sign(a.CollationKey.compare(b.CollationKey), 0);
}

int CompareListTexts(const QString &a, const QString &b, const QLocale &locale)
{
    const QCollator collator = MakeListCollator(locale);
    return CompareListSortKeys(MakeListSortKey(a, locale, collator), MakeListSortKey(b, locale, collator));
}

} // namespace cardolin
