#include "formats/WindowsContactFile.h"

#include "contacts/ContactsBookFile.h"
#include "support/ReadLimits.h"

#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <utility>

namespace cardolin::windowscontact {

namespace {

using Text = QString TContactData::*;

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

enum class Collection { None, EmailAddress, Date, PhysicalAddress, PhoneNumber, Url };

// What the walk remembers between elements of one file.
struct WalkState
{
    explicit WalkState(TContactData &contact) : c(contact) {}
    TContactData &c;
    Collection collection = Collection::None;
    int index = 0;
    QString current;
    QString voiceOrFax;
    QStringList phoneLabels; // of the telephone number being read
};

struct CollectionTag
{
    QLatin1StringView collection, item;
    Collection kind;
};

const CollectionTag kCollections[] = {
    {L("c:EmailAddressCollection"), L("c:EmailAddress"), Collection::EmailAddress},
    {L("c:DateCollection"), L("c:Date"), Collection::Date},
    {L("c:PhysicalAddressCollection"), L("c:PhysicalAddress"), Collection::PhysicalAddress},
    {L("c:PhoneNumberCollection"), L("c:PhoneNumber"), Collection::PhoneNumber},
    {L("c:UrlCollection"), L("c:Url"), Collection::Url},
};

// Stamps that do not parse leave the field as it was.
void ReadStamp(const QString &text, TDateTime &field)
{
    TDateTime value = 0;
    if (bookfile::ParseUtcStampText(text.trimmed(), value))
        field = value;
}

void ReadEmailAddress(WalkState &s, const QString &text)
{
    static const std::array<Text, 3> kWithCompany{&TContactData::WorkEmail, &TContactData::PersonalEmail,
                                                  &TContactData::OtherEmail};
    static const std::array<Text, 3> kWithoutCompany{&TContactData::PersonalEmail, &TContactData::OtherEmail,
                                                     &TContactData::WorkEmail};
    const auto &slots = s.c.Company.isEmpty() ? kWithoutCompany : kWithCompany;
    if (s.index >= 1 && s.index <= 3)
        s.c.*slots[size_t(s.index - 1)] = text;
    s.current = text;
}

void ReadEmailLabel(WalkState &s)
{
    const auto is = [&](const QString &field) { return !field.isEmpty() && s.current == field; };
    s.c.Preferred = is(s.c.WorkEmail)       ? L("Work")
                    : is(s.c.PersonalEmail) ? L("Personal")
                    : is(s.c.OtherEmail)    ? L("Other")
                                            : L("None");
}

void ReadAddressPart(WalkState &s, QStringView name, const QString &text)
{
    struct Part
    {
        QLatin1StringView element;
        Text work, home;
    };
    static const Part kParts[] = {
        {L("c:Street"), &TContactData::WorkStreet, &TContactData::HomeStreet},
        {L("c:Locality"), &TContactData::WorkCity, &TContactData::HomeCity},
        {L("c:PostalCode"), &TContactData::WorkPostalCode, &TContactData::HomePostalCode},
        {L("c:Region"), &TContactData::WorkStateProvince, &TContactData::HomeStateProvince},
        {L("c:Country"), &TContactData::WorkCountryRegion, &TContactData::HomeCountryRegion},
    };
    for (const Part &part : kParts)
        if (name == part.element && (s.index == 1 || s.index == 2))
            s.c.*(s.index == 1 ? part.work : part.home) = text;
}

// The labels of one number are weighed together when it ends: a mobile or
// pager number is that alone, whatever other labels it has, and never also
// the business or personal telephone or fax.
void ReadPhoneLabels(WalkState &s)
{
    const QStringList labels = std::exchange(s.phoneLabels, {});
    const bool cellular = labels.contains(L("Cellular")), pager = labels.contains(L("Pager"));
    if (pager)
        s.c.WorkPager = s.current;
    if (cellular)
        s.c.PersonalMobilePhone = s.current;
    for (const QString &label : labels) {
        if (label == L("Voice") || label == L("Fax"))
            s.voiceOrFax = label;
        else if (cellular || pager || s.voiceOrFax.isEmpty())
            continue;
        else if (label == L("Business"))
            s.c.*(s.voiceOrFax == L("Voice") ? &TContactData::WorkPhone : &TContactData::WorkFax) = s.current;
        else if (label == L("Personal"))
            s.c.*(s.voiceOrFax == L("Voice") ? &TContactData::HomePhone : &TContactData::HomeFax) = s.current;
    }
}

void ReadLabel(WalkState &s, const QString &label)
{
    switch (s.collection) {
    case Collection::EmailAddress:
        ReadEmailLabel(s);
        break;
    case Collection::Date:
        if (label == L("wab:Birthday"))
            ReadStamp(s.current, s.c.Birthday);
        else if (label == L("wab:Anniversary"))
            ReadStamp(s.current, s.c.Anniversary);
        break;
    case Collection::PhoneNumber:
        s.phoneLabels.append(label);
        break;
    case Collection::Url:
        if (label == L("Business"))
            s.c.WorkWebsite = s.current;
        else if (label == L("Personal"))
            s.c.PersonalWebsite = s.current;
        break;
    default:
        break;
    }
}

const QHash<QStringView, Text> &PlainFields()
{
    static const QHash<QStringView, Text> fields{
        {u"c:MiddleName", &TContactData::MiddleName}, {u"c:NickName", &TContactData::Nickname},
        {u"c:Title", &TContactData::Title},           {u"c:FamilyName", &TContactData::LastName},
        {u"c:GivenName", &TContactData::FirstName},   {u"c:Department", &TContactData::Department},
        {u"c:JobTitle", &TContactData::JobTitle},     {u"c:Company", &TContactData::Company},
        {u"c:Gender", &TContactData::Gender},
    };
    return fields;
}

bool IsTextElement(QStringView name)
{
    static const QStringView kOthers[] = {u"c:Address", u"c:Label", u"c:Value", u"c:Street", u"c:Locality",
                                          u"c:PostalCode", u"c:Region", u"c:Country", u"c:Number", u"c:Notes",
                                          u"c:CreationDate"};
    return PlainFields().contains(name) || std::find(std::begin(kOthers), std::end(kOthers), name) != std::end(kOthers);
}

void ReadText(WalkState &s, QStringView name, const QString &text)
{
    if (const auto field = PlainFields().constFind(name); field != PlainFields().cend())
        s.c.*(*field) = text;
    else if (name == L("c:Notes"))
        s.c.Notes = text.split(u'\n');
    else if (name == L("c:CreationDate"))
        ReadStamp(text, s.c.Created);
    else if (name == L("c:Label"))
        ReadLabel(s, text);
    else if (name == L("c:Address") && s.collection == Collection::EmailAddress)
        ReadEmailAddress(s, text);
    else if ((name == L("c:Value") && (s.collection == Collection::Date || s.collection == Collection::Url))
             || (name == L("c:Number") && s.collection == Collection::PhoneNumber))
        s.current = text;
    else if (s.collection == Collection::PhysicalAddress)
        ReadAddressPart(s, name, text);
}

bool Structural(WalkState &s, QStringView name)
{
    for (const CollectionTag &tag : kCollections) {
        if (name == tag.collection) {
            s.collection = tag.kind;
            s.current.clear();
            s.index = 0;
            return true;
        }
        if (name == tag.item) {
            ++s.index;
            return true;
        }
    }
    return false;
}

// One contact's file: its largest part is a photo, which fits in one value.
constexpr qint64 kMaxBytes = limits::kMaxValueBytes;

} // namespace

bool Read(QIODevice &device, TContactData &contact)
{
    if (device.size() > kMaxBytes)
        return false;
    TContactData copy = contact;
    WalkState state(copy);
    QXmlStreamReader xml(&device);
    // Element names are matched with their prefixes, as the files write them.
    xml.setNamespaceProcessing(false);
    bool inRoot = false;
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limits::kMaxNestingDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
        // These files never carry a DTD; one could only serve entity tricks.
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            return false;
        if (token == QXmlStreamReader::EndElement && xml.qualifiedName() == L("c:PhoneNumber"))
            ReadPhoneLabels(state);
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!inRoot) {
            inRoot = true;
            continue;
        }
        const QString name = xml.qualifiedName().toString();
        if (Structural(state, name) || !IsTextElement(name))
            continue;
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        --depth; // the text ends with the element's end
        ReadText(state, name, text);
    }
    if (xml.hasError() || !inRoot)
        return false;
    contact = std::move(copy);
    return true;
}

} // namespace cardolin::windowscontact
