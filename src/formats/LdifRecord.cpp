#include "formats/LdifRecord.h"

#include "contacts/ContactNames.h"
#include "contacts/QorContacts.h"
#include "formats/TextFiles.h"
#include "support/Clock.h"
#include "support/ReadLimits.h"

#include <QHash>

namespace cardolin::ldif {

namespace {

using Text = QString TContactData::*;

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

const QChar kNotesJoin = QChar(0x00A4); // "¤"

// A value longer than this is cut, so a hostile file cannot grow one without
// bound.
constexpr qsizetype kMaxValue = limits::kMaxValueBytes;

// ---- Writing ---------------------------------------------------------------

// Only plain ASCII without a leading blank, colon or "<" and without a
// trailing blank may be written as it is; everything else, non-ASCII letters
// and line breaks included, goes out in base64.
bool NeedsBase64(const QString &value)
{
    if (value.startsWith(u' ') || value.startsWith(u':') || value.startsWith(u'<') || value.endsWith(u' '))
        return true;
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return true;
    return false;
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

QString BirthPart(const TContactData &c, const char *format)
{
    return c.Birthday == 0 ? QString() : SerialToDate(c.Birthday).toString(QLatin1StringView(format));
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
    {L("cn"),
     [](const TQorContacts &book, const TContactData &c) { return book.GetDisplayNameFromContactData(&c, dtInherited); }},
    {L("mozillaNickname"), FIELD(Nickname)},
    {L("company"), FIELD(Company)},
    // The standard name too, which readers that know no Mozilla names take.
    {L("o"), FIELD(Company)},
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
    // The first name is the one earlier versions read, the second Thunderbird's.
    {L("homeStreet"), [](const TQorContacts &, const TContactData &c) { return FirstLine(c.HomeStreet); }},
    {L("mozillaHomeStreet"), [](const TQorContacts &, const TContactData &c) { return FirstLine(c.HomeStreet); }},
    {L("mozillaHomeStreet2"), [](const TQorContacts &, const TContactData &c) { return RestLines(c.HomeStreet); }},
    {L("mozillaHomeLocalityName"), FIELD(HomeCity)},
    {L("mozillaHomeState"), FIELD(HomeStateProvince)},
    {L("mozillaHomePostalCode"), FIELD(HomePostalCode)},
    {L("mozillaHomeCountryName"), FIELD(HomeCountryRegion)},
    {L("homePhone"), FIELD(HomePhone)},
    {L("mozillaSecondEmail"), FIELD(PersonalEmail)},
    {L("mozillaHomeUrl"), FIELD(PersonalWebsite)},
    {L("birthyear"), [](const TQorContacts &, const TContactData &c) { return BirthPart(c, "yyyy"); }},
    {L("birthmonth"), [](const TQorContacts &, const TContactData &c) { return BirthPart(c, "MM"); }},
    {L("birthday"), [](const TQorContacts &, const TContactData &c) { return BirthPart(c, "dd"); }},
    // One value with real line breaks, as mail programs keep a multi-line note.
    {L("description"), [](const TQorContacts &, const TContactData &c) { return c.Notes.join(u'\n'); }},
};

#undef FIELD

// ---- Reading ---------------------------------------------------------------

// Undoes the escaping of a name inside "dn" up to the first plain ",".
QString CommonNameOfDn(const QString &dn)
{
    const qsizetype at = dn.indexOf(L("cn="), 0, Qt::CaseInsensitive);
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

void Append(QString &street, const QString &more)
{
    if (more.isEmpty())
        return;
    street = street.isEmpty() ? more : street + u';' + more;
}

// What one record holds beside the fields it sets directly.
struct Entry
{
    TContactData &c;
    QString dnName; // the "cn=" part of "dn"
    QString cn;
    QString birthYear, birthMonth, birthDay;
    bool given = false, family = false; // "givenName" and "sn" were read
    bool group = false;
    bool base64 = false; // the value being read was base64
};

// Mobile, pager and mail are work details when a company is already known.
void ByCompany(TContactData &c, Text work, Text personal, const QString &value)
{
    c.*(c.Company.isEmpty() ? personal : work) = value;
}

using Action = void (*)(Entry &, const QString &);

template<Text field>
void Store(Entry &e, const QString &value)
{
    e.c.*field = value;
}

template<Text field>
void StoreIfEmpty(Entry &e, const QString &value)
{
    if ((e.c.*field).isEmpty())
        e.c.*field = value;
}

template<Text field>
void AppendLine(Entry &e, const QString &value)
{
    Append(e.c.*field, value);
}

// Notes of earlier versions are joined by "¤"; other programs write real line
// breaks, and a base64 value is never the older form.
void ReadDescription(Entry &e, const QString &value)
{
    if (e.base64 || value.contains(u'\n') || value.contains(u'\r'))
        e.c.Notes += textfile::SplitValueLines(value);
    else
        e.c.Notes += value.split(kNotesJoin);
}

void ReadObjectClass(Entry &e, const QString &value)
{
    for (const char *group : {"groupOfNames", "groupOfUniqueNames", "mozillaAbList"})
        if (value.trimmed().compare(L(group), Qt::CaseInsensitive) == 0)
            e.group = true;
}

struct ReadRule
{
    std::initializer_list<const char *> names;
    Action action;
};

const ReadRule kReadRules[] = {
    {{"dn"}, [](Entry &e, const QString &v) { e.dnName = CommonNameOfDn(v).trimmed(); }},
    {{"objectclass"}, ReadObjectClass},
    {{"cn", "commonName"}, [](Entry &e, const QString &v) { e.cn = v; }},
    {{"givenName"}, [](Entry &e, const QString &v) { e.c.FirstName = v, e.given = true; }},
    {{"sn", "surname"}, [](Entry &e, const QString &v) { e.c.LastName = v, e.family = true; }},
    {{"mozillaNickname", "xmozillanickname", "nickname"}, Store<&TContactData::Nickname>},
    {{"o", "organization", "organizationName"}, StoreIfEmpty<&TContactData::Company>},
    {{"company"}, Store<&TContactData::Company>},
    {{"department"}, Store<&TContactData::Department>},
    {{"ou", "orgUnit"}, StoreIfEmpty<&TContactData::Department>},
    {{"title"}, Store<&TContactData::JobTitle>},
    {{"telephoneNumber"}, Store<&TContactData::WorkPhone>},
    {{"facsimileTelephoneNumber", "fax"}, Store<&TContactData::WorkFax>},
    {{"mobile", "cellphone"},
     [](Entry &e, const QString &v) {
         ByCompany(e.c, &TContactData::WorkMobilePhone, &TContactData::PersonalMobilePhone, v);
     }},
    {{"pager", "pagerphone"},
     [](Entry &e, const QString &v) { ByCompany(e.c, &TContactData::WorkPager, &TContactData::PersonalPager, v); }},
    {{"mail"},
     [](Entry &e, const QString &v) { ByCompany(e.c, &TContactData::WorkEmail, &TContactData::PersonalEmail, v); }},
    {{"mozillaWorkUrl", "workurl"}, Store<&TContactData::WorkWebsite>},
    {{"street", "streetaddress"}, Store<&TContactData::WorkStreet>},
    {{"mozillaWorkStreet2"}, AppendLine<&TContactData::WorkStreet>},
    {{"postOfficeBox"}, Store<&TContactData::WorkPOBox>},
    {{"l", "locality"}, Store<&TContactData::WorkCity>},
    {{"st"}, Store<&TContactData::WorkStateProvince>},
    {{"postalCode"}, Store<&TContactData::WorkPostalCode>},
    {{"c", "countryname"}, Store<&TContactData::WorkCountryRegion>},
    {{"homeStreet", "mozillaHomeStreet", "homePostalAddress"}, Store<&TContactData::HomeStreet>},
    {{"mozillaHomeStreet2", "mozillaHomePostalAddress2"}, AppendLine<&TContactData::HomeStreet>},
    {{"mozillaHomeLocalityName"}, Store<&TContactData::HomeCity>},
    {{"mozillaHomeState"}, Store<&TContactData::HomeStateProvince>},
    {{"mozillaHomePostalCode"}, Store<&TContactData::HomePostalCode>},
    {{"mozillaHomeCountryName"}, Store<&TContactData::HomeCountryRegion>},
    {{"homePhone"}, Store<&TContactData::HomePhone>},
    {{"mozillaSecondEmail", "xmozillasecondemail"},
     [](Entry &e, const QString &v) {
         e.c.*(e.c.PersonalEmail.isEmpty() ? &TContactData::PersonalEmail : &TContactData::OtherEmail) = v;
     }},
    {{"mozillaHomeUrl", "homeurl"}, Store<&TContactData::PersonalWebsite>},
    {{"nsAIMid", "nscpaimscreenname"}, Store<&TContactData::PersonalIM>},
    {{"birthyear"}, [](Entry &e, const QString &v) { e.birthYear = v; }},
    {{"birthmonth"}, [](Entry &e, const QString &v) { e.birthMonth = v; }},
    {{"birthday"}, [](Entry &e, const QString &v) { e.birthDay = v; }},
    {{"description"}, ReadDescription},
};

// Attribute names are compared without regard to letter case.
const QHash<QString, Action> &ReadActions()
{
    static const QHash<QString, Action> actions = [] {
        QHash<QString, Action> a;
        for (const ReadRule &rule : kReadRules)
            for (const char *name : rule.names)
                a.insert(QString::fromLatin1(name).toLower(), rule.action);
        return a;
    }();
    return actions;
}

// Long values are folded onto lines that begin with one blank; comment lines
// (folded or not) carry nothing.
QStringList Unfold(const QList<QStringView> &lines)
{
    QStringList out;
    for (const QStringView line : lines) {
        if (line.startsWith(u' ') && !out.isEmpty()) {
            if (out.last().size() < kMaxValue)
                out.last() += line.mid(1);
        } else {
            out.append(line.left(kMaxValue).toString());
        }
    }
    out.removeIf([](const QString &line) { return line.startsWith(u'#'); });
    return out;
}

QString DecodeBase64(QStringView text)
{
    return QString::fromUtf8(QByteArray::fromBase64(text.trimmed().toLatin1()));
}

// "name: value", "name:: base64" or "name:< url" (not read); the name may
// carry options after ";".
void ReadLine(Entry &e, const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0)
        return;
    const QString name = line.left(colon).section(u';', 0, 0).trimmed().toLower();
    QStringView rest = QStringView(line).mid(colon + 1);
    e.base64 = rest.startsWith(u':');
    if (rest.startsWith(u'<'))
        return;
    // Only the blanks after the colon are padding; trailing ones are text.
    qsizetype start = 0;
    while (!e.base64 && start < rest.size() && rest[start] == u' ')
        ++start;
    const QString value = e.base64 ? DecodeBase64(rest.mid(1)) : rest.mid(start).toString();
    if (const Action action = ReadActions().value(name))
        action(e, value);
}

// The full name fills the name parts that "givenName" and "sn" left out,
// without repeating the one given: "dn: cn=Jane" with "givenName: Jane" is
// Jane alone, and "cn=Mary Ann Lee" with "givenName: Mary Ann" gives Lee.
void FillNames(Entry &e, const QString &full)
{
    TContactData &c = e.c;
    if (full.isEmpty() || (e.given && e.family))
        return;
    TContactData split;
    SetNamesFromFullName(split, full);
    if (!e.given && !e.family) {
        c.FirstName = split.FirstName, c.LastName = split.LastName;
    } else if (e.given) {
        if (full.startsWith(c.FirstName + u' '))
            c.LastName = full.mid(c.FirstName.size() + 1).trimmed();
        else if (full != c.FirstName)
            c.LastName = split.LastName;
    } else {
        if (full.endsWith(u' ' + c.LastName))
            c.FirstName = full.chopped(c.LastName.size() + 1).trimmed();
        else if (full != c.LastName)
            c.FirstName = split.FirstName;
    }
}

void Finish(Entry &e)
{
    FillNames(e, e.dnName.isEmpty() ? e.cn.trimmed() : e.dnName);
    const QDate birth(e.birthYear.toInt(), e.birthMonth.toInt(), e.birthDay.toInt());
    if (!e.birthYear.isEmpty() && birth.isValid())
        e.c.Birthday = DateToSerial(birth);
}

} // namespace

QStringList WriteRecord(const TQorContacts &contacts, const TContactData &contact)
{
    QStringList lines;
    const QString dn = DistinguishedName(FullName(contact), contacts.GetPreferredEmailFromContactData(&contact));
    Put(lines, L("dn"), dn);
    for (const char *objectClass : {"top", "person", "organizationalPerson", "inetOrgPerson", "mozillaAbPersonAlpha"})
        lines.append(L("objectclass: ") + L(objectClass));
    for (const WriteRow &row : kWriteRows)
        Put(lines, row.name, row.value(contacts, contact));
    return lines;
}

bool ReadRecord(const TQorContacts &contacts, const QList<QStringView> &lines, TContactData &contact)
{
    if (lines.isEmpty())
        return false;
    // Read into a copy, so that a group entry leaves the contact alone.
    TContactData copy = contact;
    Entry entry{copy, {}, {}, {}, {}, {}, false, false, false, false};
    for (const QString &line : Unfold(lines))
        ReadLine(entry, line);
    if (entry.group)
        return false;
    Finish(entry);
    contact = std::move(copy);
    const TDateTime now = DateTimeToSerial(contacts.GetClock().NowUtc());
    contact.Accessed = now;
    contact.Modified = now;
    return true;
}

} // namespace cardolin::ldif
