#include "contacts/BookFileParts.h"

namespace cardolin::bookfile::parts {

namespace {

// The stored fields in the order a book writes them: the record's order without
// the transient fields, except that Initials comes before Nickname and Uid,
// added later, comes last.
constexpr std::array<const char *, kStoredCount> kStoredFieldNames{
    "Title", "FirstName", "MiddleName", "LastName", "Suffix", "Initials", "Nickname", "Language",
    "Preferred", "LastVisit", "VisitCount", "Company", "Department", "JobTitle", "Role", "WorkStreet",
    "WorkPOBox", "WorkCity", "WorkPostalCode", "WorkStateProvince", "WorkCountryRegion",
    "WorkCoordinates", "WorkCoordinatesUpdated", "WorkPhone", "WorkFax", "WorkMobilePhone", "WorkPager",
    "WorkEmail", "WorkIM", "WorkWebsite", "WorkLocation", "HomeStreet", "HomePOBox", "HomeCity",
    "HomePostalCode", "HomeStateProvince", "HomeCountryRegion", "HomeCoordinates",
    "HomeCoordinatesUpdated", "HomePhone", "HomeFax", "PersonalMobilePhone", "PersonalPager",
    "PersonalEmail", "PersonalIM", "PersonalWebsite", "HomeLocation", "Gender", "Birthday",
    "SignificantOther", "Anniversary", "OtherStreet", "OtherPOBox", "OtherCity", "OtherPostalCode",
    "OtherStateProvince", "OtherCountryRegion", "OtherCoordinates", "OtherCoordinatesUpdated",
    "OtherPhone", "OtherFax", "OtherMobilePhone", "OtherPager", "OtherEmail", "OtherIM", "OtherWebsite",
    "OtherLocation", "Notes", "Categories", "Keywords", "Priority", "Sensitivity", "Created", "Modified",
    "Accessed", "Synced", "Uid"};

bool ToNumber(QStringView digits, int &value)
{
    // Digits only, read in one pass; nine of them cannot overflow.
    if (digits.isEmpty() || digits.size() > 9)
        return false;
    value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

// Books write four-digit years; anything outside could not be read back.
bool InWrittenRange(QDate date)
{
    return date.year() >= 1 && date.year() <= 9999;
}

// "yyyy-m-d": three numbers joined by hyphens.
bool ParseHyphenDate(QStringView text, QDate &date)
{
    const auto parts = text.split(u'-');
    int y = 0, m = 0, d = 0;
    if (parts.size() != 3 || !ToNumber(parts[0], y) || !ToNumber(parts[1], m) || !ToNumber(parts[2], d))
        return false;
    date = QDate(y, m, d);
    return date.isValid() && InWrittenRange(date);
}

bool ParseFixedDate(QStringView text, QDate &date)
{
    // "yyyymmdd" or "yyyy-mm-dd", read by position.
    const qsizetype hyphens = text.count(u'-');
    int y = 0, m = 0, d = 0;
    bool ok = false;
    if (hyphens == 0)
        ok = ToNumber(text.mid(0, 4), y) && ToNumber(text.mid(4, 2), m) && ToNumber(text.mid(6, 2), d);
    else if (hyphens == 2)
        ok = ToNumber(text.mid(0, 4), y) && ToNumber(text.mid(5, 2), m) && ToNumber(text.mid(8, 2), d);
    date = QDate(y, m, d);
    return ok && date.isValid() && y >= 1;
}

bool ParseFixedTime(QStringView text, QTime &time)
{
    // "hhnnss" or "hh:nn:ss", read by position.
    const qsizetype colons = text.count(u':');
    int h = 0, n = 0, s = 0;
    bool ok = false;
    if (colons == 0)
        ok = ToNumber(text.mid(0, 2), h) && ToNumber(text.mid(2, 2), n) && ToNumber(text.mid(4, 2), s);
    else if (colons == 2)
        ok = ToNumber(text.mid(0, 2), h) && ToNumber(text.mid(3, 2), n) && ToNumber(text.mid(6, 2), s);
    time = QTime(h, n, s);
    return ok && time.isValid();
}

// Older books wrote local time as "2020-01-02 03:04:05". It is turned into UTC with
// the offset that applied at that moment, so a summer stamp read in winter does
// not shift by an hour.
bool ParseLegacyLocalStamp(QStringView text, TDateTime &value)
{
    const auto parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    QDate date;
    if (!ParseHyphenDate(parts[0], date))
        return false;
    QTime time(0, 0);
    if (parts.size() == 2) {
        const auto hms = parts[1].split(u':');
        int h = 0, n = 0, s = 0;
        if (hms.size() != 3 || !ToNumber(hms[0], h) || !ToNumber(hms[1], n) || !ToNumber(hms[2], s))
            return false;
        time = QTime(h, n, s);
        if (!time.isValid())
            return false;
    }
    QDateTime utc = QDateTime(date, time, Qt::LocalTime).toUTC();
    // When the clocks go back an hour happens twice, and which one the C library
    // picks depends on the conversions before; the first one is always taken.
    for (const int back : {3600, 1800}) {
        const QDateTime earlier = utc.addSecs(-back);
        const QDateTime shown = earlier.toLocalTime();
        if (utc.isValid() && shown.date() == date && shown.time() == time)
            utc = earlier;
    }
    if (!utc.isValid() || !InWrittenRange(utc.date()))
        return false;
    value = DateTimeToSerial(utc);
    return true;
}

bool ParseStamp(QStringView text, TDateTime &value)
{
    return text.contains(u'Z') ? ParseUtcStamp(text, value) : ParseLegacyLocalStamp(text, value);
}

bool BadValue(const ContactField &field, QStringView value, const QString &what, QString &why)
{
    why = QStringLiteral("%1 \"%2\" %3").arg(field.name, value.left(100), what);
    return false;
}

} // namespace

const StoredFields &Stored()
{
    static const StoredFields fields = [] {
        StoredFields result{};
        for (size_t i = 0; i < kStoredFieldNames.size(); ++i)
            result[i] = FindContactField(QString::fromLatin1(kStoredFieldNames[i]));
        return result;
    }();
    return fields;
}

const QStringList &StoredNames()
{
    static const QStringList names = [] {
        QStringList result;
        for (const char *name : kStoredFieldNames)
            result.append(QString::fromLatin1(name));
        return result;
    }();
    return names;
}

const std::array<QByteArray, kStoredCount> &StoredNameBytes()
{
    static const std::array<QByteArray, kStoredCount> names = [] {
        std::array<QByteArray, kStoredCount> result;
        for (size_t i = 0; i < kStoredCount; ++i)
            result[i] = QByteArray(kStoredFieldNames[i]);
        return result;
    }();
    return names;
}

// "2020-01-02T03:04:05Z" or "20200102T030405Z", in UTC.
bool ParseUtcStamp(QStringView text, TDateTime &value)
{
    const qsizetype z = text.indexOf(u'Z');
    const qsizetype t = text.indexOf(u'T');
    const QStringView datePart = t >= 0 ? text.left(t) : text.left(z);
    const QStringView timePart = t >= 0 && t < z ? text.mid(t + 1, z - t - 1) : QStringView();
    if (t > z)
        return false;
    double days = 0;
    if (!datePart.isEmpty()) {
        QDate date;
        if (!ParseFixedDate(datePart, date))
            return false;
        days = DateToSerial(date);
    }
    QTime time(0, 0);
    if (!timePart.isEmpty() && !ParseFixedTime(timePart, time))
        return false;
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    value = days < 0 ? days - fraction : days + fraction;
    return true;
}

bool AssignField(const ContactField &field, bool present, QStringView value, TContactData &contact, QString &why)
{
    switch (field.kind) {
    case FieldKind::Text:
        FieldRef<QString>(contact, field) = value.toString();
        return true;
    case FieldKind::Lines:
        FieldRef<QStringList>(contact, field) = value.toString().split(QChar(kNotesSeparator));
        return true;
    case FieldKind::SortedList: {
        auto &list = FieldRef<TSortedStringList>(contact, field);
        list.Clear();
        for (QStringView piece : value.split(QChar(kListSeparator)))
            list.Add(piece.toString());
        return true;
    }
    default:
        break;
    }
    if (!present || value.isEmpty())
        return true; // the record keeps what CreateContactData gave it
    switch (field.kind) {
    case FieldKind::Date: {
        QDate date;
        if (!ParseHyphenDate(value, date))
            return BadValue(field, value, QStringLiteral("is not a date"), why);
        FieldRef<TDateTime>(contact, field) = DateToSerial(date);
        return true;
    }
    case FieldKind::DateTime:
        if (!ParseStamp(value, FieldRef<TDateTime>(contact, field)))
            return BadValue(field, value, QStringLiteral("is not a time stamp"), why);
        return true;
    case FieldKind::Integer: {
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        if (!ok)
            return BadValue(field, value, QStringLiteral("is not a whole number"), why);
        FieldRef<int>(contact, field) = number;
        return true;
    }
    default:
        return true;
    }
}

} // namespace cardolin::bookfile::parts
