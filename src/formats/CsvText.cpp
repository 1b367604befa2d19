#include "formats/CsvText.h"

#include "contacts/SortedStringList.h"
#include "support/BreakApart.h"

#include <QLocale>

#include <algorithm>
#include <optional>

namespace cardolin {

namespace {

const QChar kQuote = QLatin1Char('"');

QStringList SplitKeepingEmpty(const QString &text, const QString &separator, bool allowEmpty)
{
    TQorBreakApart splitter;
    splitter.SetBreakString(separator);
    splitter.SetAllowEmptyString(allowEmpty);
    splitter.SetBaseString(text);
    splitter.BreakApart();
    return splitter.StringList();
}

// The first character of the format that is not part of a date section.
QChar DateSeparator(const QString &format)
{
    for (QChar c : format)
        if (!c.isLetter())
            return c;
    return QLatin1Char('/');
}

// Reads one number of a date: up to two digits for a day or month ("d", "dd",
// "M", "MM"), exactly two or four for a year.
bool ReadNumber(QStringView text, qsizetype &at, QChar section, qsizetype width, int &value)
{
    const qsizetype most = section == QLatin1Char('y') ? width : 2;
    const qsizetype least = section == QLatin1Char('y') ? width : 1;
    qsizetype digits = 0;
    value = 0;
    while (digits < most && at < text.size() && text[at].isDigit() && text[at].unicode() < 128) {
        value = value * 10 + (text[at].unicode() - '0');
        ++at;
        ++digits;
    }
    return digits >= least;
}

// Numeric short formats ("M/d/yyyy", "dd.MM.yyyy", "yyyy/MM/dd") are read here:
// Qt's general parser reads its format again for every date, which is too slow
// for a hundred thousand records. Empty for a format with month or day names.
std::optional<QDate> ReadNumericDate(QStringView text, QStringView format)
{
    int parts[3] = {0, 0, 0}; // year, month, day
    qsizetype at = 0;
    for (qsizetype f = 0; f < format.size();) {
        const QChar c = format[f];
        qsizetype width = 1;
        while (f + width < format.size() && format[f + width] == c)
            ++width;
        const int slot = c == QLatin1Char('y') ? 0 : c == QLatin1Char('M') ? 1 : c == QLatin1Char('d') ? 2 : -1;
        if (slot < 0) {
            if (c.isLetter() || c == QLatin1Char('\''))
                return std::nullopt;
            for (qsizetype i = 0; i < width; ++i, ++at)
                if (at >= text.size() || text[at] != c)
                    return QDate();
        } else {
            if ((slot == 0 && width != 2 && width != 4) || (slot > 0 && width > 2))
                return std::nullopt;
            if (!ReadNumber(text, at, c, width, parts[slot]))
                return QDate();
            if (slot == 0 && width == 2)
                parts[0] += 1900;
        }
        f += width;
    }
    return at == text.size() ? QDate(parts[0], parts[1], parts[2]) : QDate();
}

TDateTime ParseWith(const QString &text, const QString &format)
{
    const QString trimmed = text.trimmed();
    if (const std::optional<QDate> date = ReadNumericDate(trimmed, format))
        return DateToSerial(*date);
    return DateToSerial(QDate::fromString(trimmed, format));
}

// No date is written with zeroes alone ("0/0/00" stands for none).
bool MayBeDate(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });
}

} // namespace

QString EscapeCSVQuotes(const QString &text)
{
    if (!text.contains(kQuote))
        return text;
    QString escaped = text;
    return escaped.replace(kQuote, QStringLiteral("\"\""));
}

QString QuoteCSVField(const QString &text)
{
    const QString escaped = EscapeCSVQuotes(text);
    QString quoted;
    quoted.reserve(escaped.size() + 2);
    quoted += kQuote;
    quoted += escaped;
    quoted += kQuote;
    return quoted;
}

QString QuoteCSVFieldIfContains(const QString &text, const QString &separator)
{
    return text.contains(separator) ? QuoteCSVField(text) : text;
}

QString UnquoteCSVField(const QString &text)
{
    QString result = text;
    if (result.size() >= 2 && result.front() == result.back()
        && (result.front() == kQuote || result.front() == QLatin1Char('\'')))
        result = result.mid(1, result.size() - 2);
    if (!result.contains(QLatin1StringView("\"\"")))
        return result;
    return result.replace(QStringLiteral("\"\""), QString(kQuote));
}

QString CSVShortDateFormat()
{
    // Asked once per locale: the lookup costs more than reading a date.
    static thread_local QLocale locale(QLocale::C);
    static thread_local QString format;
    if (format.isEmpty() || QLocale() != locale) {
        locale = QLocale();
        format = locale.dateFormat(QLocale::ShortFormat);
        if (!format.contains(QStringLiteral("yyyy")))
            format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    }
    return format;
}

QString FormatCSVDate(TDateTime date)
{
    return SerialToDate(date).toString(CSVShortDateFormat());
}

TDateTime ParseCSVDate(const QString &text)
{
    if (!MayBeDate(text))
        return 0;
    const QString system = CSVShortDateFormat();
    if (const TDateTime date = ParseWith(text, system))
        return date;
    // Files written under the system's own two-digit format still read.
    const QString narrow = QLocale().dateFormat(QLocale::ShortFormat);
    if (narrow != system)
        if (const TDateTime date = ParseWith(text, narrow))
            return date;
    const QString sep = DateSeparator(system);
    const QString dayFirst = QStringLiteral("dd") + sep + QStringLiteral("MM") + sep + QStringLiteral("yyyy");
    const QString monthFirst = QStringLiteral("MM") + sep + QStringLiteral("dd") + sep + QStringLiteral("yyyy");
    return ParseWith(text, system == dayFirst ? monthFirst : dayFirst);
}

QString StreetFromCSV(const QString &value)
{
    QString street = value;
    return street.replace(kLineJoinMarker, QLatin1Char(';'));
}

QStringList NotesFromCSV(QString value, bool dropTrailingMarker)
{
    if (dropTrailingMarker && value.endsWith(kLineJoinMarker))
        value.chop(1);
    return value.split(kLineJoinMarker);
}

QString AppendSeparatedValue(const QString &row, const QString &value, const QString &separator, bool allowEmpty,
                             bool append)
{
    if (value.isEmpty()) {
        if (!allowEmpty)
            return row;
        if (append || !SplitKeepingEmpty(row, separator, true).contains(QString()))
            return row + separator;
        return row;
    }
    if (append)
        return row.isEmpty() ? value : row + separator + value;
    const QStringList present = SplitKeepingEmpty(row, separator, allowEmpty);
    QString result = row;
    QStringList seen = present;
    for (const QString &piece : SplitKeepingEmpty(value, separator, allowEmpty)) {
        const bool known = std::any_of(seen.cbegin(), seen.cend(), [&](const QString &entry) {
            return QString::localeAwareCompare(entry.toLower(), piece.toLower()) == 0;
        });
        if (known)
            continue;
        result = result.isEmpty() ? piece : result + separator + piece;
        seen.append(piece);
    }
    return result;
}

void AddSplitStrings(const QString &text, const QString &separator, TSortedStringList &target)
{
    for (const QString &piece : SplitKeepingEmpty(text, separator, false))
        target.Add(piece);
}

void MergeIntoList(const QStringList &source, QStringList &target)
{
    for (const QString &entry : source)
        if (!entry.isEmpty() && !target.contains(entry))
            target.append(entry);
}

} // namespace cardolin
