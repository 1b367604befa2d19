// The layouts that today's address books export, read by column name: Google
// Contacts, whose numbered label/value groups grow with the data, and
// Thunderbird's address book.

#include "formats/CsvLayouts.h"

#include "contacts/QorContacts.h"
#include "formats/CsvColumns.h"
#include "formats/CsvText.h"

#include <span>

namespace cardolin {

using namespace csvcolumns;

namespace {

const QString kValueSeparator = QStringLiteral(" ::: ");

// ---- labels ----------------------------------------------------------------

// A field a labelled value may land in, the label that names it, and the
// Preferred value a starred label sets.
struct Slot
{
    QStringView label;
    Member field;
    QStringView preferred = {};
};

// "* Home" marks the primary entry; labels compare without it, ignoring case.
QString PlainLabel(QString label, bool *starred = nullptr)
{
    label = label.trimmed();
    const bool star = label.startsWith(QLatin1Char('*'));
    if (starred)
        *starred = star;
    return (star ? label.mid(1).trimmed() : label).toCaseFolded();
}

// The slot the label names, else the default one; when that is taken, the first
// free slot of the list. Null when all are taken.
const Slot *ChooseSlot(const C &c, std::span<const Slot> slots, const QString &label, qsizetype fallback)
{
    const Slot *chosen = &slots[fallback];
    for (const Slot &slot : slots)
        if (label == slot.label) {
            chosen = &slot;
            break;
        }
    if ((c.*chosen->field).isEmpty())
        return chosen;
    for (const Slot &slot : slots)
        if ((c.*slot.field).isEmpty())
            return &slot;
    return nullptr;
}

// Google joins several values of one label with " ::: ".
void PlaceValues(CsvRecord &record, std::span<const Slot> slots, qsizetype labelColumn, qsizetype valueColumn,
                 qsizetype fallback)
{
    const QString values = record.Value(valueColumn);
    if (values.isEmpty())
        return;
    C &c = record.contact;
    bool starred = false;
    const QString label = PlainLabel(record.Value(labelColumn), &starred);
    for (const QString &value : values.split(kValueSeparator)) {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty())
            continue;
        const Slot *slot = ChooseSlot(c, slots, label, fallback);
        if (!slot)
            return;
        c.*slot->field = trimmed;
        if (starred && !slot->preferred.isEmpty())
            c.Preferred = slot->preferred.toString();
        starred = false;
    }
}

const Slot kEmailSlots[] = {
    {u"home", &C::PersonalEmail, u"Personal"},
    {u"work", &C::WorkEmail, u"Work"},
    {u"other", &C::OtherEmail, u"Other"},
};

const Slot kWebsiteSlots[] = {
    {u"home", &C::PersonalWebsite}, {u"work", &C::WorkWebsite},     {u"other", &C::OtherWebsite},
    {u"home page", &C::PersonalWebsite}, {u"homepage", &C::PersonalWebsite}, {u"blog", &C::PersonalWebsite},
    {u"profile", &C::PersonalWebsite},
};

const Slot kMessengerSlots[] = {
    {u"home", &C::PersonalIM},
    {u"work", &C::WorkIM},
    {u"other", &C::OtherIM},
};

void ReadEmailGroup(CsvRecord &record, qsizetype column)
{
    PlaceValues(record, kEmailSlots, column, column + 1, 2);
}

void ReadWebsiteGroup(CsvRecord &record, qsizetype column)
{
    PlaceValues(record, kWebsiteSlots, column, column + 1, 2);
}

// Label, service, value.
void ReadMessengerGroup(CsvRecord &record, qsizetype column)
{
    PlaceValues(record, kMessengerSlots, column, column + 2, 2);
}

// Telephones of one kind take each other's place when the named one is taken.
void ReadPhoneGroup(CsvRecord &record, qsizetype column)
{
    static const Slot kMobiles[] = {{u"mobile", &C::PersonalMobilePhone},
                                    {u"work mobile", &C::WorkMobilePhone},
                                    {u"other mobile", &C::OtherMobilePhone}};
    static const Slot kFaxes[] = {
        {u"home fax", &C::HomeFax}, {u"work fax", &C::WorkFax}, {u"other fax", &C::OtherFax}};
    static const Slot kPagers[] = {
        {u"pager", &C::PersonalPager}, {u"work pager", &C::WorkPager}, {u"other pager", &C::OtherPager}};
    static const Slot kVoices[] = {{u"home", &C::HomePhone}, {u"work", &C::WorkPhone}, {u"other", &C::OtherPhone},
                                   {u"main", &C::HomePhone}};
    if (record.Raw(column + 1).isEmpty())
        return;
    const QString label = PlainLabel(record.Value(column));
    std::span<const Slot> slots = kVoices;
    if (label.contains(u"fax"))
        slots = kFaxes;
    else if (label.contains(u"pager"))
        slots = kPagers;
    else if (label.contains(u"mobile") || label.contains(u"cell"))
        slots = kMobiles;
    // Unnamed numbers go to the other telephone first.
    const qsizetype fallback = slots.data() == kVoices ? 2 : 0;
    PlaceValues(record, slots, column, column + 1, fallback);
}

// ---- labels of the contact, postal addresses, events, relations ------------

// Google's system labels; the first two are the program's "Contacts" and
// "Starred" categories both ways.
const std::pair<QStringView, QStringView> kSystemLabels[] = {
    {u"* myContacts", u"Contacts"}, {u"* starred", u"Starred"}, {u"* friends", u"Friends"},
    {u"* family", u"Family"},       {u"* coworkers", u"Coworkers"},
};

QString Labels(const TQorContacts &, const C &c, const CsvColumn &)
{
    QStringList labels;
    for (QString category : c.Categories) {
        for (qsizetype i = 0; i < 2; ++i)
            if (category == kSystemLabels[i].second)
                category = kSystemLabels[i].first.toString();
        if (!labels.contains(category))
            labels.append(category);
    }
    return labels.join(kValueSeparator);
}

void ReadLabels(CsvRecord &record, qsizetype column)
{
    TSortedStringList &categories = record.contact.Categories;
    for (QString label : record.Value(column).split(kValueSeparator)) {
        label = label.trimmed();
        for (const auto &[system, name] : kSystemLabels)
            if (label.compare(system, Qt::CaseInsensitive) == 0)
                label = name.toString();
        if (label.startsWith(QLatin1Char('*')))
            label = label.mid(1).trimmed();
        if (!label.isEmpty() && categories.IndexOf(label) < 0)
            categories.Add(label);
    }
    MergeIntoList(categories.Entries(), record.categories);
}

// Label, formatted, street, city, PO box, region, postal code, country, extended.
// The parts win over the formatted text, which is kept as the street when it
// comes alone.
void ReadAddressGroup(CsvRecord &record, qsizetype column)
{
    static const CsvAddress *const kAddresses[] = {&kHomeAddress, &kWorkAddress, &kOtherAddress};
    C &c = record.contact;
    bool starred = false;
    const QString label = PlainLabel(record.Value(column), &starred);
    const CsvAddress *a = label == u"work" ? &kWorkAddress : label == u"other" ? &kOtherAddress : &kHomeAddress;
    for (const CsvAddress *free : kAddresses)
        if (HasAddress(c, *a) && !HasAddress(c, *free))
            a = free;
    if (HasAddress(c, *a))
        return;
    QStringList street;
    for (qsizetype part : {column + 2, column + 8})
        if (const QString line = StreetFromCSV(record.Value(part)); !line.isEmpty())
            street.append(line);
    c.*a->street = street.join(QLatin1Char(';'));
    c.*a->city = record.Value(column + 3);
    c.*a->poBox = record.Value(column + 4);
    c.*a->state = record.Value(column + 5);
    c.*a->postalCode = record.Value(column + 6);
    c.*a->country = record.Value(column + 7);
    if (!HasAddress(c, *a))
        c.*a->street = StreetFromCSV(record.Value(column + 1));
    if (starred && HasAddress(c, *a))
        c.Preferred = a->preferred.toString();
}

void ReadEvent(CsvRecord &record, qsizetype column)
{
    if (PlainLabel(record.Value(column)) != u"anniversary" || record.contact.Anniversary != 0)
        return;
    const QDate date = QDate::fromString(record.Value(column + 1), QStringLiteral("yyyy-MM-dd"));
    record.contact.Anniversary = DateToSerial(date);
}

void ReadRelation(CsvRecord &record, qsizetype column)
{
    const QString label = PlainLabel(record.Value(column));
    if ((label == u"spouse" || label == u"partner" || label == u"domestic partner")
        && record.contact.SignificantOther.isEmpty())
        record.contact.SignificantOther = record.Value(column + 1);
}

// ---- Google Contacts columns -----------------------------------------------

QString GroupName(QStringView group, int number, QStringView part)
{
    return QStringLiteral("%1 %2 - %3").arg(group).arg(number).arg(part);
}

CsvColumn LabelColumn(QString name, QStringView label, void (*read)(CsvRecord &, qsizetype), Member field,
                      QStringView preferred = {})
{
    CsvColumn c = Custom(Make(name, CsvOut::Label, CsvIn::None, field), read);
    c.arg = label;
    c.arg2 = preferred;
    c.quote = CsvQuote::None;
    return c;
}

// A value its group's label column reads.
CsvColumn GroupValue(QString name, Member field)
{
    return Make(name, CsvOut::Text, CsvIn::None, field);
}

void AddEmailGroups(std::vector<CsvColumn> &columns)
{
    for (int i = 0; i < 3; ++i) {
        const Slot &slot = kEmailSlots[i];
        CsvColumn label = LabelColumn(GroupName(u"E-mail", i + 1, u"Label"), {}, ReadEmailGroup, slot.field,
                                      slot.preferred);
        CsvColumn value = GroupValue(GroupName(u"E-mail", i + 1, u"Value"), slot.field);
        label.identifies = value.identifies = true;
        columns.insert(columns.end(), {label, value});
    }
}

void SetLabelTexts(std::vector<CsvColumn> &columns, qsizetype first, qsizetype step)
{
    static const QStringView kLabels[] = {u"Home", u"Work", u"Other"};
    for (int i = 0; i < 3; ++i)
        columns[first + i * step].arg = kLabels[i];
}

void AddPhoneGroups(std::vector<CsvColumn> &columns)
{
    for (int i = 0; i < int(std::size(kPhones)); ++i) {
        CsvColumn label = Custom(Computed(GroupName(u"Phone", i + 1, u"Label"), PhoneLabel), ReadPhoneGroup);
        CsvColumn number = Computed(GroupName(u"Phone", i + 1, u"Value"), PhoneNumber);
        label.index = number.index = i;
        columns.insert(columns.end(), {label.Quoted(CsvQuote::None), number});
    }
}

void AddAddressGroups(std::vector<CsvColumn> &columns)
{
    const CsvAddress *addresses[] = {&kHomeAddress, &kWorkAddress, &kOtherAddress};
    for (int i = 0; i < 3; ++i) {
        const CsvAddress &a = *addresses[i];
        const auto name = [i](QStringView part) { return GroupName(u"Address", i + 1, part); };
        CsvColumn label = LabelColumn(name(u"Label"), {}, ReadAddressGroup, nullptr);
        label.address = &a;
        CsvColumn formatted = Make(name(u"Formatted"), CsvOut::Address, CsvIn::None);
        formatted.address = &a;
        columns.insert(columns.end(), {
            label, formatted, Make(name(u"Street"), CsvOut::Street, CsvIn::None, a.street),
            GroupValue(name(u"City"), a.city), GroupValue(name(u"PO Box"), a.poBox),
            GroupValue(name(u"Region"), a.state), GroupValue(name(u"Postal Code"), a.postalCode),
            GroupValue(name(u"Country"), a.country), Skip(name(u"Extended Address")),
        });
    }
}

void AddWebsiteAndMessengerGroups(std::vector<CsvColumn> &columns)
{
    const qsizetype websites = qsizetype(columns.size());
    for (int i = 0; i < 3; ++i) {
        columns.push_back(LabelColumn(GroupName(u"Website", i + 1, u"Label"), {}, ReadWebsiteGroup,
                                      kWebsiteSlots[i].field));
        columns.push_back(GroupValue(GroupName(u"Website", i + 1, u"Value"), kWebsiteSlots[i].field));
    }
    SetLabelTexts(columns, websites, 2);
    const qsizetype messengers = qsizetype(columns.size());
    for (int i = 0; i < 3; ++i) {
        columns.push_back(LabelColumn(GroupName(u"IM", i + 1, u"Label"), {}, ReadMessengerGroup,
                                      kMessengerSlots[i].field));
        columns.push_back(Skip(GroupName(u"IM", i + 1, u"Service")));
        columns.push_back(GroupValue(GroupName(u"IM", i + 1, u"Value"), kMessengerSlots[i].field));
    }
    SetLabelTexts(columns, messengers, 3);
}

CsvLayout GoogleContacts()
{
    CsvLayout l = NewLayout("ImportFromGoogleContactsCSVFile", u',', CsvEncoding::Utf8, CsvQuote::IfContains, false);
    l.byName = true;
    l.mergeVocabulary = true;
    l.lineRole = AnyRecordLine;
    l.columns = {
        Text(u"First Name", &C::FirstName), Text(u"Middle Name", &C::MiddleName), Text(u"Last Name", &C::LastName),
        Skip(u"Phonetic First Name"), Skip(u"Phonetic Middle Name"), Skip(u"Phonetic Last Name"),
        Text(u"Name Prefix", &C::Title), Text(u"Name Suffix", &C::Suffix), Text(u"Nickname", &C::Nickname),
        Skip(u"File As"), Text(u"Organization Name", &C::Company), Text(u"Organization Title", &C::JobTitle),
        Text(u"Organization Department", &C::Department), IsoDate(u"Birthday", &C::Birthday), Notes(u"Notes"),
        Skip(u"Photo"), Custom(Computed(u"Labels", Labels), ReadLabels),
    };
    const qsizetype emails = qsizetype(l.columns.size());
    AddEmailGroups(l.columns);
    SetLabelTexts(l.columns, emails, 2);
    AddPhoneGroups(l.columns);
    const qsizetype addresses = qsizetype(l.columns.size());
    AddAddressGroups(l.columns);
    SetLabelTexts(l.columns, addresses, 9);
    AddWebsiteAndMessengerGroups(l.columns);
    CsvColumn event = LabelColumn(QStringLiteral("Event 1 - Label"), u"Anniversary", ReadEvent, nullptr);
    event.date = &C::Anniversary;
    l.columns.insert(l.columns.end(), {
        event, IsoDate(u"Event 1 - Value", &C::Anniversary).Importing(CsvIn::None),
        LabelColumn(QStringLiteral("Relation 1 - Label"), u"Spouse", ReadRelation, &C::SignificantOther),
        GroupValue(QStringLiteral("Relation 1 - Value"), &C::SignificantOther),
    });
    return l;
}

// ---- Thunderbird -----------------------------------------------------------

// A display name stands in for the names only when the file has none.
void ReadDisplayName(CsvRecord &record, qsizetype column)
{
    C &c = record.contact;
    if (c.FirstName.isEmpty() && c.LastName.isEmpty())
        record.contacts.BreakFullNameString(record.Value(column), c.Title, c.FirstName, c.MiddleName, c.LastName,
                                            c.Suffix);
}

// Thunderbird has two addresses where a contact has three: the first two set
// ones, read back as the personal and the work address.
QString NthEmail(const TQorContacts &, const C &c, const CsvColumn &column)
{
    int n = column.index;
    for (Member field : {&C::PersonalEmail, &C::WorkEmail, &C::OtherEmail})
        if (!(c.*field).isEmpty() && n-- == 0)
            return c.*field;
    return {};
}

CsvColumn NthEmailColumn(QStringView name, int n)
{
    CsvColumn c = Computed(name, NthEmail);
    c.index = n;
    return c;
}

// The street's first line goes in the first column, the rest in the second.
QString StreetAfterFirstLine(const TQorContacts &, const C &c, const CsvColumn &column)
{
    QString street = c.*column.text;
    street.replace(QStringLiteral("\r\n"), QStringLiteral(";")).replace(QLatin1Char('\r'), QLatin1Char(';'));
    return street.replace(QLatin1Char('\n'), QLatin1Char(';')).section(QLatin1Char(';'), 1);
}

void AddThunderbirdAddress(std::vector<CsvColumn> &columns, QStringView place, const CsvAddress &a)
{
    const auto name = [place](QStringView part) { return place.toString() + QLatin1Char(' ') + part.toString(); };
    CsvColumn first = Make(name(u"Address"), CsvOut::StreetLine, CsvIn::StreetLines, a.street);
    first.span = 2;
    CsvColumn rest = Computed(name(u"Address 2"), StreetAfterFirstLine);
    rest.text = a.street;
    columns.insert(columns.end(), {first, rest, Text(name(u"City"), a.city), Text(name(u"State"), a.state),
                                   Text(name(u"ZipCode"), a.postalCode), Text(name(u"Country"), a.country)});
}

QString BirthPart(const TQorContacts &, const C &c, const CsvColumn &column)
{
    const QDate date = SerialToDate(c.Birthday);
    if (c.Birthday == 0 || !date.isValid())
        return {};
    return QString::number(column.index == 0 ? date.year() : column.index == 1 ? date.month() : date.day());
}

// Year, month and day columns; a birthday without a year cannot be kept.
void ReadBirthDate(CsvRecord &record, qsizetype column)
{
    const QDate date(record.Value(column).toInt(), record.Value(column + 1).toInt(), record.Value(column + 2).toInt());
    record.contact.Birthday = DateToSerial(date);
}

CsvLayout Thunderbird()
{
    CsvLayout l = NewLayout("ImportFromThunderbirdCSVFile", u',', CsvEncoding::Utf8, CsvQuote::IfContains, false);
    l.byName = true;
    l.lineRole = AnyRecordLine;
    l.companyColumn = 26;
    CsvColumn display = Custom(Computed(u"Display Name", DisplayName), ReadDisplayName);
    display.identifies = true;
    l.columns = {
        Text(u"First Name", &C::FirstName), Text(u"Last Name", &C::LastName), display,
        Text(u"Nickname", &C::Nickname), NthEmailColumn(u"Primary Email", 0).Into(&C::PersonalEmail),
        NthEmailColumn(u"Secondary Email", 1).Into(&C::WorkEmail), Text(u"Screen Name", &C::PersonalIM),
        Text(u"Work Phone", &C::WorkPhone), Text(u"Home Phone", &C::HomePhone), AnyFax(u"Fax Number"),
        CompanyPager(u"Pager Number"), CompanyMobile(u"Mobile Number"),
    };
    AddThunderbirdAddress(l.columns, u"Home", kHomeAddress);
    AddThunderbirdAddress(l.columns, u"Work", kWorkAddress);
    l.columns.insert(l.columns.end(), {Text(u"Job Title", &C::JobTitle), Text(u"Department", &C::Department),
                                       Text(u"Organization", &C::Company), Text(u"Web Page 1", &C::WorkWebsite),
                                       Text(u"Web Page 2", &C::PersonalWebsite)});
    for (int part = 0; part < 3; ++part) {
        const QStringView names[] = {u"Birth Year", u"Birth Month", u"Birth Day"};
        CsvColumn c = Computed(names[part], BirthPart);
        c.index = part;
        l.columns.push_back(part == 0 ? Custom(c, ReadBirthDate) : c);
    }
    for (QStringView custom : {u"Custom 1", u"Custom 2", u"Custom 3", u"Custom 4"})
        l.columns.push_back(Skip(custom));
    l.columns.push_back(Notes(u"Notes"));
    return l;
}

} // namespace

const CsvLayout &GoogleContactsCsvLayout() { return BuiltOnce<GoogleContacts>(); }
const CsvLayout &ThunderbirdCsvLayout() { return BuiltOnce<Thunderbird>(); }

} // namespace cardolin
