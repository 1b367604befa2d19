#include "formats/CsvText.h"

#include "contacts/SortedStringList.h"
#include "support/BreakApart.h"

#include <QLocale>

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

TDateTime ParseWith(const QString &text, const QString &format)
{
    return DateToSerial(QDate::fromString(text.trimmed(), format));
}

} // namespace

QString EscapeCSVQuotes(const QString &text)
{
    QString escaped = text;
    return escaped.replace(kQuote, QStringLiteral("\"\""));
}

QString QuoteCSVField(const QString &text)
{
    return kQuote + EscapeCSVQuotes(text) + kQuote;
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
    return result.replace(QStringLiteral("\"\""), QString(kQuote));
}

QString CSVShortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QString FormatCSVDate(TDateTime date)
{
    return SerialToDate(date).toString(CSVShortDateFormat());
}

TDateTime ParseCSVDate(const QString &text)
{
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
