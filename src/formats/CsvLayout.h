#pragma once

#include "contacts/ContactData.h"
#include "formats/CsvFile.h"
#include "formats/CsvRecords.h"

#include <QStringView>

#include <vector>

namespace cardolin {

class TQorContacts;
struct CsvRecord;

// How a column's text is quoted on export. Layout takes the layout's own rule for
// columns that carry contact data.
enum class CsvQuote {
    Layout,
    None,
    Always,     // "" for an empty value
    NonEmpty,   // nothing for an empty value
    IfContains, // only a value holding the separator or a double quote
};

// What the exporter writes into a column.
enum class CsvOut {
    Empty,      // the layout's text for a column without data
    Text,       // text
    Const,      // arg
    ConstIfSet, // arg when text or date is set
    FirstOf,    // the first non-empty of text, text2, text3
    Street,     // text; a street of several lines spans physical lines
    StreetLine, // line number `index` of the street in text
    Notes,      // one entry as a field, several spanning physical lines
    NotesBlock, // always spanning lines, the closing quote on a line of its own
    Date,       // short date of date, arg when unset
    IsoDate,    // yyyy-MM-dd of date, nothing when unset
    List,       // list joined by arg
    FirstOfList,
    TypeStar,   // "* " + arg when Preferred is arg2, else arg
    Label,      // as TypeStar, but only when text, date or address is set
    EmailType,  // "SMTP" when text is set
    EmailName,  // "display name (address)" when text is set
    Address,    // the formatted address of `address`, spanning lines
    Computed,   // compute()
};

// What the importer does with a column.
enum class CsvIn {
    None,
    Text,        // unquoted into target
    Raw,         // as the splitter left it
    TextIfEmpty, // into target unless already set
    Street,      // unquoted, line-join markers become ";"
    StreetLines, // this column and the next two, non-empty ones joined by ";"
    Notes,       // split at line-join markers
    Date,        // short date, the text before any line-join marker
    IsoDate,
    List,        // split at arg, merged into the collection's vocabulary
    ByCompany,   // target when the record's company column is set, else target2
    Custom,      // assign()
};

// The fields of one location, for the columns that treat an address as a whole.
struct CsvAddress
{
    QString TContactData::*street;
    QString TContactData::*poBox;
    QString TContactData::*city;
    QString TContactData::*state;
    QString TContactData::*postalCode;
    QString TContactData::*country;
    QStringView preferred; // the Preferred value naming this location
};

// True when any field of the location's postal address is set.
bool HasAddress(const TContactData &c, const CsvAddress &a);

struct CsvColumn
{
    QString name;
    QString alias;           // the name other programs give the column
    bool identifies = false; // gives a name or an e-mail address by a way the fields below do not show
    CsvOut out = CsvOut::Empty;
    CsvIn in = CsvIn::None;
    CsvQuote quote = CsvQuote::Layout;
    QString TContactData::*text = nullptr;
    QString TContactData::*text2 = nullptr;
    QString TContactData::*text3 = nullptr;
    QString TContactData::*target = nullptr;
    QString TContactData::*target2 = nullptr;
    TDateTime TContactData::*date = nullptr;
    TSortedStringList TContactData::*list = nullptr;
    QStringView arg;
    QStringView arg2;
    int index = 0;
    int span = 3; // the columns StreetLines reads together
    const CsvAddress *address = nullptr;
    QString (*compute)(const TQorContacts &, const TContactData &, const CsvColumn &) = nullptr;
    void (*assign)(CsvRecord &, qsizetype column) = nullptr;

    CsvColumn Quoted(CsvQuote q) const
    {
        CsvColumn c = *this;
        c.quote = q;
        return c;
    }
    CsvColumn Importing(CsvIn i) const
    {
        CsvColumn c = *this;
        c.in = i;
        return c;
    }
    // Reads into other fields than it writes from.
    CsvColumn Into(QString TContactData::*first, QString TContactData::*second = nullptr) const
    {
        CsvColumn c = *this;
        c.in = second ? CsvIn::ByCompany : CsvIn::Text;
        c.target = first;
        c.target2 = second;
        return c;
    }
};

// Records as any CSV writer makes them: a line starts one unless a quoted field
// is still open, and an empty line between records is no record at all.
CsvLine AnyRecordLine(const TQorContacts &, QStringView line);

struct CsvLayout
{
    QString errorContext; // the importer's name, as OnError reports it
    QString separator;
    std::vector<CsvColumn> columns;
    QString headerTail;   // names the header lists beyond the written columns
    bool quotedHeader = false;
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;
    CsvQuote dataQuote = CsvQuote::None;
    QString emptyText;    // a column without contact data
    qsizetype minFields = 0;
    qsizetype maxFields = 0;
    qsizetype altFields = -1; // a second accepted count, or -1
    qsizetype companyColumn = -1;
    bool stampFromFile = true;      // Created and Modified from the file's time
    bool dropTrailingMarker = false; // notes ending with a marker lose it
    bool mergeVocabulary = false;    // lists also feed the collection's lists
    bool byName = false;             // columns are always found by their names in the file's header
    CsvLineRole lineRole = nullptr;
    void (*translate)(std::vector<QStringView> &fields) = nullptr; // after splitting
    // Places a record the columns cannot describe; true when it did.
    bool (*importRecord)(CsvRecord &) = nullptr;

    QString Header() const;
    bool AcceptsFieldCount(qsizetype count) const;
};

// One record being imported.
struct CsvRecord
{
    const TQorContacts &contacts;
    const CsvLayout &layout;
    const std::vector<QStringView> &fields;
    TContactData &contact;
    QStringList &categories; // the collection's lists, updated at the end
    QStringList &keywords;
    TDateTime fileTime;
    // Where each of the layout's columns stands in the file when the header was
    // read by name (-1: not in the file); null when the columns stand in order.
    const std::vector<qsizetype> *columnOf = nullptr;

    // Columns beyond the record's end, or missing from the file, read as empty.
    QStringView RawView(qsizetype column) const
    {
        if (columnOf)
            column = column < qsizetype(columnOf->size()) ? (*columnOf)[column] : -1;
        return column >= 0 && column < qsizetype(fields.size()) ? fields[column] : QStringView();
    }
    QString Raw(qsizetype column) const { return RawView(column).toString(); }
    QString Value(qsizetype column) const { return UnquotedCSVValue(RawView(column)); }
    // The number of columns the record holds, as the layout counts them.
    qsizetype Count() const { return columnOf ? qsizetype(columnOf->size()) : qsizetype(fields.size()); }
};

enum class CsvMatch { Exact, ByName };

// ByName reads a file whose header names the layout's columns in any order;
// the layout's exact header is then not needed.
int ImportCSVLayout(TQorContacts &contacts, const QString &path, const CsvLayout &layout,
                    CsvMatch match = CsvMatch::Exact);
int ExportCSVLayout(TQorContacts &contacts, const QString &path, const CsvLayout &layout);
// The records of a file's lines, header included at index 0, with continuation
// lines joined to the record they belong to.
QStringList AssembleCSVRecords(QStringList lines, const CsvLayout &layout, const TQorContacts &contacts);
QStringList AssembleCSVRecords(QStringList lines, CsvLineRole lineRole, const TQorContacts &contacts);

// A record's fields: split at the separator, quoted fields kept whole.
QStringList SplitCSVFields(const QString &record, const QString &separator);

// How a file's header lines up with a layout's column names.
struct CsvHeaderMatch
{
    std::vector<qsizetype> columnOf; // per layout column, the file's field or -1
    qsizetype fileColumns = 0;
    int known = 0;           // the file's names the layout knows
    bool identifies = false; // a known column gives a name or an e-mail address
    QStringList unknown;     // the file's names no column takes, in file order
};

// Names compare trimmed, without double quotes, ignoring case; a name used by
// several columns goes to them in order.
CsvHeaderMatch MatchCSVHeader(const CsvLayout &layout, const QString &headerLine);

} // namespace cardolin
