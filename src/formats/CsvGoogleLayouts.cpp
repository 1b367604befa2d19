// The two Google layouts: the current one of type/value column pairs, and the
// older one of a name, an address, notes and eleven-column sections.

#include "formats/CsvLayouts.h"

#include "contacts/QorContacts.h"
#include "formats/CsvColumns.h"
#include "formats/CsvText.h"

#include <limits>

namespace cardolin {

using namespace csvcolumns;

namespace {

const Phone *NthPhone(const C &c, int n)
{
    for (const Phone &phone : kPhones)
        if (!(c.*phone.field).isEmpty() && n-- == 0)
            return &phone;
    return nullptr;
}

} // namespace

QString csvcolumns::PhoneLabel(const TQorContacts &, const C &c, const CsvColumn &column)
{
    const Phone *phone = NthPhone(c, column.index);
    return phone ? phone->label.toString() : QString();
}

QString csvcolumns::PhoneNumber(const TQorContacts &, const C &c, const CsvColumn &column)
{
    const Phone *phone = NthPhone(c, column.index);
    return phone ? c.*phone->field : QString();
}

namespace {

const QChar kComma = QLatin1Char(',');

// ---- record-start test -----------------------------------------------------

bool BeginsWithTitle(const TQorContacts &contacts, QStringView line)
{
    for (const QString &title : contacts.Titles())
        if (!title.isEmpty() && line.startsWith(title))
            return true;
    return false;
}

// Google quotes only what needs it, so a record line is told by its commas, an
// e-mail address, a title, or the empty columns every record has. Lines inside
// an open quoted field never get here, so the quotes of a line need no counting:
// a one-note record `John Smith,,"Bring the plans",Work,...` starts a record.
CsvLine GoogleLineRole(const TQorContacts &contacts, QStringView line, bool fullRecord)
{
    if (line.count(kComma) < 2)
        return CsvLine::Continues;
    const bool hasMarks = line.contains(u",,") || line.contains(QLatin1Char('@'));
    return fullRecord || hasMarks || BeginsWithTitle(contacts, line) ? CsvLine::Starts : CsvLine::Continues;
}

CsvLine CurrentLineRole(const TQorContacts &contacts, QStringView line)
{
    return GoogleLineRole(contacts, line, line.count(kComma) >= 91);
}

CsvLine DeprecatedLineRole(const TQorContacts &contacts, QStringView line)
{
    return GoogleLineRole(contacts, line, line.count(kComma) == 57);
}

// ---- current layout --------------------------------------------------------

// Each category once; the system group "Contacts" is Google's "My Contacts".
QString GroupMembership(const TQorContacts &, const C &c, const CsvColumn &)
{
    QStringList groups;
    for (const QString &category : c.Categories) {
        const QString group = category == u"Contacts" ? QStringLiteral("* My Contacts") : category;
        if (!groups.contains(group))
            groups.append(group);
    }
    return groups.join(QStringLiteral(" ::: "));
}

void ReadGroupMembership(CsvRecord &record, qsizetype column)
{
    QString value = record.Value(column);
    value.remove(QStringLiteral("* ")).replace(QStringLiteral("My Contacts"), QStringLiteral("Contacts"));
    AddSplitStrings(value, QStringLiteral(" ::: "), record.contact.Categories);
}

void ReadPhonePair(CsvRecord &record, qsizetype column)
{
    const QString type = record.Raw(column);
    for (const Phone &phone : kPhones)
        if (type == phone.label)
            record.contact.*phone.field = record.Raw(column + 1);
}

struct EmailPlace
{
    QStringView type;
    Member field;
    QStringView preferred;
};
const EmailPlace kEmailPlaces[] = {
    {u"Work", &C::WorkEmail, u"Work"}, {u"Home", &C::PersonalEmail, u"Personal"}, {u"Other", &C::OtherEmail, u"Other"}};

// In a file of this layout a pair's place is its position. In another program's
// file, read by name, the type says where the address belongs, and an address
// whose place is taken goes to a free one.
void ReadEmailPair(CsvRecord &record, qsizetype column)
{
    C &c = record.contact;
    const QString type = record.Raw(column);
    Member field = record.layout.columns[column + 1].text;
    QStringView preferred = record.layout.columns[column].arg2;
    if (record.columnOf) {
        for (const EmailPlace &place : kEmailPlaces)
            if (type.contains(place.type, Qt::CaseInsensitive)) {
                field = place.field;
                preferred = place.preferred;
                break;
            }
        for (const EmailPlace &place : kEmailPlaces)
            if (!(c.*field).isEmpty() && (c.*place.field).isEmpty()) {
                field = place.field;
                preferred = place.preferred;
            }
        if (!(c.*field).isEmpty())
            return;
    }
    c.*field = record.Raw(column + 1);
    if (type.contains(QLatin1Char('*')))
        c.Preferred = preferred.toString();
}

// The type column names the location; the street and the rest follow the
// formatted address.
void ReadAddressGroup(CsvRecord &record, qsizetype column)
{
    const QString type = record.Raw(column);
    const CsvAddress *a = type.contains(u"Work")    ? &kWorkAddress
                          : type.contains(u"Home")  ? &kHomeAddress
                          : type.contains(u"Other") ? &kOtherAddress
                                                    : nullptr;
    if (!a)
        return;
    C &c = record.contact;
    if (type.contains(QLatin1Char('*')))
        c.Preferred = a->preferred.toString();
    c.*a->street = StreetFromCSV(record.Value(column + 2));
    c.*a->city = record.Value(column + 3);
    c.*a->poBox = record.Value(column + 4);
    c.*a->state = record.Value(column + 5);
    c.*a->postalCode = record.Value(column + 6);
    c.*a->country = record.Value(column + 7);
}

void ReadRelation(CsvRecord &record, qsizetype column)
{
    if (record.Raw(column) == u"Spouse")
        record.contact.SignificantOther = record.Raw(column + 1);
}

void ReadEvent(CsvRecord &record, qsizetype column)
{
    const QString value = record.Raw(column + 1);
    if (record.Raw(column) == u"Anniversary" && !value.isEmpty())
        record.contact.Anniversary = DateToSerial(QDate::fromString(value, QStringLiteral("yyyy-MM-dd")));
}

void ReadFullName(CsvRecord &record, const QString &name)
{
    C &c = record.contact;
    record.contacts.BreakFullNameString(name, c.Title, c.FirstName, c.MiddleName, c.LastName, c.Suffix);
}

// A record of three fields is a name, an e-mail address and notes.
bool ReadShortForm(CsvRecord &record)
{
    if (record.Count() != 3)
        return false;
    C &c = record.contact;
    c.Created = c.Modified = record.fileTime;
    ReadFullName(record, record.Value(0));
    c.PersonalEmail = record.Value(1);
    c.Notes = NotesFromCSV(record.Value(2), true);
    return true;
}

CsvColumn TypeStar(QStringView name, QStringView label, QStringView preferred, void (*read)(CsvRecord &, qsizetype))
{
    CsvColumn c = Custom(Make(name, CsvOut::TypeStar, CsvIn::None), read);
    c.arg = label;
    c.arg2 = preferred;
    return c;
}

CsvColumn Raw(QStringView name, Member field)
{
    return Text(name, field).Importing(CsvIn::Raw);
}

// The type column reads its pair, so that it can place the address.
CsvColumn EmailType(QStringView name, QStringView label, QStringView preferred)
{
    CsvColumn c = TypeStar(name, label, preferred, ReadEmailPair);
    c.identifies = true;
    return c;
}

CsvColumn EmailValue(QStringView name, Member field)
{
    CsvColumn c = Text(name, field).Importing(CsvIn::None);
    c.identifies = true;
    return c;
}

void AddPhonePairs(std::vector<CsvColumn> &columns)
{
    for (int i = 0; i < 5; ++i) {
        CsvColumn type = Custom(Computed(QStringLiteral("Phone %1 - Type").arg(i + 1), PhoneLabel), ReadPhonePair);
        CsvColumn value = Computed(QStringLiteral("Phone %1 - Value").arg(i + 1), PhoneNumber);
        type.index = value.index = i;
        columns.insert(columns.end(), {type.Quoted(CsvQuote::None), value});
    }
}

void AddAddressGroup(std::vector<CsvColumn> &columns, int number, QStringView label, const CsvAddress &a)
{
    const auto name = [number](QStringView what) {
        return QStringLiteral("Address %1 - ").arg(number) + what.toString();
    };
    CsvColumn formatted = Make(name(u"Formatted"), CsvOut::Address, CsvIn::None);
    formatted.address = &a;
    const auto part = [&](QStringView what, Member field) {
        return Make(name(what), CsvOut::Text, CsvIn::None, field);
    };
    columns.insert(columns.end(), {
        TypeStar(name(u"Type"), label, a.preferred, ReadAddressGroup), formatted, part(u"Street", a.street),
        part(u"City", a.city), part(u"PO Box", a.poBox), part(u"Region", a.state),
        part(u"Postal Code", a.postalCode), part(u"Country", a.country), Skip(name(u"Extended Address")),
    });
}

CsvLayout GoogleBase(const char *importer)
{
    CsvLayout l = NewLayout(importer, kComma, CsvEncoding::Utf16LeWithBom, CsvQuote::IfContains, false);
    l.dropTrailingMarker = true;
    return l;
}

CsvLayout Google()
{
    CsvLayout l = GoogleBase("ImportFromGoogleCSVFile");
    l.minFields = l.maxFields = 92;
    l.altFields = 3;
    l.stampFromFile = false;
    l.lineRole = CurrentLineRole;
    l.importRecord = ReadShortForm;
    CsvColumn relation = Custom(Const(u"Relation 1 - Type", u"Spouse"), ReadRelation);
    relation.out = CsvOut::ConstIfSet;
    relation.text = &C::SignificantOther;
    CsvColumn event = Custom(Const(u"Event 1 - Type", u"Anniversary"), ReadEvent);
    event.out = CsvOut::ConstIfSet;
    event.date = &C::Anniversary;
    l.columns = {
        Computed(u"Name", DisplayName), Text(u"Given Name", &C::FirstName), Text(u"Additional Name", &C::MiddleName),
        Text(u"Family Name", &C::LastName), Skip(u"Yomi Name"), Skip(u"Given Name Yomi"),
        Skip(u"Additional Name Yomi"), Skip(u"Family Name Yomi"), Text(u"Name Prefix", &C::Title),
        Text(u"Name Suffix", &C::Suffix), Text(u"Initials", &C::Initials), Text(u"Nickname", &C::Nickname),
        Skip(u"Short Name"), Skip(u"Maiden Name"), IsoDate(u"Birthday", &C::Birthday), Text(u"Gender", &C::Gender),
        Text(u"Location", &C::HomeLocation), Skip(u"Billing Information"), Skip(u"Directory Server"),
        Skip(u"Mileage"), Skip(u"Occupation"), Skip(u"Hobby"), Text(u"Sensitivity", &C::Sensitivity),
        Text(u"Priority", &C::Priority), Skip(u"Subject"), Notes(u"Notes").Quoted(CsvQuote::NonEmpty),
        Custom(Computed(u"Group Membership", GroupMembership), ReadGroupMembership),
        EmailType(u"E-mail 1 - Type", u"Work", u"Work"), EmailValue(u"E-mail 1 - Value", &C::WorkEmail),
        EmailType(u"E-mail 2 - Type", u"Home", u"Personal"), EmailValue(u"E-mail 2 - Value", &C::PersonalEmail),
        EmailType(u"E-mail 3 - Type", u"Other", u"Other"), EmailValue(u"E-mail 3 - Value", &C::OtherEmail),
        Const(u"IM 1 - Type", u"Work"), Skip(u"IM 1 - Service"), Raw(u"IM 1 - Value", &C::WorkIM),
        Const(u"IM 2 - Type", u"Home"), Skip(u"IM 2 - Service"), Raw(u"IM 2 - Value", &C::PersonalIM),
    };
    AddPhonePairs(l.columns);
    AddAddressGroup(l.columns, 1, u"Work", kWorkAddress);
    AddAddressGroup(l.columns, 2, u"Home", kHomeAddress);
    AddAddressGroup(l.columns, 3, u"Other", kOtherAddress);
    l.columns.insert(l.columns.end(), {
        Skip(u"Organization 1 - Type"), Raw(u"Organization 1 - Name", &C::Company), Skip(u"Organization 1 - Yomi Name"),
        Raw(u"Organization 1 - Title", &C::JobTitle), Raw(u"Organization 1 - Department", &C::Department),
        Skip(u"Organization 1 - Symbol"), Raw(u"Organization 1 - Location", &C::WorkLocation),
        Skip(u"Organization 1 - Job Description"), relation,
        Make(u"Relation 1 - Value", CsvOut::Text, CsvIn::None, &C::SignificantOther),
        Const(u"Website 1 - Type", u"Work"), Raw(u"Website 1 - Value", &C::WorkWebsite),
        Const(u"Website 2 - Type", u"Personal"), Raw(u"Website 2 - Value", &C::PersonalWebsite), event,
        IsoDate(u"Event 1 - Value", &C::Anniversary).Importing(CsvIn::None),
    });
    return l;
}

// ---- deprecated layout -----------------------------------------------------

// One location's section; company and title belong to the work section only.
struct Section
{
    QStringView description;
    Member email, im, phone, mobile, pager, fax, company, title;
    const CsvAddress *address;
};

const Section kSections[] = {
    {u"Work", &C::WorkEmail, &C::WorkIM, &C::WorkPhone, &C::WorkMobilePhone, &C::WorkPager, &C::WorkFax, &C::Company,
     &C::JobTitle, &kWorkAddress},
    {u"Personal", &C::PersonalEmail, &C::PersonalIM, &C::HomePhone, &C::PersonalMobilePhone, &C::PersonalPager,
     &C::HomeFax, nullptr, nullptr, &kHomeAddress},
    {u"Other", &C::OtherEmail, &C::OtherIM, &C::OtherPhone, &C::OtherMobilePhone, &C::OtherPager, &C::OtherFax,
     nullptr, nullptr, &kOtherAddress},
};

const QStringView kSectionParts[] = {u"Description", u"Email", u"IM",      u"Phone", u"Mobile", u"Pager",
                                     u"Fax",         u"Company", u"Title", u"Other", u"Address"};

QString SectionName(int number, int part)
{
    return QStringLiteral("Section %1 - ").arg(number) + kSectionParts[part].toString();
}

QString UnderscoredName(const TQorContacts &, const C &c, const CsvColumn &)
{
    QStringList parts;
    for (QString part : {c.FirstName, c.MiddleName, c.LastName})
        if (!part.isEmpty())
            parts.append(part.replace(QLatin1Char(' '), QLatin1Char('_')));
    return parts.join(QLatin1Char(' '));
}

QString PreferredLocationEmail(const TQorContacts &, const C &c, const CsvColumn &)
{
    for (const Section &s : kSections)
        if (c.Preferred == s.description)
            return c.*s.email;
    return {};
}

void AddSection(std::vector<CsvColumn> &columns, int number, const Section &s)
{
    const auto text = [&](int part, Member field) {
        return field ? Text(SectionName(number, part), field) : Skip(SectionName(number, part));
    };
    CsvColumn address = Make(SectionName(number, 10), CsvOut::Address, CsvIn::None);
    address.address = s.address;
    columns.insert(columns.end(), {
        Const(SectionName(number, 0), s.description), text(1, s.email), text(2, s.im), text(3, s.phone),
        text(4, s.mobile), text(5, s.pager), text(6, s.fax), text(7, s.company), text(8, s.title),
        Skip(SectionName(number, 9)), address,
    });
}

// "Springfield, IL 62701" or "62701 Springfield".
void ReadCityLine(C &c, const CsvAddress &a, const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() == 3) {
        c.*a.city = words[0].section(kComma, 0, 0);
        if (words[1].size() == 2)
            c.*a.state = words[1];
        else
            c.*a.city += QLatin1Char(';') + words[1];
        c.*a.postalCode = words[2];
    } else if (words.size() == 2) {
        c.*a.city = words[0];
        c.*a.postalCode = words[1];
    }
}

void ReadSectionAddress(C &c, const CsvAddress &a, const QString &value)
{
    QStringList lines = value.split(kLineJoinMarker, Qt::SkipEmptyParts);
    if (lines.size() < 2 || lines.size() > 4)
        return;
    c.*a.country = lines.takeLast();
    ReadCityLine(c, a, lines.takeLast());
    if (lines.isEmpty())
        return;
    c.*a.street = lines[0];
    if (lines.size() == 2) {
        if (lines[1].contains(u"box", Qt::CaseInsensitive))
            c.*a.poBox = lines[1];
        else
            c.*a.street += QLatin1Char(';') + lines[1];
    }
}

// The service name before the first blank is dropped; a bare address stays whole.
QString InstantMessagingAddress(const QString &value)
{
    const qsizetype blank = value.indexOf(QLatin1Char(' '));
    return blank < 0 ? value : value.mid(blank + 1);
}

void ReadSection(CsvRecord &record, qsizetype base, const QString &general, bool &generalUsed)
{
    const QString description = record.Value(base);
    for (const Section &s : kSections) {
        if (description != s.description)
            continue;
        C &c = record.contact;
        c.*s.email = record.Value(base + 1);
        if ((c.*s.email).isEmpty() && !generalUsed) {
            c.*s.email = general;
            generalUsed = true;
        }
        c.*s.im = InstantMessagingAddress(record.Value(base + 2));
        c.*s.phone = record.Value(base + 3);
        c.*s.mobile = record.Value(base + 4);
        c.*s.pager = record.Value(base + 5);
        c.*s.fax = record.Value(base + 6);
        if (s.company) {
            c.*s.company = record.Value(base + 7);
            c.*s.title = record.Value(base + 8);
        }
        ReadSectionAddress(c, *s.address, record.Value(base + 10));
    }
}

bool ReadDeprecatedRecord(CsvRecord &record)
{
    C &c = record.contact;
    ReadFullName(record, record.Value(0));
    c.Notes = NotesFromCSV(record.Value(2), true);
    const QString general = record.Value(1);
    if (record.Count() < 13) {
        c.PersonalEmail = general;
        return true;
    }
    bool generalUsed = false;
    for (int section = 0; section < 3; ++section)
        ReadSection(record, 3 + 11 * section, general, generalUsed);
    if (!generalUsed)
        return true;
    for (const Section &s : kSections)
        if (c.*s.email == general) {
            c.Preferred = s.description.toString();
            break;
        }
    return true;
}

CsvLayout GoogleDeprecated()
{
    CsvLayout l = GoogleBase("ImportFromGoogleDeprecatedCSVFile");
    l.minFields = 3;
    l.maxFields = std::numeric_limits<qsizetype>::max();
    l.lineRole = DeprecatedLineRole;
    l.importRecord = ReadDeprecatedRecord;
    l.columns = {Computed(u"Name", UnderscoredName), Computed(u"E-mail", PreferredLocationEmail),
                 Notes(u"Notes").Quoted(CsvQuote::NonEmpty)};
    l.columns[0].identifies = l.columns[1].identifies = true; // read whole by ReadDeprecatedRecord
    for (int i = 0; i < 3; ++i)
        AddSection(l.columns, i + 1, kSections[i]);
    // The header names two more sections that records never carry.
    for (int number = 4; number <= 5; ++number)
        for (int part = 0; part < 11; ++part)
            l.headerTail += kComma + SectionName(number, part);
    return l;
}

} // namespace

const CsvLayout &GoogleCsvLayout() { return BuiltOnce<Google>(); }
const CsvLayout &GoogleDeprecatedCsvLayout() { return BuiltOnce<GoogleDeprecated>(); }

} // namespace cardolin
