#include "formats/VCardCard.h"

#include "contacts/ContactsBookFile.h"
#include "contacts/QorContacts.h"
#include "contacts/ReferenceTables.h"
#include "support/Clock.h"

#include <array>

namespace cardolin::vcard {

namespace {

using Text = QString TContactData::*;

const QString kSoftBreak = QStringLiteral("=0D=0A=");
const QString kQuotedPrintable = QStringLiteral("ENCODING=QUOTED-PRINTABLE");

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

// One postal location of a contact, with the Preferred value that names it.
struct Location
{
    QLatin1StringView preferred;
    Text street, poBox, city, state, postalCode, country;
};

const Location kWork{L("Work"), &TContactData::WorkStreet, &TContactData::WorkPOBox, &TContactData::WorkCity,
                     &TContactData::WorkStateProvince, &TContactData::WorkPostalCode,
                     &TContactData::WorkCountryRegion};
const Location kHome{L("Personal"), &TContactData::HomeStreet, &TContactData::HomePOBox, &TContactData::HomeCity,
                     &TContactData::HomeStateProvince, &TContactData::HomePostalCode,
                     &TContactData::HomeCountryRegion};
const Location kOther{L("Other"), &TContactData::OtherStreet, &TContactData::OtherPOBox, &TContactData::OtherCity,
                      &TContactData::OtherStateProvince, &TContactData::OtherPostalCode,
                      &TContactData::OtherCountryRegion};

// ---- Writing ---------------------------------------------------------------

bool IsBlank(const QString &value)
{
    for (QChar c : value)
        if (c != u';')
            return false;
    return true;
}

void Put(QStringList &lines, const QString &name, const QString &value)
{
    if (!IsBlank(value))
        lines.append(name + u':' + value);
}

QString Stamp(TDateTime serial, bool withTime)
{
    const QDateTime at = SerialToUtc(serial);
    return at.date().toString(u"yyyyMMdd") + u'T' + (withTime ? at.time().toString(u"hhmmss") : L("000000")) + u'Z';
}

QString PrefSuffix(const TContactData &c, const Location &loc)
{
    return c.Preferred == loc.preferred ? QStringLiteral(";PREF") : QString();
}

// A street with ";" spans several lines joined by the soft line break, which is
// how Outlook carries multi-line streets.
void PutAddress(QStringList &lines, const QString &name, const TContactData &c, const Location &loc)
{
    const QString &street = c.*loc.street;
    const QString tail = u';' + c.*loc.city + u';' + c.*loc.state + u';' + c.*loc.postalCode + u';' + c.*loc.country;
    if (!street.contains(u';')) {
        Put(lines, name, c.*loc.poBox + L(";;") + street + tail);
        return;
    }
    const QStringList parts = street.split(u';');
    lines.append(name + u';' + kQuotedPrintable + u':' + c.*loc.poBox + L(";;") + parts.first() + kSoftBreak);
    for (qsizetype i = 1; i + 1 < parts.size(); ++i)
        lines.append(parts[i] + kSoftBreak);
    lines.append(parts.last() + tail);
}

void PutNotes(QStringList &lines, const QStringList &notes)
{
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const QString entry = i + 1 < notes.size() ? notes[i] + kSoftBreak : notes[i];
        lines.append(i == 0 ? QStringLiteral("NOTE;ENCODING=QUOTED-PRINTABLE:") + entry : entry);
    }
}

QString EmailName(const TContactData &c, const Location &loc)
{
    return c.Preferred == loc.preferred ? QStringLiteral("EMAIL;PREF;INTERNET") : QStringLiteral("EMAIL;INTERNET");
}

QString GenderCode(const QString &gender)
{
    static const std::array<QLatin1StringView, 3> kGenders{L("Unspecified"), L("Female"), L("Male")};
    for (size_t i = 0; i < kGenders.size(); ++i)
        if (gender == kGenders[i])
            return QString::number(i);
    return {};
}

QString FirstNonEmpty(std::initializer_list<QString> values)
{
    for (const QString &v : values)
        if (!v.isEmpty())
            return v;
    return {};
}

void PutIdentity(QStringList &lines, const TQorContacts &contacts, const TContactData &c)
{
    const QString language = LanguageTagOfContact(c);
    Put(lines, language.isEmpty() ? QStringLiteral("N") : QStringLiteral("N;LANGUAGE=") + language,
        c.LastName + u';' + c.FirstName + u';' + c.MiddleName + u';' + c.Title);
    Put(lines, QStringLiteral("FN"), contacts.GetDisplayNameFromContactData(&c, dtInherited));
    Put(lines, QStringLiteral("NICKNAME"), c.Nickname);
    Put(lines, QStringLiteral("TEL;WORK;CELL;VOICE"), c.WorkMobilePhone);
    const bool onlyPersonalMobile = c.WorkMobilePhone.isEmpty() && c.OtherMobilePhone.isEmpty();
    Put(lines, onlyPersonalMobile ? QStringLiteral("TEL;CELL;VOICE") : QStringLiteral("TEL;HOME;CELL;VOICE"),
        c.PersonalMobilePhone);
    Put(lines, QStringLiteral("TEL;OTHER;CELL;VOICE"), c.OtherMobilePhone);
    Put(lines, QStringLiteral("X-MS-IMADDRESS"), FirstNonEmpty({c.WorkIM, c.PersonalIM, c.OtherIM}));
    Put(lines, QStringLiteral("ORG"), c.Company + u';' + c.Department);
    Put(lines, QStringLiteral("TITLE"), c.JobTitle);
    Put(lines, QStringLiteral("ROLE"), c.Role);
}

void PutWork(QStringList &lines, const TContactData &c)
{
    PutAddress(lines, QStringLiteral("ADR;WORK") + PrefSuffix(c, kWork), c, kWork);
    Put(lines, QStringLiteral("TEL;WORK;VOICE"), c.WorkPhone);
    Put(lines, QStringLiteral("URL;WORK"), c.WorkWebsite);
    Put(lines, EmailName(c, kWork), c.WorkEmail);
    const bool onlyWorkPager = c.PersonalPager.isEmpty() && c.OtherPager.isEmpty();
    Put(lines, onlyWorkPager ? QStringLiteral("TEL;PAGER") : QStringLiteral("TEL;WORK;PAGER"), c.WorkPager);
    Put(lines, QStringLiteral("TEL;HOME;PAGER"), c.PersonalPager);
    Put(lines, QStringLiteral("TEL;OTHER;PAGER"), c.OtherPager);
}

void PutHome(QStringList &lines, const TContactData &c)
{
    PutAddress(lines, QStringLiteral("ADR;HOME") + PrefSuffix(c, kHome), c, kHome);
    Put(lines, QStringLiteral("TEL;HOME;VOICE"), c.HomePhone);
    Put(lines, QStringLiteral("URL;HOME"), c.PersonalWebsite);
    Put(lines, EmailName(c, kHome), c.PersonalEmail);
    Put(lines, QStringLiteral("X-WAB-GENDER"), GenderCode(c.Gender));
    if (c.Birthday != 0)
        Put(lines, QStringLiteral("BDAY"), Stamp(c.Birthday, false));
    Put(lines, QStringLiteral("X-MS-SPOUSE"), c.SignificantOther);
    if (c.Anniversary != 0)
        Put(lines, QStringLiteral("X-MS-ANNIVERSARY"), Stamp(c.Anniversary, false));
}

void PutOther(QStringList &lines, const TContactData &c)
{
    PutAddress(lines, QStringLiteral("ADR") + PrefSuffix(c, kOther), c, kOther);
    Put(lines, QStringLiteral("TEL;VOICE"), c.OtherPhone);
    Put(lines, QStringLiteral("URL"), c.OtherWebsite);
    Put(lines, EmailName(c, kOther), c.OtherEmail);
    PutNotes(lines, c.Notes);
    if (c.Modified != 0)
        Put(lines, QStringLiteral("REV"), Stamp(c.Modified, true));
}

// ---- Reading ---------------------------------------------------------------

enum class Target { None, WorkAddress, HomeAddress, OtherAddress, Notes, Ignored };

struct ReadState
{
    TContactData &c;
    Target target = Target::None;
};

const Location &LocationOf(Target t)
{
    return t == Target::WorkAddress ? kWork : t == Target::HomeAddress ? kHome : kOther;
}

QString BeforeSoftBreak(const QString &text)
{
    const qsizetype at = text.indexOf(kSoftBreak);
    return at < 0 ? text : text.left(at);
}

// Accepts "yyyymmdd[Thhnnss[Z]]" and the hyphen and colon forms; anything else
// leaves the field as it was.
void ReadStamp(const QString &text, TDateTime &field)
{
    QString stamp = text.trimmed();
    if (!stamp.contains(u'Z'))
        stamp += u'Z';
    TDateTime value = 0;
    if (bookfile::ParseUtcStampText(stamp, value))
        field = value;
}

void SetFromParts(TContactData &c, const QStringList &parts, std::initializer_list<std::pair<int, Text>> map)
{
    for (const auto &[index, field] : map)
        if (index < parts.size())
            c.*field = parts[index];
}

void ReadAddress(ReadState &s, Target which, const QString &name, const QString &value)
{
    const Location &loc = LocationOf(which);
    if (name.contains(L("PREF")))
        s.c.Preferred = loc.preferred;
    const QStringList parts = value.split(u';');
    s.c.*loc.poBox = parts[0];
    if (!name.contains(kQuotedPrintable)) {
        SetFromParts(s.c, parts, {{2, loc.street}, {3, loc.city}, {4, loc.state}, {5, loc.postalCode}, {6, loc.country}});
        return;
    }
    if (parts.size() > 2)
        s.c.*loc.street = BeforeSoftBreak(parts[2]);
    s.target = which;
}

void ReadAddressContinuation(ReadState &s, const QString &line)
{
    const Location &loc = LocationOf(s.target);
    QString &street = s.c.*loc.street;
    if (line.contains(kSoftBreak)) {
        street += u';' + BeforeSoftBreak(line);
        return;
    }
    const QStringList parts = line.split(u';');
    street += u';' + parts[0];
    SetFromParts(s.c, parts, {{1, loc.city}, {2, loc.state}, {3, loc.postalCode}, {4, loc.country}});
}

void ReadContinuation(ReadState &s, const QString &line)
{
    switch (s.target) {
    case Target::WorkAddress:
    case Target::HomeAddress:
    case Target::OtherAddress:
        ReadAddressContinuation(s, line);
        break;
    case Target::Notes:
        s.c.Notes.append(BeforeSoftBreak(line));
        break;
    default:
        break;
    }
}

void ReadEmail(ReadState &s, const QString &name, const QString &value)
{
    QString &preferred = s.c.Preferred;
    if (preferred == L("None")) {
        if (name.contains(L("WORK;PREF")))
            preferred = QStringLiteral("Work");
        else if (name.contains(L("HOME;PREF")))
            preferred = QStringLiteral("Personal");
    }
    const std::array<std::pair<const Location *, Text>, 3> slots{
        {{&kWork, &TContactData::WorkEmail}, {&kHome, &TContactData::PersonalEmail},
         {&kOther, &TContactData::OtherEmail}}};
    if (name.contains(L("PREF")))
        for (const auto &[loc, field] : slots)
            if (preferred == loc->preferred) {
                s.c.*field = value;
                return;
            }
    for (const auto &[loc, field] : slots)
        if ((s.c.*field).isEmpty()) {
            s.c.*field = value;
            return;
        }
}

void ReadName(ReadState &s, const QString &name, const QString &value)
{
    SetFromParts(s.c, value.split(u';'), {{0, &TContactData::LastName}, {1, &TContactData::FirstName},
                                          {2, &TContactData::MiddleName}, {3, &TContactData::Title}});
    const qsizetype at = name.indexOf(L("LANGUAGE="));
    if (at < 0)
        return;
    const QString code = name.mid(at + 9);
    s.c.Language = code.isEmpty() ? QString() : LanguageNameOfTag(code);
}

void ReadGender(ReadState &s, const QString &value)
{
    static const std::array<QLatin1StringView, 3> kGenders{L("Unspecified"), L("Female"), L("Male")};
    bool ok = false;
    const int code = value.toInt(&ok);
    if (ok && code >= 0 && code < 3 && value.size() == 1)
        s.c.Gender = kGenders[size_t(code)];
}

enum class Match { Exact, BeginsWith };
using Action = void (*)(ReadState &, const QString &name, const QString &value);

struct Rule
{
    Match match;
    std::initializer_list<QLatin1StringView> names;
    Action action;
};

template<Text field>
void Store(ReadState &s, const QString &, const QString &value)
{
    s.c.*field = value;
}

#define CARDOLIN_ADDRESS(which) \
    [](ReadState &s, const QString &n, const QString &v) { ReadAddress(s, Target::which, n, v); }

// Checked in order; the first rule that matches wins.
const Rule kRules[] = {
    {Match::Exact, {L("N")}, ReadName},
    {Match::BeginsWith, {L("N;LANGUAGE=")}, ReadName},
    {Match::Exact, {L("TITLE")}, Store<&TContactData::JobTitle>},
    {Match::Exact, {L("NICKNAME")}, Store<&TContactData::Nickname>},
    {Match::Exact, {L("TEL;WORK;CELL;VOICE"), L("TEL;WORK;CELL")}, Store<&TContactData::WorkMobilePhone>},
    {Match::Exact, {L("TEL;HOME;CELL;VOICE"), L("TEL;CELL;VOICE"), L("TEL;CELL")},
     Store<&TContactData::PersonalMobilePhone>},
    {Match::Exact, {L("TEL;OTHER;CELL;VOICE"), L("TEL;OTHER;CELL")}, Store<&TContactData::OtherMobilePhone>},
    {Match::Exact, {L("X-MS-IMADDRESS")}, Store<&TContactData::PersonalIM>},
    {Match::Exact, {L("ORG")},
     [](ReadState &s, const QString &, const QString &v) {
         SetFromParts(s.c, v.split(u';'), {{0, &TContactData::Company}, {1, &TContactData::Department}});
     }},
    {Match::Exact, {L("ROLE")}, Store<&TContactData::Role>},
    {Match::BeginsWith, {L("ADR;WORK")}, CARDOLIN_ADDRESS(WorkAddress)},
    {Match::Exact, {L("TEL;WORK;VOICE"), L("TEL;WORK")}, Store<&TContactData::WorkPhone>},
    {Match::Exact, {L("TEL;WORK;FAX")}, Store<&TContactData::WorkFax>},
    {Match::Exact, {L("URL;WORK")}, Store<&TContactData::WorkWebsite>},
    {Match::Exact, {L("TEL;WORK;PAGER"), L("TEL;PAGER")}, Store<&TContactData::WorkPager>},
    {Match::Exact, {L("TEL;HOME;PAGER")}, Store<&TContactData::PersonalPager>},
    {Match::Exact, {L("TEL;OTHER;PAGER")}, Store<&TContactData::OtherPager>},
    {Match::BeginsWith, {L("ADR;HOME")}, CARDOLIN_ADDRESS(HomeAddress)},
    {Match::Exact, {L("TEL;HOME;VOICE"), L("TEL;HOME")}, Store<&TContactData::HomePhone>},
    {Match::Exact, {L("TEL;HOME;FAX")}, Store<&TContactData::HomeFax>},
    {Match::Exact, {L("URL;HOME")}, Store<&TContactData::PersonalWebsite>},
    {Match::Exact, {L("X-WAB-GENDER")}, [](ReadState &s, const QString &, const QString &v) { ReadGender(s, v); }},
    {Match::Exact, {L("BDAY")}, [](ReadState &s, const QString &, const QString &v) { ReadStamp(v, s.c.Birthday); }},
    {Match::Exact, {L("X-MS-SPOUSE")}, Store<&TContactData::SignificantOther>},
    {Match::Exact, {L("X-MS-ANNIVERSARY")},
     [](ReadState &s, const QString &, const QString &v) { ReadStamp(v, s.c.Anniversary); }},
    {Match::Exact,
     {L("ADR"), L("ADR;PREF"), L("ADR;ENCODING=QUOTED-PRINTABLE"), L("ADR;PREF;ENCODING=QUOTED-PRINTABLE")},
     CARDOLIN_ADDRESS(OtherAddress)},
    {Match::Exact, {L("TEL;VOICE"), L("TEL;CAR;VOICE")}, Store<&TContactData::OtherPhone>},
    {Match::Exact, {L("TEL;FAX")}, Store<&TContactData::OtherFax>},
    {Match::Exact, {L("URL")}, Store<&TContactData::OtherWebsite>},
    {Match::Exact, {L("NOTE"), L("NOTE;ENCODING=QUOTED-PRINTABLE")},
     [](ReadState &s, const QString &, const QString &v) {
         s.c.Notes.append(BeforeSoftBreak(v));
         s.target = Target::Notes;
     }},
    {Match::Exact, {L("REV")}, [](ReadState &s, const QString &, const QString &v) { ReadStamp(v, s.c.Created); }},
    {Match::BeginsWith, {L("EMAIL")}, ReadEmail},
    {Match::BeginsWith, {L("X-MS-CARDPICTURE"), L("LABEL")},
     [](ReadState &s, const QString &, const QString &) { s.target = Target::Ignored; }},
};

#undef CARDOLIN_ADDRESS

bool Matches(const Rule &rule, const QString &name)
{
    for (QLatin1StringView candidate : rule.names)
        if (rule.match == Match::Exact ? name == candidate : name.startsWith(candidate))
            return true;
    return false;
}

// Property names are tokens; "Lunch at 12" before a colon is a note's text.
bool IsPropertyName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || QStringView(u";=-_.,").contains(c)) || c.unicode() > 0x7F)
            return false;
    return true;
}

void ReadLine(ReadState &s, QString line)
{
    line.remove(L("TYPE="));
    const qsizetype colon = line.indexOf(u':');
    const bool continuing = s.target != Target::None && s.target != Target::Ignored;
    if (colon < 0 || (continuing && !IsPropertyName(QStringView(line).left(colon)))) {
        ReadContinuation(s, line);
        return;
    }
    // Continuation lines belong to the property just before them, never to an
    // earlier one, so a photo's data cannot run into the notes.
    s.target = Target::None;
    // The value is all the rest: a colon in a note, a time or an address is text.
    const QString name = line.left(colon);
    const QString value = line.mid(colon + 1);
    for (const Rule &rule : kRules)
        if (Matches(rule, name)) {
            rule.action(s, name, value);
            return;
        }
}

} // namespace

QStringList WriteCard(const TQorContacts &contacts, const TContactData &contact)
{
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:2.1")};
    PutIdentity(lines, contacts, contact);
    PutWork(lines, contact);
    PutHome(lines, contact);
    PutOther(lines, contact);
    lines.append(QStringLiteral("END:VCARD"));
    return lines;
}

bool ReadCard(const TQorContacts &contacts, const QStringList &lines, TContactData &contact)
{
    if (lines.isEmpty() || lines.first() != L("BEGIN:VCARD"))
        return false;
    const TDateTime now = DateTimeToSerial(contacts.GetClock().NowUtc());
    contact.Accessed = now;
    contact.Modified = now;
    ReadState state{contact};
    for (qsizetype i = 1; i < lines.size(); ++i)
        ReadLine(state, lines[i]);
    return true;
}

} // namespace cardolin::vcard
