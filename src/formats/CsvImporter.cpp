#include "contacts/QorContacts.h"
#include "formats/CsvLayout.h"
#include "formats/CsvText.h"
#include "formats/TextFiles.h"
#include "support/BreakApart.h"
#include "support/ReadLimits.h"
#include "support/TwoHalves.h"
#include "support/UserPrompts.h"

#include <QFileInfo>

#include <array>
#include <limits>

namespace cardolin {

namespace {

bool CheckCSVHeader(TQorContacts &contacts, QStringView firstLine, const QString &header)
{
    if (firstLine.startsWith(header))
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
bool FitsHeader(const std::vector<QStringView> &fields, qsizetype columns)
{
    for (qsizetype i = columns; i < qsizetype(fields.size()); ++i)
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
        const QStringView raw = record.RawView(i);
        const QString text = UnquotedCSVValue(raw.left(raw.indexOf(kLineJoinMarker)));
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
        const bool company = !AllCSVValuesEmpty({record.RawView(record.layout.companyColumn)});
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

// One import's shared, read-only inputs, and which records did not fit, by
// index (a char each, so the two threads never share a byte).
struct CsvImportRun
{
    const TQorContacts &contacts;
    const CsvLayout &layout;
    const CsvRecordTexts &records;
    const CsvHeaderMatch *header; // null when the columns stand in order
    TDateTime fileTime;
    std::vector<char> failed;
};

// What one stretch of records made, with its own copies of the vocabularies.
struct CsvStretch
{
    explicit CsvStretch(const TQorContacts &contacts)
        : categories(contacts.Categories()), keywords(contacts.Keywords())
    {
    }
    TContactDataList made;
    QStringList categories, keywords;
};

constexpr size_t kRecordsForTwoThreads = 4000;

void ImportStretch(CsvImportRun &run, int begin, int end, CsvStretch &out)
{
    const CsvLayout &layout = run.layout;
    std::vector<QStringView> fields;
    fields.reserve(layout.columns.size() + 1);
    out.made.reserve(size_t(end - begin));
    for (int i = begin; i < end; ++i) {
        SplitCSVFieldViews(run.records[i], layout.separator, fields);
        if (layout.translate)
            layout.translate(fields);
        const bool fits = run.header ? FitsHeader(fields, run.header->fileColumns)
                                     : layout.AcceptsFieldCount(qsizetype(fields.size()));
        if (!fits) {
            run.failed[size_t(i)] = 1;
            continue;
        }
        // A line of separators and empty quotes holds no contact.
        if (AllCSVValuesEmpty(fields))
            continue;
        out.made.push_back(run.contacts.NewContactData());
        CsvRecord record{run.contacts, layout, fields, *out.made.back(),
                         out.categories, out.keywords, run.fileTime,
                         run.header ? &run.header->columnOf : nullptr};
        ImportFields(record);
    }
}

} // namespace

QStringList SplitCSVFields(const QString &record, const QString &separator)
{
    if (separator.size() == 1 && !separator.front().isLetter()) {
        std::vector<QStringView> views;
        SplitCSVFieldViews(record, separator, views, std::numeric_limits<qsizetype>::max());
        QStringList fields;
        fields.reserve(qsizetype(views.size()));
        for (QStringView view : views)
            fields.append(view.toString());
        return fields;
    }
    // A separator of letters matches in any letter case.
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

QStringList AssembleCSVRecords(QStringList lines, CsvLineRole lineRole, const TQorContacts &contacts)
{
    const CsvRecordTexts records =
        AssembleCSVText(textfile::JoinLines(lines, QLatin1StringView("\n")), lineRole, contacts, {});
    QStringList joined;
    joined.reserve(records.size());
    for (qsizetype i = 0; i < records.size(); ++i)
        joined.append(records[i].toString());
    return joined;
}

int ImportCSVLayout(TQorContacts &contacts, const QString &path, const CsvLayout &layout, CsvMatch match)
{
    if (!QFileInfo(path).isFile())
        return 0;
    BusyCursor busy(contacts.Prompts());
    const bool byName = layout.byName || match == CsvMatch::ByName;
    QString error;
    QString text = ReadCSVText(path, error);
    if (!error.isEmpty()) {
        contacts.Prompts().ShowError(error);
        return 0;
    }
    const QStringView firstLine = FirstCSVLine(text);
    CsvHeaderMatch header;
    if (byName) {
        // A header past the limits is no header of ours.
        if (firstLine.size() <= limits::kMaxValueBytes
            && firstLine.count(layout.separator) < limits::kMaxFieldsPerRecord)
            header = MatchCSVHeader(layout, firstLine.toString());
        if (!header.identifies) {
            contacts.Prompts().ShowError(QStringLiteral("The file header is not the expected one."));
            return 0;
        }
    } else if (!CheckCSVHeader(contacts, firstLine, layout.Header())) {
        return 0;
    }
    // Every limit is met before any contact is made: a file past one adds nothing.
    const CsvRecordTexts records =
        AssembleCSVText(std::move(text), byName ? AnyRecordLine : layout.lineRole, contacts, layout.separator);
    if (!records.Error().isEmpty()) {
        contacts.Prompts().ShowError(records.Error());
        return 0;
    }
    if (!header.unknown.isEmpty())
        contacts.Prompts().ShowWarning(QStringLiteral("These columns are not known and were ignored: %1.")
                                           .arg(header.unknown.join(QStringLiteral(", "))));
    const TDateTime fileTime = DateTimeToSerial(QFileInfo(path).lastModified());
    const int last = int(records.size()) - 1;
    CsvImportRun run{contacts, layout, records, byName ? &header : nullptr, fileTime, {}};
    run.failed.assign(size_t(last + 1), 0);
    std::array<CsvStretch, 2> halves{CsvStretch{contacts}, CsvStretch{contacts}};
    // Records are independent: two threads fill two halves, and everything the
    // user sees (progress, errors, order, vocabularies) follows the file's order.
    ForTwoHalves(size_t(last), kRecordsForTwoThreads, [&](size_t begin, size_t end) {
        ImportStretch(run, int(begin) + 1, int(end) + 1, halves[begin == 0 ? 0 : 1]);
    });
    int failed = 0;
    for (int i = 1; i <= last; ++i) {
        contacts.ReportProgress(1, last, i);
        if (run.failed[size_t(i)])
            contacts.ReportError(layout.errorContext, QStringLiteral("CSV File Parsing Error"),
                                 limits::EchoText(records[i]), ++failed);
    }
    QStringList categories = std::move(halves[0].categories), keywords = std::move(halves[0].keywords);
    MergeIntoList(halves[1].categories, categories);
    MergeIntoList(halves[1].keywords, keywords);
    int added = contacts.AppendImportedContactDataList(std::move(halves[0].made));
    added += contacts.AppendImportedContactDataList(std::move(halves[1].made));
    if (categories != contacts.Categories())
        contacts.SetCategories(categories);
    if (keywords != contacts.Keywords())
        contacts.SetKeywords(keywords);
    if (failed > 0)
        contacts.Prompts().ShowError(QString::number(failed) + QStringLiteral(" contact(s) failed to be imported."));
    return added;
}

} // namespace cardolin
