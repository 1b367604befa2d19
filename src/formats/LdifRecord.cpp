#include "formats/LdifRecord.h"

#include "contacts/QorContacts.h"
#include "support/Clock.h"

namespace cardolin::ldif {

namespace {

using Text = QString TContactData::*;

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

const QChar kNotesJoin = QChar(0x00A4); // "¤"

// ---- Writing ---------------------------------------------------------------

// Values a parser would otherwise read differently (a leading blank, colon or
// "<", a trailing blank, a line break) go out in base64, as the format allows.
bool NeedsBase64(const QString &value)
{
    return value.startsWith(u' ') || value.startsWith(u':') || value.startsWith(u'<') || value.endsWith(u' ')
           || value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(0));
}

void Put(QStringList &lines, QLatin1StringView name, const QString &value)
{
    if (value.isEmpty())
        return;
    if (NeedsBase64(value))
        lines.append(name + L(":: ") + QString::fromLatin1(value.toUtf8().toBase64()));
    else
        lines.append(name + L(": ") + value);
}

// Characters with a meaning inside a distinguished name are escaped, so a
// company like "Smith, Jones" cannot break the record's name.
QString EscapeDn(const QString &value)
{
    QString out;
    for (QChar c : value) {
        if (QStringView(u",+\"\\<>;=").contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

QString FullName(const TContactData &c)
{
    if (!c.FirstName.isEmpty() && !c.LastName.isEmpty())
        return c.FirstName + u' ' + c.LastName;
    return c.FirstName.isEmpty() ? c.LastName : c.FirstName;
}

// Standard parsers refuse a name part with an empty value, so an absent
// address or name is left out rather than written as "mail=".
QString DistinguishedName(const QString &name, const QString &mail)
{
    if (name.isEmpty() && !mail.isEmpty())
        return L("mail=") + EscapeDn(mail);
    return L("cn=") + EscapeDn(name) + (mail.isEmpty() ? QString() : L(",mail=") + EscapeDn(mail));
}

QString FirstLine(const QString &street)
{
    return street.section(u';', 0, 0);
}

QString RestLines(const QString &street)
{
    const qsizetype at = street.indexOf(u';');
    return at < 0 ? QString() : street.mid(at + 1);
}

struct WriteRow
{
    QLatin1StringView name;
    QString (*value)(const TQorContacts &, const TContactData &);
};

#define FIELD(member) [](const TQorContacts &, const TContactData &c) { return c.member; }

const WriteRow kWriteRows[] = {
    {L("givenName"), FIELD(FirstName)},
    {L("sn"), FIELD(LastName)},
    {L("mozillaNickname"), FIELD(Nickname)},
    {L("company"), FIELD(Company)},
    {L("department"), FIELD(Department)},
    {L("title"), FIELD(JobTitle)},
    {L("street"), [](const TQorContacts &, const TContactData &c) { return FirstLine(c.WorkStreet); }},
    {L("mozillaWorkStreet2"), [](const TQorContacts &, const TContactData &c) { return RestLines(c.WorkStreet); }},
    {L("postOfficeBox"), FIELD(WorkPOBox)},
    {L("l"), FIELD(WorkCity)},
    {L("st"), FIELD(WorkStateProvince)},
    {L("postalCode"), FIELD(WorkPostalCode)},
    {L("c"), FIELD(WorkCountryRegion)},
    {L("telephoneNumber"), FIELD(WorkPhone)},
    {L("facsimileTelephoneNumber"), FIELD(WorkFax)},
    {L("mobile"),
     [](const TQorContacts &book, const TContactData &c) { return book.GetPreferredMobilePhoneFromContactData(&c); }},
    {L("pager"), FIELD(WorkPager)},
    {L("mail"), FIELD(WorkEmail)},
    {L("mozillaWorkUrl"), FIELD(WorkWebsite)},
    {L("homeStreet"), [](const TQorContacts &, const TContactData &c) { return FirstLine(c.HomeStreet); }},
    {L("mozillaHomeStreet2"), [](const TQorContacts &, const TContactData &c) { return RestLines(c.HomeStreet); }},
    {L("mozillaHomeLocalityName"), FIELD(HomeCity)},
    {L("mozillaHomeState"), FIELD(HomeStateProvince)},
    {L("mozillaHomePostalCode"), FIELD(HomePostalCode)},
    {L("mozillaHomeCountryName"), FIELD(HomeCountryRegion)},
    {L("homePhone"), FIELD(HomePhone)},
    {L("mozillaSecondEmail"), FIELD(PersonalEmail)},
    {L("mozillaHomeUrl"), FIELD(PersonalWebsite)},
    {L("description"), [](const TQorContacts &, const TContactData &c) { return c.Notes.join(kNotesJoin); }},
};

#undef FIELD

// ---- Reading ---------------------------------------------------------------

// Undoes the escaping of a name inside "dn" up to the first plain ",".
QString CommonNameOfDn(const QString &dn)
{
    const qsizetype at = dn.indexOf(L("cn="));
    if (at < 0)
        return {};
    QString name;
    for (qsizetype i = at + 3; i < dn.size() && dn[i] != u','; ++i) {
        if (dn[i] == u'\\' && i + 1 < dn.size())
            ++i;
        name += dn[i];
    }
    return name;
}

void ReadDn(TContactData &c, const QString &value)
{
    const QString name = CommonNameOfDn(value);
    const qsizetype blank = name.indexOf(u' ');
    if (blank < 0) {
        c.LastName = name;
        return;
    }
    c.FirstName = name.left(blank);
    c.LastName = name.mid(blank + 1);
}

void Append(QString &street, const QString &more)
{
    if (more.isEmpty())
        return;
    street = street.isEmpty() ? more : street + u';' + more;
}

// Mobile, pager and mail are work details when a company is already known.
void ByCompany(TContactData &c, Text work, Text personal, const QString &value)
{
    c.*(c.Company.isEmpty() ? personal : work) = value;
}

using Action = void (*)(TContactData &, const QString &);

struct ReadRule
{
    std::initializer_list<QLatin1StringView> names;
    Action action;
};

template<Text field>
void Store(TContactData &c, const QString &value)
{
    c.*field = value;
}

const ReadRule kReadRules[] = {
    {{L("dn")}, ReadDn},
    {{L("givenName")}, Store<&TContactData::FirstName>},
    {{L("sn")}, Store<&TContactData::LastName>},
    {{L("mozillaNickname"), L("xmozillanickname")}, Store<&TContactData::Nickname>},
    {{L("o")},
     [](TContactData &c, const QString &v) {
         if (c.Company.isEmpty())
             c.Company = v;
     }},
    {{L("company")}, Store<&TContactData::Company>},
    {{L("department")}, Store<&TContactData::Department>},
    {{L("title")}, Store<&TContactData::JobTitle>},
    {{L("telephoneNumber")}, Store<&TContactData::WorkPhone>},
    {{L("facsimileTelephoneNumber"), L("fax")}, Store<&TContactData::WorkFax>},
    {{L("mobile")},
     [](TContactData &c, const QString &v) {
         ByCompany(c, &TContactData::WorkMobilePhone, &TContactData::PersonalMobilePhone, v);
     }},
    {{L("pager")},
     [](TContactData &c, const QString &v) { ByCompany(c, &TContactData::WorkPager, &TContactData::PersonalPager, v); }},
    {{L("mail")},
     [](TContactData &c, const QString &v) { ByCompany(c, &TContactData::WorkEmail, &TContactData::PersonalEmail, v); }},
    {{L("mozillaWorkUrl")}, Store<&TContactData::WorkWebsite>},
    {{L("street")}, Store<&TContactData::WorkStreet>},
    {{L("mozillaWorkStreet2")}, [](TContactData &c, const QString &v) { Append(c.WorkStreet, v); }},
    {{L("postOfficeBox")}, Store<&TContactData::WorkPOBox>},
    {{L("l")}, Store<&TContactData::WorkCity>},
    {{L("st")}, Store<&TContactData::WorkStateProvince>},
    {{L("postalCode")}, Store<&TContactData::WorkPostalCode>},
    {{L("c")}, Store<&TContactData::WorkCountryRegion>},
    {{L("homeStreet")}, Store<&TContactData::HomeStreet>},
    {{L("mozillaHomeStreet2")}, [](TContactData &c, const QString &v) { Append(c.HomeStreet, v); }},
    {{L("mozillaHomeLocalityName")}, Store<&TContactData::HomeCity>},
    {{L("mozillaHomeState")}, Store<&TContactData::HomeStateProvince>},
    {{L("mozillaHomePostalCode")}, Store<&TContactData::HomePostalCode>},
    {{L("mozillaHomeCountryName")}, Store<&TContactData::HomeCountryRegion>},
    {{L("homePhone")}, Store<&TContactData::HomePhone>},
    {{L("mozillaSecondEmail"), L("xmozillasecondemail")},
     [](TContactData &c, const QString &v) { c.*(c.PersonalEmail.isEmpty() ? &TContactData::PersonalEmail : &TContactData::OtherEmail) = v; }},
    {{L("mozillaHomeUrl")}, Store<&TContactData::PersonalWebsite>},
    {{L("description")}, [](TContactData &c, const QString &v) { c.Notes += v.split(kNotesJoin); }},
};

// Long values of other writers are folded onto lines that begin with a blank.
QStringList Unfold(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines) {
        if (line.startsWith(u' ') && !out.isEmpty())
            out.last() += QStringView(line).mid(1);
        else
            out.append(line);
    }
    return out;
}

void ReadLine(TContactData &c, const QString &line)
{
    // The value is all after the first ": ", so "Note: call back" stays whole;
    // "name:: " marks a base64 value.
    const qsizetype at = line.indexOf(L(": "));
    if (at <= 0)
        return;
    QString name = line.left(at);
    QString value = line.mid(at + 2);
    if (name.endsWith(u':')) {
        name.chop(1);
        value = QString::fromUtf8(QByteArray::fromBase64(value.toLatin1()));
    }
    for (const ReadRule &rule : kReadRules)
        for (QLatin1StringView candidate : rule.names)
            if (name == candidate) {
                rule.action(c, value);
                return;
            }
}

} // namespace

QStringList WriteRecord(const TQorContacts &contacts, const TContactData &contact)
{
    QStringList lines{L("dn: ") + DistinguishedName(FullName(contact),
                                                    contacts.GetPreferredEmailFromContactData(&contact))};
    for (const char *objectClass : {"top", "person", "organizationalPerson", "inetOrgPerson", "mozillaAbPersonAlpha"})
        lines.append(L("objectclass: ") + L(objectClass));
    for (const WriteRow &row : kWriteRows)
        Put(lines, row.name, row.value(contacts, contact));
    return lines;
}

bool ReadRecord(const TQorContacts &contacts, const QStringList &lines, TContactData &contact)
{
    if (lines.isEmpty())
        return false;
    const TDateTime now = DateTimeToSerial(contacts.GetClock().NowUtc());
    contact.Accessed = now;
    contact.Modified = now;
    for (const QString &line : Unfold(lines))
        ReadLine(contact, line);
    return true;
}

} // namespace cardolin::ldif
