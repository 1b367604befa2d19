#include "formats/VCardCard.h"

#include "formats/VCardMapping.h"
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

// An identity is one short line; anything else on a card is not taken for one.
QString PlainUid(const Card &card)
{
    constexpr qsizetype kLongestUid = 255;
    for (const Property &p : card.properties) {
        if (p.name != L("UID"))
            continue;
        const QString uid = vcard::Text(card, p).trimmed();
        for (QChar c : uid)
            if (c.category() == QChar::Other_Control)
                return {};
        return uid.size() <= kLongestUid ? uid : QString();
    }
    return {};
}

} // namespace

QStringList WriteCard(const TQorContacts &contacts, const TContactData &contact)
{
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:2.1")};
    PutIdentity(lines, contacts, contact);
    PutWork(lines, contact);
    PutHome(lines, contact);
    PutOther(lines, contact);
    Put(lines, QStringLiteral("UID"), contact.Uid);
    lines.append(QStringLiteral("END:VCARD"));
    return lines;
}

QString SpareValuesMessage(int count)
{
    return count == 1 ? QStringLiteral("1 value had no field of its own and was added to the notes")
                      : QStringLiteral("%1 values had no field of their own and were added to the notes").arg(count);
}

bool IsCardStart(QStringView line)
{
    return line.trimmed().compare(QLatin1StringView("BEGIN:VCARD"), Qt::CaseInsensitive) == 0;
}

bool ReadCard(const TQorContacts &contacts, const QList<QStringView> &lines, TContactData &contact, int *spare,
              QString *uid)
{
    if (lines.isEmpty() || !IsCardStart(lines.first()))
        return false;
    const Card card = ParseCard(lines);
    if (IsGroupCard(card))
        return false;
    const TDateTime now = DateTimeToSerial(contacts.GetClock().NowUtc());
    contact.Accessed = now;
    contact.Modified = now;
    const int kept = MapCard(card, contact);
    if (spare)
        *spare += kept;
    if (uid)
        *uid = PlainUid(card);
    return true;
}

} // namespace cardolin::vcard
