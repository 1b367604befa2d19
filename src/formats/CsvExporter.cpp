#include "contacts/QorContacts.h"
#include "formats/CsvLayout.h"
#include "formats/CsvText.h"
#include "support/UserPrompts.h"

namespace cardolin {

namespace {

const QChar kQuote = QLatin1Char('"');

// Builds the physical lines of one record: columns joined by the separator, a
// value of several lines opening a quote at the end of one physical line and
// closing it at the start of a later one.
class RecordWriter
{
public:
    RecordWriter(QStringList &lines, const QString &separator) : m_lines(lines), m_separator(separator) {}

    void Add(const QString &text)
    {
        if (!m_first)
            m_row += m_separator;
        m_row += text;
        m_first = false;
    }
    // Lines already escaped; at least two.
    void AddSpanning(const QStringList &lines)
    {
        Add(kQuote + lines.first());
        m_lines.append(m_row);
        for (qsizetype i = 1; i + 1 < lines.size(); ++i)
            m_lines.append(lines[i]);
        m_row = lines.last() + kQuote;
    }
    void Finish() { m_lines.append(m_row); }

private:
    QStringList &m_lines;
    const QString &m_separator;
    QString m_row;
    bool m_first = true;
};

struct ExportContext
{
    const TQorContacts &contacts;
    const CsvLayout &layout;
    const TContactData &contact;
};

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// A physical line ends at CR, LF or both, wherever they stand; a value must not
// end it early.
QStringList BreakLines(const QString &text)
{
    if (!HasLineBreak(text))
        return {text};
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

// A value of one field keeps its line breaks as line-join markers.
QString OneLine(const QString &text)
{
    return HasLineBreak(text) ? BreakLines(text).join(kLineJoinMarker) : text;
}

QString Quoted(const ExportContext &x, const CsvColumn &column, const QString &text)
{
    const QString value = OneLine(text);
    const CsvQuote quote = column.quote == CsvQuote::Layout ? x.layout.dataQuote : column.quote;
    switch (quote) {
    case CsvQuote::Layout:
    case CsvQuote::None:
        return value;
    case CsvQuote::Always:
        return QuoteCSVField(value);
    case CsvQuote::NonEmpty:
        return value.isEmpty() ? value : QuoteCSVField(value);
    case CsvQuote::IfContains:
        return value.contains(x.layout.separator) || value.contains(kQuote) ? QuoteCSVField(value) : value;
    }
    return value;
}

QStringList EscapedLines(const QStringList &lines)
{
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString &line : lines)
        for (const QString &piece : BreakLines(line))
            escaped.append(EscapeCSVQuotes(piece));
    return escaped;
}

// A street's lines are ";"-separated, but one typed in a dialog may hold real
// line breaks as well.
QStringList StreetLines(const QString &street)
{
    QStringList lines;
    for (const QString &part : street.split(QLatin1Char(';')))
        lines += BreakLines(part);
    return lines;
}

QString CityLine(const TContactData &c, const CsvAddress &a)
{
    const QString &city = c.*a.city, &state = c.*a.state, &postal = c.*a.postalCode;
    const QChar blank = QLatin1Char(' ');
    if (!state.isEmpty())
        return (city.isEmpty() ? QString() : city + QStringLiteral(", ")) + state
               + (postal.isEmpty() ? QString() : blank + postal);
    if (!postal.isEmpty())
        return postal + (city.isEmpty() ? QString() : blank + city);
    return city;
}

// Street lines, post-office box, city line and country, one physical line each.
QStringList AddressLines(const TContactData &c, const CsvAddress &a)
{
    if (!HasAddress(c, a))
        return {};
    QStringList lines = StreetLines(c.*a.street);
    if (!(c.*a.poBox).isEmpty())
        lines.append(OneLine(c.*a.poBox));
    if (const QString city = OneLine(CityLine(c, a)); !city.isEmpty())
        lines.append(city);
    lines.append(OneLine(c.*a.country));
    return EscapedLines(lines);
}

QString JoinedList(const TSortedStringList &list, QStringView separator)
{
    return list.Entries().join(separator);
}

QString FirstOf(const TContactData &c, const CsvColumn &column)
{
    for (auto field : {column.text, column.text2, column.text3})
        if (field && !(c.*field).isEmpty())
            return c.*field;
    return {};
}

bool IsSet(const TContactData &c, const CsvColumn &column)
{
    if (column.address)
        return HasAddress(c, *column.address);
    return column.date ? c.*column.date != 0 : !(c.*column.text).isEmpty();
}

QString TypeStar(const TContactData &c, const CsvColumn &column)
{
    const bool star = !column.arg2.isEmpty() && c.Preferred == column.arg2;
    return (star ? QStringLiteral("* ") : QString()) + column.arg.toString();
}

QString ColumnText(const ExportContext &x, const CsvColumn &column)
{
    const TContactData &c = x.contact;
    switch (column.out) {
    case CsvOut::Empty:
        return x.layout.emptyText;
    case CsvOut::Text:
        return Quoted(x, column, c.*column.text);
    case CsvOut::Const:
        return column.arg.toString();
    case CsvOut::ConstIfSet:
        return IsSet(c, column) ? column.arg.toString() : QString();
    case CsvOut::FirstOf:
        return Quoted(x, column, FirstOf(c, column));
    case CsvOut::StreetLine:
        return Quoted(x, column, StreetLines(c.*column.text).value(column.index));
    case CsvOut::Date:
        return Quoted(x, column, c.*column.date ? FormatCSVDate(c.*column.date) : column.arg.toString());
    case CsvOut::IsoDate:
        return Quoted(x, column, SerialToIsoDate(c.*column.date));
    case CsvOut::List:
        return Quoted(x, column, JoinedList(c.*column.list, column.arg));
    case CsvOut::FirstOfList:
        return Quoted(x, column, (c.*column.list).IsEmpty() ? QString() : (c.*column.list)[0]);
    case CsvOut::TypeStar:
        return TypeStar(c, column);
    case CsvOut::Label:
        return IsSet(c, column) ? TypeStar(c, column) : QString();
    case CsvOut::EmailType:
        return (c.*column.text).isEmpty() ? QString() : QStringLiteral("\"SMTP\"");
    case CsvOut::EmailName:
        if ((c.*column.text).isEmpty())
            return {};
        return QuoteCSVField(OneLine(x.contacts.GetDisplayNameFromContactData(&c, dtInherited) + QStringLiteral(" (")
                                     + c.*column.text + QLatin1Char(')')));
    case CsvOut::Computed:
        return Quoted(x, column, column.compute(x.contacts, c, column));
    case CsvOut::Street:
    case CsvOut::Notes:
    case CsvOut::NotesBlock:
    case CsvOut::Address:
        break; // written by WriteColumn
    }
    return {};
}

void WriteColumn(RecordWriter &writer, const ExportContext &x, const CsvColumn &column)
{
    const TContactData &c = x.contact;
    switch (column.out) {
    case CsvOut::Street:
        if (const QStringList lines = StreetLines(c.*column.text); lines.size() > 1)
            return writer.AddSpanning(EscapedLines(lines));
        return writer.Add(Quoted(x, column, c.*column.text));
    case CsvOut::Notes:
        if (const QStringList lines = EscapedLines(c.Notes); lines.size() > 1)
            return writer.AddSpanning(lines);
        return writer.Add(Quoted(x, column, c.Notes.value(0)));
    case CsvOut::NotesBlock: {
        QStringList lines = c.Notes.isEmpty() ? QStringList{QString()} : EscapedLines(c.Notes);
        lines.append(QString());
        return writer.AddSpanning(lines);
    }
    case CsvOut::Address:
        if (const QStringList lines = AddressLines(c, *column.address); !lines.isEmpty())
            return writer.AddSpanning(lines);
        return writer.Add(QString());
    default:
        return writer.Add(ColumnText(x, column));
    }
}

} // namespace

bool HasAddress(const TContactData &c, const CsvAddress &a)
{
    return !(c.*a.street).isEmpty() || !(c.*a.poBox).isEmpty() || !(c.*a.city).isEmpty() || !(c.*a.state).isEmpty()
           || !(c.*a.postalCode).isEmpty() || !(c.*a.country).isEmpty();
}

int ExportCSVLayout(TQorContacts &contacts, const QString &path, const CsvLayout &layout)
{
    BusyCursor busy(contacts.Prompts());
    QStringList lines{layout.Header()};
    const TContactDataList &list = contacts.ContactDataList();
    const int last = int(list.size()) - 1;
    int written = 0;
    for (int i = 0; i <= last; ++i) {
        contacts.ReportProgress(0, last, i);
        const TContactData &contact = *list[i];
        if (!contact.Exportable)
            continue;
        RecordWriter writer(lines, layout.separator);
        const ExportContext context{contacts, layout, contact};
        for (const CsvColumn &column : layout.columns)
            WriteColumn(writer, context, column);
        writer.Finish();
        ++written;
    }
    if (!WriteCSVLines(path, lines, layout.encoding)) {
        contacts.Prompts().ShowError(QStringLiteral("Cannot save \"%1\".").arg(path));
        return 0;
    }
    return written;
}

} // namespace cardolin
