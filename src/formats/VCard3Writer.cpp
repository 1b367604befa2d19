#include "formats/VCard3Writer.h"

#include "contacts/QorContacts.h"
#include "contacts/ReferenceTables.h"

namespace cardolin::vcard {

namespace {

using C = TContactData;
using Field = QString TContactData::*;

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

constexpr qsizetype kMaxOctets = 75;

// Backslash, comma, semicolon and line breaks are escaped in text values.
QString Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += L("\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += L("\\n");
        } else {
            if (c == u'\\' || c == u',' || c == u';')
                out += u'\\';
            out += c;
        }
    }
    return out;
}

QString Structured(const QStringList &parts)
{
    QStringList escaped;
    for (const QString &part : parts)
        escaped.append(Escape(part));
    return escaped.join(u';');
}

// Lines longer than 75 octets go on in lines that begin with a blank; a
// character is never cut between its bytes.
QString Continued(QStringView rest)
{
    QString line = QStringLiteral(" ");
    line += rest;
    return line;
}

void AppendFolded(QStringList &lines, const QString &line)
{
    if (line.size() * 3 <= kMaxOctets) {
        lines.append(line);
        return;
    }
    qsizetype start = 0, octets = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < line.size();
        const qsizetype size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (octets + size > kMaxOctets) {
            lines.append(start == 0 ? line.left(i) : Continued(QStringView(line).mid(start, i - start)));
            start = i;
            octets = 1;
        }
        octets += size;
        i += pair ? 1 : 0;
    }
    lines.append(start == 0 ? line : Continued(QStringView(line).mid(start)));
}

struct Card3
{
    QStringList lines;
    bool v4 = false; // version 4.0: lower case types, PREF=1, standard names for dates and gender

    void Raw(const QString &name, const QString &value)
    {
        if (!value.isEmpty())
            AppendFolded(lines, name + u':' + value);
    }
    void Text(const QString &name, const QString &value) { Raw(name, Escape(value)); }
};

struct Phone
{
    const char *type;
    Field field;
};

// "OTHER" marks the other location where a bare type would read as another
// field (an untyped mobile is the personal one).
const Phone kPhones[] = {
    {"WORK,VOICE", &C::WorkPhone},   {"WORK,FAX", &C::WorkFax},      {"WORK,CELL", &C::WorkMobilePhone},
    {"WORK,PAGER", &C::WorkPager},   {"HOME,VOICE", &C::HomePhone},  {"HOME,FAX", &C::HomeFax},
    {"CELL", &C::PersonalMobilePhone}, {"HOME,PAGER", &C::PersonalPager}, {"VOICE", &C::OtherPhone},
    {"FAX", &C::OtherFax},           {"OTHER,CELL", &C::OtherMobilePhone}, {"OTHER,PAGER", &C::OtherPager},
};

struct Place
{
    const char *type; // empty for the other location
    const char *preferred;
    Field street, poBox, city, state, postalCode, country, email, website, im;
};

const Place kPlaces[] = {
    {"WORK", "Work", &C::WorkStreet, &C::WorkPOBox, &C::WorkCity, &C::WorkStateProvince, &C::WorkPostalCode,
     &C::WorkCountryRegion, &C::WorkEmail, &C::WorkWebsite, &C::WorkIM},
    {"HOME", "Personal", &C::HomeStreet, &C::HomePOBox, &C::HomeCity, &C::HomeStateProvince, &C::HomePostalCode,
     &C::HomeCountryRegion, &C::PersonalEmail, &C::PersonalWebsite, &C::PersonalIM},
    {"", "Other", &C::OtherStreet, &C::OtherPOBox, &C::OtherCity, &C::OtherStateProvince, &C::OtherPostalCode,
     &C::OtherCountryRegion, &C::OtherEmail, &C::OtherWebsite, &C::OtherIM},
};

// ";TYPE=WORK,PREF", or for version 4.0 ";TYPE=work;PREF=1", which has no
// PREF type and no INTERNET one.
QString Types(const Card3 &card, std::initializer_list<QString> types)
{
    QStringList present;
    bool pref = false;
    for (const QString &type : types) {
        if (type.isEmpty() || (card.v4 && type == L("INTERNET")))
            continue;
        if (card.v4 && type == L("PREF"))
            pref = true;
        else
            present.append(card.v4 ? type.toLower() : type);
    }
    QString text = present.isEmpty() ? QString() : L(";TYPE=") + present.join(u',');
    return pref ? text + L(";PREF=1") : text;
}

void PutPlace(Card3 &card, const TContactData &c, const Place &place)
{
    const QString type = QString::fromLatin1(place.type);
    const QString pref = c.Preferred == L(place.preferred) ? QStringLiteral("PREF") : QString();
    const QStringList address{c.*place.poBox, QString(), QString(c.*place.street).replace(u';', u'\n'),
                              c.*place.city, c.*place.state, c.*place.postalCode, c.*place.country};
    if (!address.join(QString()).isEmpty())
        card.Raw(L("ADR") + Types(card, {type, pref}), Structured(address));
    const QString emailType = type.isEmpty() ? QStringLiteral("OTHER") : type;
    card.Text(L("EMAIL") + Types(card, {QStringLiteral("INTERNET"), emailType, pref}), c.*place.email);
    // Readers take a web address as text, so its commas are escaped too.
    card.Text(L("URL") + Types(card, {type}), c.*place.website);
    card.Text(L("IMPP") + Types(card, {emailType}), c.*place.im);
}

// Version 4.0 writes dates and stamps in the basic form, without separators.
QString Date(const Card3 &card, TDateTime serial)
{
    return serial == 0 ? QString() : SerialToDate(serial).toString(card.v4 ? u"yyyyMMdd" : u"yyyy-MM-dd");
}

void PutPersonal(Card3 &card, const TContactData &c)
{
    card.Raw(QStringLiteral("BDAY"), Date(card, c.Birthday));
    const bool known = c.Gender == L("Male") || c.Gender == L("Female");
    if (card.v4) {
        card.Raw(QStringLiteral("ANNIVERSARY"), Date(card, c.Anniversary));
        card.Text(QStringLiteral("RELATED;TYPE=spouse;VALUE=text"), c.SignificantOther);
        if (known)
            card.Raw(QStringLiteral("GENDER"), c.Gender.left(1));
    } else {
        card.Raw(QStringLiteral("X-ANNIVERSARY"), Date(card, c.Anniversary));
        card.Text(QStringLiteral("X-SPOUSE"), c.SignificantOther);
        if (known)
            card.Raw(QStringLiteral("X-GENDER"), c.Gender);
    }
    QStringList categories;
    for (const QString &category : c.Categories)
        categories.append(Escape(category));
    card.Raw(QStringLiteral("CATEGORIES"), categories.join(u','));
    card.Text(QStringLiteral("NOTE"), c.Notes.join(u'\n'));
    if (c.Modified != 0)
        card.Raw(QStringLiteral("REV"), RevisionStamp(c.Modified, card.v4));
}

QStringList WriteStandardCard(const TQorContacts &contacts, const TContactData &c, bool v4)
{
    Card3 card;
    card.v4 = v4;
    card.lines = {QStringLiteral("BEGIN:VCARD"), v4 ? QStringLiteral("VERSION:4.0") : QStringLiteral("VERSION:3.0")};
    // N and FN are required, even when empty.
    const QString language = LanguageTagOfContact(c);
    AppendFolded(card.lines, (language.isEmpty() ? QStringLiteral("N") : L("N;LANGUAGE=") + language) + u':'
                                 + Structured({c.LastName, c.FirstName, c.MiddleName, c.Title, c.Suffix}));
    AppendFolded(card.lines, L("FN:") + Escape(contacts.GetDisplayNameFromContactData(&c, dtInherited)));
    card.Text(QStringLiteral("NICKNAME"), c.Nickname);
    if (!c.Department.isEmpty())
        card.Raw(QStringLiteral("ORG"), Structured({c.Company, c.Department}));
    else
        card.Text(QStringLiteral("ORG"), c.Company);
    card.Text(QStringLiteral("TITLE"), c.JobTitle);
    card.Text(QStringLiteral("ROLE"), c.Role);
    for (const Phone &phone : kPhones)
        card.Text(L("TEL;TYPE=") + (v4 ? QString::fromLatin1(phone.type).toLower() : L(phone.type)), c.*phone.field);
    for (const Place &place : kPlaces)
        PutPlace(card, c, place);
    PutPersonal(card, c);
    card.Text(QStringLiteral("UID"), c.Uid);
    card.lines.append(QStringLiteral("END:VCARD"));
    return card.lines;
}

} // namespace

QString RevisionStamp(TDateTime serial, bool v4)
{
    const QString iso = SerialToIsoUtc(serial);
    return v4 ? QString(iso).remove(u'-').remove(u':') : iso;
}

QStringList WriteCard3(const TQorContacts &contacts, const TContactData &contact)
{
    return WriteStandardCard(contacts, contact, false);
}

QStringList WriteCard4(const TQorContacts &contacts, const TContactData &contact)
{
    return WriteStandardCard(contacts, contact, true);
}

} // namespace cardolin::vcard
