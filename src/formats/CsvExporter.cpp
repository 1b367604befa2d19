#include "contacts/QorContacts.h"
#include "formats/CsvLayout.h"
#include "formats/CsvText.h"
#include "support/UserPrompts.h"

namespace cardolin {

namespace {

const QChar kQuote = QLatin1Char('"');
constexpr int kSampleRecords = 64;

// Writes the physical lines of one record into the file's text: columns joined by
// the separator, a value of several lines opening a quote at the end of one
// physical line and closing it at the start of a later one.
class RecordWriter
{
public:
    RecordWriter(QString &out, QStringView separator) : m_out(out), m_separator(separator) {}

    // The text to append the next column's text to.
    QString &Next()
    {
        if (!m_first)
            m_out += m_separator;
        m_first = false;
        return m_out;
    }
    void Add(QStringView text) { Next() += text; }
    // Lines already escaped; at least two.
    void AddSpanning(const QStringList &lines)
    {
        Next() += kQuote;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            m_out += lines[i];
            m_out += kLineEnd;
        }
        m_out += lines.last();
        m_out += kQuote;
    }
    void Finish() { m_out += kLineEnd; }

    static constexpr QLatin1StringView kLineEnd{"\r\n"};

private:
    QString &m_out;
    QStringView m_separator;
    bool m_first = true;
};

struct ExportContext
{
    const TQorContacts &contacts;
    const CsvLayout &layout;
    const TContactData &contact;
};

bool HasLineBreak(QStringView text)
{
    for (QChar c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return false;
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

void AppendEscaped(QString &out, QStringView text)
{
    if (!text.contains(kQuote)) {
        out += text;
        return;
    }
    for (QChar c : text) {
        if (c == kQuote)
            out += kQuote;
        out += c;
    }
}

void AppendQuoted(QString &out, QStringView text)
{
    out += kQuote;
    AppendEscaped(out, text);
    out += kQuote;
}

// Appends the text as the column's quoting asks.
void AppendValue(QString &out, const ExportContext &x, const CsvColumn &column, const QString &text)
{
    if (HasLineBreak(text))
        return AppendValue(out, x, column, OneLine(text));
    const CsvQuote quote = column.quote == CsvQuote::Layout ? x.layout.dataQuote : column.quote;
    switch (quote) {
    case CsvQuote::Layout:
    case CsvQuote::None:
        out += text;
        return;
    case CsvQuote::Always:
        return AppendQuoted(out, text);
    case CsvQuote::NonEmpty:
        if (!text.isEmpty())
            AppendQuoted(out, text);
        return;
    case CsvQuote::IfContains:
        if (text.contains(x.layout.separator) || text.contains(kQuote))
            return AppendQuoted(out, text);
        out += text;
        return;
    }
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

void AppendTypeStar(QString &out, const TContactData &c, const CsvColumn &column)
{
    if (!column.arg2.isEmpty() && c.Preferred == column.arg2)
        out += QLatin1StringView("* ");
    out += column.arg;
}

void AppendColumn(QString &out, const ExportContext &x, const CsvColumn &column)
{
    const TContactData &c = x.contact;
    switch (column.out) {
    case CsvOut::Empty:
        out += x.layout.emptyText;
        return;
    case CsvOut::Text:
        return AppendValue(out, x, column, c.*column.text);
    case CsvOut::Const:
        out += column.arg;
        return;
    case CsvOut::ConstIfSet:
        if (IsSet(c, column))
            out += column.arg;
        return;
    case CsvOut::FirstOf:
        return AppendValue(out, x, column, FirstOf(c, column));
    case CsvOut::StreetLine:
        return AppendValue(out, x, column, StreetLines(c.*column.text).value(column.index));
    case CsvOut::Date:
        return AppendValue(out, x, column, c.*column.date ? FormatCSVDate(c.*column.date) : column.arg.toString());
    case CsvOut::IsoDate:
        return AppendValue(out, x, column, SerialToIsoDate(c.*column.date));
    case CsvOut::List:
        return AppendValue(out, x, column, JoinedList(c.*column.list, column.arg));
    case CsvOut::FirstOfList:
        return AppendValue(out, x, column, (c.*column.list).IsEmpty() ? QString() : (c.*column.list)[0]);
    case CsvOut::TypeStar:
        return AppendTypeStar(out, c, column);
    case CsvOut::Label:
        if (IsSet(c, column))
            AppendTypeStar(out, c, column);
        return;
    case CsvOut::EmailType:
        if (!(c.*column.text).isEmpty())
            out += QLatin1StringView("\"SMTP\"");
        return;
    case CsvOut::EmailName:
        if (!(c.*column.text).isEmpty())
            AppendQuoted(out, OneLine(x.contacts.GetDisplayNameFromContactData(&c, dtInherited) + QStringLiteral(" (")
                                      + c.*column.text + QLatin1Char(')')));
        return;
    case CsvOut::Computed:
        return AppendValue(out, x, column, column.compute(x.contacts, c, column));
    case CsvOut::Street:
    case CsvOut::Notes:
    case CsvOut::NotesBlock:
    case CsvOut::Address:
        return; // written by WriteColumn
    }
}

void WriteColumn(RecordWriter &writer, const ExportContext &x, const CsvColumn &column)
{
    const TContactData &c = x.contact;
    switch (column.out) {
    case CsvOut::Street:
        if ((c.*column.text).contains(QLatin1Char(';')) || HasLineBreak(c.*column.text))
            if (const QStringList lines = StreetLines(c.*column.text); lines.size() > 1)
                return writer.AddSpanning(EscapedLines(lines));
        return AppendValue(writer.Next(), x, column, c.*column.text);
    case CsvOut::Notes:
        if (c.Notes.size() > 1 || HasLineBreak(c.Notes.value(0)))
            if (const QStringList lines = EscapedLines(c.Notes); lines.size() > 1)
                return writer.AddSpanning(lines);
        return AppendValue(writer.Next(), x, column, c.Notes.value(0));
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
        return AppendColumn(writer.Next(), x, column);
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
    QString text = layout.Header() + RecordWriter::kLineEnd;
    const TContactDataList &list = contacts.ContactDataList();
    const int last = int(list.size()) - 1;
    int written = 0;
    for (int i = 0; i <= last; ++i) {
        contacts.ReportProgress(0, last, i);
        const TContactData &contact = *list[i];
        if (!contact.Exportable)
            continue;
        RecordWriter writer(text, layout.separator);
        const ExportContext context{contacts, layout, contact};
        for (const CsvColumn &column : layout.columns)
            WriteColumn(writer, context, column);
        writer.Finish();
        // The first records tell how large the whole text will be.
        if (++written == kSampleRecords && last > kSampleRecords)
            text.reserve(qsizetype(double(text.size()) / kSampleRecords * (last + 1) * 1.1));
    }
    if (const QString error = WriteCSVText(path, text, layout.encoding); !error.isEmpty()) {
        contacts.Prompts().ShowError(error);
        return 0;
    }
    return written;
}

} // namespace cardolin
