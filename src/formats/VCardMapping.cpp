#include "formats/VCardMapping.h"

#include "contacts/ContactNames.h"
#include "contacts/ContactsBookFile.h"
#include "contacts/ReferenceTables.h"
#include "formats/TextFiles.h"

#include <QHash>

#include <array>

namespace cardolin::vcard {

namespace {

using Field = QString TContactData::*;
using C = TContactData;

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

enum Where { Work, Home, Other, Unstated };

struct Mapper
{
    const Card &card;
    TContactData &c;
    QHash<QString, QString> labels; // group -> label of Apple's "X-ABLabel"
    QList<Field> assigned; // fields this card has already filled
    QStringList spare; // "<label>: <value>" of values no field was left for
    bool named = false;
    QString fullName;

    QString TextOf(const Property &p) const { return Text(card, p); }
    QStringList PiecesOf(const Property &p, QChar separator = u';') const { return Pieces(card, p, separator); }

    bool Has(const Property &p, QLatin1StringView word) const
    {
        return p.Is(word) || labels.value(p.group).contains(word, Qt::CaseInsensitive);
    }

    Where WhereOf(const Property &p) const
    {
        if (Has(p, L("WORK")))
            return Work;
        if (Has(p, L("HOME")))
            return Home;
        return Has(p, L("OTHER")) ? Other : Unstated;
    }

    // Stores the value in the first field of the list that this card has not
    // filled yet; false when all are taken.
    bool Assign(std::initializer_list<Field> fields, const QString &value)
    {
        for (Field field : fields)
            if (!assigned.contains(field)) {
                c.*field = value;
                assigned.append(field);
                return true;
            }
        return false;
    }

    // A value with no field left keeps a line of the notes, labelled as its
    // card labels it: "Boat: +1 555 0100", "E-mail (home): ann@example.org".
    void Spare(const Property &p, QLatin1StringView kind, const QString &value)
    {
        QString label = labels.value(p.group);
        if (label.isEmpty()) {
            QStringList types;
            for (const QString &type : p.types)
                if (type != L("INTERNET") && type != L("VOICE"))
                    types.append(type.toLower());
            label = types.isEmpty() ? QString(kind) : kind + L(" (") + types.join(L(", ")) + u')';
        }
        spare.append(label + L(": ") + textfile::SplitValueLines(value).join(L(" ")).trimmed());
    }
};

// ---- Dates -----------------------------------------------------------------

// The leading "yyyy-mm-dd" (hyphens optional) of an ISO stamp, with an
// optional "Thh:nn" and ":ss" (colons optional); what follows is not read.
struct IsoStamp
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool hasTime = false;
};

bool ReadDigits(QStringView text, qsizetype &at, int &value)
{
    if (at + 2 > text.size() || !text[at].isDigit() || !text[at + 1].isDigit()
        || text[at].unicode() > '9' || text[at + 1].unicode() > '9')
        return false;
    value = (text[at].unicode() - '0') * 10 + (text[at + 1].unicode() - '0');
    at += 2;
    return true;
}

void SkipOne(QStringView text, qsizetype &at, QChar c)
{
    if (at < text.size() && text[at] == c)
        ++at;
}

bool ReadIsoStamp(QStringView text, IsoStamp &s)
{
    qsizetype at = 0;
    int high = 0, low = 0;
    if (!ReadDigits(text, at, high) || !ReadDigits(text, at, low))
        return false;
    s.year = high * 100 + low;
    SkipOne(text, at, u'-');
    if (!ReadDigits(text, at, s.month))
        return false;
    SkipOne(text, at, u'-');
    if (!ReadDigits(text, at, s.day))
        return false;
    qsizetype timeAt = at;
    if (timeAt >= text.size() || text[timeAt] != u'T')
        return true;
    ++timeAt;
    if (!ReadDigits(text, timeAt, s.hour))
        return true;
    SkipOne(text, timeAt, u':');
    if (!ReadDigits(text, timeAt, s.minute))
        return true;
    s.hasTime = true;
    qsizetype secondAt = timeAt;
    SkipOne(text, secondAt, u':');
    if (!ReadDigits(text, secondAt, s.second))
        s.second = 0;
    return true;
}

// The program's own "yyyymmddThhnnssZ" and "yyyy-mm-dd" forms first; then the
// ISO forms of other writers, with a zone or fractions, of which only the
// date (and for withTime the time) is kept. A date without a year is skipped.
void ReadStamp(const QString &text, TDateTime &field, bool withTime)
{
    QString stamp = text.trimmed();
    TDateTime value = 0;
    if (bookfile::ParseUtcStampText(stamp.contains(u'Z') ? stamp : stamp + u'Z', value)) {
        field = value;
        return;
    }
    IsoStamp m;
    if (!ReadIsoStamp(stamp, m))
        return;
    const QDate date(m.year, m.month, m.day);
    if (!date.isValid())
        return;
    const QTime time = withTime && m.hasTime ? QTime(m.hour, m.minute, m.second) : QTime(0, 0);
    field = DateTimeToSerial(QDateTime(date, time.isValid() ? time : QTime(0, 0), Qt::UTC));
}

// ---- Names and work --------------------------------------------------------

void SetPresent(TContactData &c, const QStringList &parts, std::initializer_list<Field> fields)
{
    qsizetype i = 0;
    for (Field field : fields) {
        if (i < parts.size())
            c.*field = parts[i];
        ++i;
    }
}

void MapName(Mapper &m, const Property &p)
{
    const QStringList parts = m.PiecesOf(p);
    SetPresent(m.c, parts, {&C::LastName, &C::FirstName, &C::MiddleName, &C::Title, &C::Suffix});
    for (const QString &part : parts)
        m.named = m.named || !part.trimmed().isEmpty();
    if (p.params.contains(L("LANGUAGE"))) {
        const QString code = p.Param("LANGUAGE");
        m.c.Language = code.isEmpty() ? QString() : LanguageNameOfTag(code);
    }
}

void MapOrganisation(Mapper &m, const Property &p)
{
    QStringList parts = m.PiecesOf(p);
    m.c.Company = parts.takeFirst();
    if (!parts.isEmpty())
        m.c.Department = parts.join(L(", "));
}

// ---- Telephones, e-mails, addresses, web sites -----------------------------

enum Kind { Voice, Cell, Pager, Fax };

Field PhoneField(Kind kind, Where where)
{
    static const std::array<std::array<Field, 4>, 4> kFields{{
        // Work, Home, Other, Unstated
        {&C::WorkPhone, &C::HomePhone, &C::OtherPhone, &C::OtherPhone},
        {&C::WorkMobilePhone, &C::PersonalMobilePhone, &C::OtherMobilePhone, &C::PersonalMobilePhone},
        {&C::WorkPager, &C::PersonalPager, &C::OtherPager, &C::WorkPager},
        {&C::WorkFax, &C::HomeFax, &C::OtherFax, &C::OtherFax},
    }};
    return kFields[size_t(kind)][size_t(where)];
}

Kind KindOf(const Mapper &m, const Property &p)
{
    for (const char *cell : {"CELL", "MOBILE", "IPHONE", "PCS"})
        if (m.Has(p, L(cell)))
            return Cell;
    if (m.Has(p, L("PAGER")))
        return Pager;
    return m.Has(p, L("FAX")) ? Fax : Voice;
}

void MapPhone(Mapper &m, const Property &p)
{
    QString value = m.TextOf(p).trimmed();
    if (value.startsWith(L("tel:"), Qt::CaseInsensitive))
        value = value.mid(4);
    if (value.isEmpty())
        return;
    const Kind kind = KindOf(m, p);
    const Where where = m.WhereOf(p);
    // A second number of the same type goes to the other one of its kind; an
    // untyped one to whichever of its kind is still free.
    const bool stored =
        where == Unstated
            ? m.Assign({PhoneField(kind, Unstated), PhoneField(kind, Other), PhoneField(kind, Home), PhoneField(kind, Work)},
                       value)
            : m.Assign({PhoneField(kind, where), PhoneField(kind, Other)}, value);
    if (!stored)
        m.Spare(p, L("Telephone"), value);
}

QLatin1StringView PreferredName(Where where)
{
    return where == Work ? L("Work") : where == Home ? L("Personal") : L("Other");
}

const std::array<Field, 3> kEmails{&C::WorkEmail, &C::PersonalEmail, &C::OtherEmail};

// Untyped addresses keep the order rule of the program's own cards: the
// preferred one to the preferred slot, the others to the first empty one.
void MapEmail(Mapper &m, const Property &p)
{
    const QString value = m.TextOf(p);
    if (value.isEmpty())
        return;
    const Where where = m.WhereOf(p);
    QString &preferred = m.c.Preferred;
    if (where != Unstated) {
        if (p.pref && preferred == L("None"))
            preferred = PreferredName(where);
        if (m.Assign({kEmails[size_t(where)]}, value))
            return;
    } else if (p.pref) {
        for (Where w : {Work, Home, Other})
            if (preferred == PreferredName(w)) {
                m.c.*kEmails[size_t(w)] = value;
                m.assigned.append(kEmails[size_t(w)]);
                return;
            }
    }
    for (Field field : kEmails)
        if ((m.c.*field).isEmpty()) {
            m.c.*field = value;
            m.assigned.append(field);
            return;
        }
    m.Spare(p, L("E-mail"), value);
}

struct Location
{
    Field street, poBox, city, state, postalCode, country;
};

const std::array<Location, 3> kLocations{{
    {&C::WorkStreet, &C::WorkPOBox, &C::WorkCity, &C::WorkStateProvince, &C::WorkPostalCode, &C::WorkCountryRegion},
    {&C::HomeStreet, &C::HomePOBox, &C::HomeCity, &C::HomeStateProvince, &C::HomePostalCode, &C::HomeCountryRegion},
    {&C::OtherStreet, &C::OtherPOBox, &C::OtherCity, &C::OtherStateProvince, &C::OtherPostalCode,
     &C::OtherCountryRegion},
}};

// Street lines are kept joined by ";", the extended address as one more line.
QString StreetOf(const QStringList &parts)
{
    QString street = parts.value(2);
    if (street.contains(u'\r') || street.contains(u'\n'))
        street = textfile::SplitValueLines(street).join(u';');
    const QString extended = parts.value(1).trimmed();
    if (!extended.isEmpty())
        street = street.isEmpty() ? extended : street + u';' + extended;
    return street;
}

void MapAddress(Mapper &m, const Property &p)
{
    Where where = m.WhereOf(p);
    if (where == Unstated)
        where = Other;
    if (m.assigned.contains(kLocations[size_t(where)].street))
        where = Other;
    const Location &loc = kLocations[size_t(where)];
    const QStringList parts = m.PiecesOf(p);
    if (m.assigned.contains(loc.street)) {
        QStringList present;
        for (const QString &part : parts)
            if (!part.trimmed().isEmpty())
                present.append(part.trimmed());
        if (!present.isEmpty())
            m.Spare(p, L("Address"), present.join(L(", ")));
        return;
    }
    m.assigned.append(loc.street);
    if (p.pref)
        m.c.Preferred = PreferredName(where);
    m.c.*loc.poBox = parts[0];
    if (parts.size() > 2 || !parts.value(1).isEmpty())
        m.c.*loc.street = StreetOf(parts);
    SetPresent(m.c, parts.mid(3), {loc.city, loc.state, loc.postalCode, loc.country});
}

void MapWebsite(Mapper &m, const Property &p)
{
    static const std::array<Field, 4> kSites{&C::WorkWebsite, &C::PersonalWebsite, &C::OtherWebsite, &C::OtherWebsite};
    const QString value = m.TextOf(p);
    const Where where = m.WhereOf(p);
    if (!m.Assign({kSites[size_t(where)], &C::OtherWebsite, &C::PersonalWebsite, &C::WorkWebsite}, value)
        && !value.trimmed().isEmpty())
        m.Spare(p, L("Website"), value);
}

void MapMessaging(Mapper &m, const Property &p)
{
    static const std::array<Field, 4> kIms{&C::WorkIM, &C::PersonalIM, &C::OtherIM, &C::PersonalIM};
    const Where where = m.WhereOf(p);
    const QString value = m.TextOf(p);
    if (!m.Assign({kIms[size_t(where)], &C::OtherIM, &C::WorkIM, &C::PersonalIM}, value) && !value.trimmed().isEmpty())
        m.Spare(p, L("IM"), value);
}

// ---- Personal --------------------------------------------------------------

void MapGender(Mapper &m, const Property &p)
{
    const QString value = m.PiecesOf(p).first().trimmed();
    if (p.name == L("X-WAB-GENDER")) {
        static const std::array<QLatin1StringView, 3> kGenders{L("Unspecified"), L("Female"), L("Male")};
        bool ok = false;
        const int code = value.toInt(&ok);
        if (ok && code >= 0 && code < 3 && value.size() == 1)
            m.c.Gender = kGenders[size_t(code)];
        return;
    }
    if (value.compare(L("M"), Qt::CaseInsensitive) == 0 || value.compare(L("Male"), Qt::CaseInsensitive) == 0)
        m.c.Gender = QStringLiteral("Male");
    else if (value.compare(L("F"), Qt::CaseInsensitive) == 0 || value.compare(L("Female"), Qt::CaseInsensitive) == 0)
        m.c.Gender = QStringLiteral("Female");
}

void MapRelated(Mapper &m, const Property &p)
{
    if (m.Has(p, L("SPOUSE")) || m.Has(p, L("PARTNER")))
        m.c.SignificantOther = m.TextOf(p);
}

void MapDate(Mapper &m, const Property &p)
{
    if (m.Has(p, L("ANNIVERSARY")))
        ReadStamp(m.TextOf(p), m.c.Anniversary, false);
}

void MapCategories(Mapper &m, const Property &p)
{
    QStringList names = m.PiecesOf(p, u',');
    if (!m.card.Escaped())
        names = names.join(u';').split(u';');
    for (const QString &name : names)
        if (!name.trimmed().isEmpty())
            m.c.Categories.Add(name.trimmed());
}

void MapNote(Mapper &m, const Property &p)
{
    m.c.Notes += textfile::SplitValueLines(m.TextOf(p));
}

// ---- The table -------------------------------------------------------------

using Action = void (*)(Mapper &, const Property &);

template <Field field> void Store(Mapper &m, const Property &p)
{
    m.c.*field = m.TextOf(p);
}

template <TDateTime C::*field, bool withTime> void StoreDate(Mapper &m, const Property &p)
{
    if (p.Param("VALUE").compare(L("text"), Qt::CaseInsensitive) != 0)
        ReadStamp(m.TextOf(p), m.c.*field, withTime);
}

const QHash<QString, Action> &Actions()
{
    static const QHash<QString, Action> actions = [] {
        QHash<QString, Action> a;
        const auto add = [&a](std::initializer_list<const char *> names, Action action) {
            for (const char *name : names)
                a.insert(QString::fromLatin1(name), action);
        };
        add({"N"}, MapName);
        add({"FN"}, [](Mapper &m, const Property &p) { m.fullName = m.TextOf(p); });
        add({"NICKNAME"}, Store<&C::Nickname>);
        add({"ORG"}, MapOrganisation);
        add({"TITLE"}, Store<&C::JobTitle>);
        add({"ROLE"}, Store<&C::Role>);
        add({"TEL"}, MapPhone);
        add({"EMAIL"}, MapEmail);
        add({"ADR"}, MapAddress);
        add({"URL"}, MapWebsite);
        add({"X-MS-IMADDRESS"}, Store<&C::PersonalIM>);
        add({"IMPP", "X-AIM", "X-ICQ", "X-JABBER", "X-MSN", "X-YAHOO", "X-SKYPE", "X-SKYPE-USERNAME",
             "X-GOOGLE-TALK", "X-GTALK", "X-GADUGADU", "X-QQ"},
            MapMessaging);
        add({"X-WAB-GENDER", "GENDER", "X-GENDER", "X-SEX"}, MapGender);
        add({"BDAY"}, StoreDate<&C::Birthday, false>);
        add({"ANNIVERSARY", "X-MS-ANNIVERSARY", "X-ANNIVERSARY", "X-EVOLUTION-ANNIVERSARY",
             "X-KADDRESSBOOK-X-ANNIVERSARY"},
            StoreDate<&C::Anniversary, false>);
        add({"X-MS-SPOUSE", "X-SPOUSE", "X-EVOLUTION-SPOUSE", "X-KADDRESSBOOK-X-SPOUSESNAME"},
            Store<&C::SignificantOther>);
        add({"RELATED", "X-ABRELATEDNAMES"}, MapRelated);
        add({"X-ABDATE"}, MapDate);
        add({"CATEGORIES"}, MapCategories);
        add({"NOTE"}, MapNote);
        add({"REV"}, StoreDate<&C::Created, true>);
        return a;
    }();
    return actions;
}

QString LabelText(QString label)
{
    // Apple writes its standard labels as "_$!<HomePage>!$_".
    label.remove(L("_$!<")).remove(L(">!$_"));
    return label.trimmed();
}

} // namespace

bool IsGroupCard(const Card &card)
{
    for (const Property &p : card.properties)
        if ((p.name == L("KIND") || p.name == L("X-ADDRESSBOOKSERVER-KIND"))
            && p.value.trimmed().compare(L("group"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

namespace {

Mapper MapProperties(const Card &card, TContactData &contact, const MapStep &step)
{
    Mapper m{card, contact, {}, {}, {}, false, {}};
    for (const Property &p : card.properties)
        if (p.name == L("X-ABLABEL") && !p.group.isEmpty())
            m.labels.insert(p.group, LabelText(m.TextOf(p)));
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        const Property &p = card.properties[i];
        if (IsBinary(p))
            continue;
        const Action action = Actions().value(p.name);
        if (!action)
            continue;
        if (!step) {
            action(m, p);
            continue;
        }
        const TContactData before = contact;
        action(m, p);
        step(i, before, contact);
    }
    // Cards of phones often carry only the formatted name.
    if (!m.named && !m.fullName.trimmed().isEmpty() && contact.FirstName.isEmpty() && contact.LastName.isEmpty()
        && m.fullName != contact.Company)
        SetNamesFromFullName(contact, m.fullName.trimmed());
    return m;
}

} // namespace

int MapCard(const Card &card, TContactData &contact)
{
    const QStringList spare = MapProperties(card, contact, {}).spare;
    contact.Notes += spare;
    return int(spare.size());
}

int MapCardFields(const Card &card, TContactData &contact, const MapStep &step)
{
    return int(MapProperties(card, contact, step).spare.size());
}

} // namespace cardolin::vcard
