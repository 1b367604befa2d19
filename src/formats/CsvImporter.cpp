#include "contacts/QorContacts.h"
#include "formats/CsvLayout.h"
#include "formats/CsvText.h"
#include "support/BreakApart.h"
#include "support/UserPrompts.h"

#include <QFileInfo>

namespace cardolin {

namespace {

const QChar kQuote = QLatin1Char('"');

bool HasOddQuotes(QStringView text)
{
    return text.count(kQuote) % 2 == 1;
}

bool CheckCSVHeader(TQorContacts &contacts, const QStringList &lines, const QString &header)
{
    if (!lines.isEmpty() && lines.first().startsWith(header))
        return true;
    contacts.Prompts().ShowError(QStringLiteral("The file header is not the expected one."));
    return false;
}

TDateTime ParseIsoDate(const QString &text)
{
    return DateToSerial(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")));
}

// A record read by name may end early, or carry empty fields after the last
// column (a separator closing every line), but anything more would shift its
// values out of their columns.
bool FitsHeader(const QStringList &fields, qsizetype columns)
{
    for (qsizetype i = columns; i < fields.size(); ++i)
        if (!fields[i].isEmpty())
            return false;
    return true;
}

void ImportList(CsvRecord &record, const CsvColumn &column, const QString &value)
{
    TSortedStringList &list = record.contact.*column.list;
    AddSplitStrings(value, column.arg.toString(), list);
    if (!record.layout.mergeVocabulary)
        return;
    QStringList &vocabulary = column.list == &TContactData::Keywords ? record.keywords : record.categories;
    MergeIntoList(list.Entries(), vocabulary);
}

QString StreetLines(const CsvRecord &record, qsizetype column, int span)
{
    QStringList lines;
    for (qsizetype i = column; i < column + span; ++i)
        if (const QString line = record.Value(i); !line.isEmpty())
            lines.append(line);
    return lines.join(QLatin1Char(';'));
}

void ImportColumn(CsvRecord &record, const CsvColumn &column, qsizetype i)
{
    TContactData &c = record.contact;
    switch (column.in) {
    case CsvIn::None:
        return;
    case CsvIn::Text:
        c.*column.target = record.Value(i);
        return;
    case CsvIn::Raw:
        c.*column.target = record.Raw(i);
        return;
    case CsvIn::TextIfEmpty:
        if ((c.*column.target).isEmpty())
            c.*column.target = record.Value(i);
        return;
    case CsvIn::Street:
        c.*column.target = StreetFromCSV(record.Value(i));
        return;
    case CsvIn::StreetLines:
        c.*column.target = StreetLines(record, i, column.span);
        return;
    case CsvIn::Notes:
        c.Notes = NotesFromCSV(record.Value(i), record.layout.dropTrailingMarker);
        return;
    case CsvIn::Date: {
        const QString text = UnquoteCSVField(record.Raw(i).section(kLineJoinMarker, 0, 0));
        c.*column.date = ParseCSVDate(text);
        // Files of other programs often write dates the ISO way.
        if (c.*column.date == 0 && record.columnOf)
            c.*column.date = ParseIsoDate(text);
        return;
    }
    case CsvIn::IsoDate:
        c.*column.date = ParseIsoDate(record.Value(i));
        return;
    case CsvIn::List:
        ImportList(record, column, record.Value(i));
        return;
    case CsvIn::ByCompany: {
        const bool company = !record.Value(record.layout.companyColumn).isEmpty();
        c.*(company ? column.target : column.target2) = record.Value(i);
        return;
    }
    case CsvIn::Custom:
        column.assign(record, i);
        return;
    }
}

void ImportFields(CsvRecord &record)
{
    if (record.layout.stampFromFile)
        record.contact.Created = record.contact.Modified = record.fileTime;
    if (record.layout.importRecord && record.layout.importRecord(record))
        return;
    const std::vector<CsvColumn> &columns = record.layout.columns;
    for (qsizetype i = 0; i < qsizetype(columns.size()); ++i)
        ImportColumn(record, columns[i], i);
}

} // namespace

QStringList SplitCSVFields(const QString &record, const QString &separator)
{
    TQorBreakApart splitter;
    splitter.SetBreakString(separator);
    splitter.SetAllowEmptyString(true);
    splitter.SetDoubleQuoteMode(true);
    splitter.SetBaseString(record);
    splitter.BreakApart();
    return splitter.StringList();
}

QString CsvLayout::Header() const
{
    QStringList names;
    for (const CsvColumn &column : columns)
        names.append(quotedHeader ? QuoteCSVField(column.name) : column.name);
    return names.join(separator) + headerTail;
}

bool CsvLayout::AcceptsFieldCount(qsizetype count) const
{
    return (count >= minFields && count <= maxFields) || count == altFields;
}

QString CsvRecord::Value(qsizetype column) const
{
    return UnquoteCSVField(Raw(column));
}

CsvLine AnyRecordLine(const TQorContacts &, QStringView line)
{
    for (QChar c : line)
        if (!c.isSpace())
            return CsvLine::Starts;
    return CsvLine::Blank;
}

QStringList AssembleCSVRecords(QStringList lines, const CsvLayout &layout, const TQorContacts &contacts)
{
    return AssembleCSVRecords(std::move(lines), layout.lineRole, contacts);
}

QStringList AssembleCSVRecords(QStringList lines, CsvLine (*lineRole)(const TQorContacts &, QStringView),
                               const TQorContacts &contacts)
{
    if (lines.isEmpty())
        return lines;
    QStringList records;
    records.reserve(lines.size());
    records.append(lines.first());
    bool open = false; // the last record holds a quoted field not yet closed
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString &line = lines[i];
        const CsvLine role = lineRole(contacts, line);
        const bool odd = HasOddQuotes(line);
        if (role == CsvLine::Blank && !open)
            continue;
        if (records.size() > 1 && (open || role != CsvLine::Starts)) {
            QString &record = records.last();
            if (role != CsvLine::ContinuesDirectly)
                record += kLineJoinMarker;
            record += line;
            open = open != odd;
        } else {
            records.append(std::move(line));
            open = odd;
        }
    }
    return records;
}

int ImportCSVLayout(TQorContacts &contacts, const QString &path, const CsvLayout &layout, CsvMatch match)
{
    if (!QFileInfo(path).isFile())
        return 0;
    BusyCursor busy(contacts.Prompts());
    const bool byName = layout.byName || match == CsvMatch::ByName;
    const QStringList records =
        AssembleCSVRecords(ReadCSVLines(path), byName ? AnyRecordLine : layout.lineRole, contacts);
    CsvHeaderMatch header;
    if (byName) {
        header = MatchCSVHeader(layout, records.value(0));
        if (!header.identifies) {
            contacts.Prompts().ShowError(QStringLiteral("The file header is not the expected one."));
            return 0;
        }
        if (!header.unknown.isEmpty())
            contacts.Prompts().ShowWarning(QStringLiteral("These columns are not known and were ignored: %1.")
                                               .arg(header.unknown.join(QStringLiteral(", "))));
    } else if (!CheckCSVHeader(contacts, records, layout.Header())) {
        return 0;
    }
    QStringList categories = contacts.Categories(), keywords = contacts.Keywords();
    const TDateTime fileTime = DateTimeToSerial(QFileInfo(path).lastModified());
    const int last = int(records.size()) - 1;
    int added = 0, failed = 0;
    for (int i = 1; i <= last; ++i) {
        contacts.ReportProgress(1, last, i);
        const QString &text = records[i];
        QStringList fields = SplitCSVFields(text, layout.separator);
        if (layout.translate)
            layout.translate(fields);
        if (!(byName ? FitsHeader(fields, header.fileColumns) : layout.AcceptsFieldCount(fields.size()))) {
            contacts.ReportError(layout.errorContext, QStringLiteral("CSV File Parsing Error"), text, ++failed);
            continue;
        }
        TContactData *contact = contacts.CreateContactData();
        CsvRecord record{contacts, layout, fields, *contact, categories, keywords, fileTime,
                         byName ? &header.columnOf : nullptr};
        ImportFields(record);
        if (contacts.FormatContacts())
            contacts.FormatContactData(contact);
        ++added;
    }
    if (categories != contacts.Categories())
        contacts.SetCategories(categories);
    if (keywords != contacts.Keywords())
        contacts.SetKeywords(keywords);
    if (failed > 0)
        contacts.Prompts().ShowError(QString::number(failed) + QStringLiteral(" contact(s) failed to be imported."));
    return added;
}

} // namespace cardolin
