#include "online/PersonBody.h"

#include "contacts/ReferenceTables.h"
#include "online/GoogleGroupList.h"
#include "online/JsonText.h"
#include "online/PeopleFields.h"
#include "online/PersonLeftovers.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace cardolin {

namespace {

using namespace Qt::Literals::StringLiterals;

QString Member(QLatin1StringView name, const QString &json)
{
    return u'"' + name + "\": "_L1 + json;
}

QString Text(QLatin1StringView name, const QString &text)
{
    return Member(name, JsonString(text));
}

// The type member of a value: the account's own label where it gave one, left
// out where it gave none.
QString Type(const QJsonObject &kept, QLatin1StringView member, const QString &key, QLatin1StringView type)
{
    const QString sent = key.isEmpty() ? QString(type) : KeptType(kept, member, key, type);
    return sent.isEmpty() ? QString() : Text("type"_L1, sent);
}

QString Object(const QStringList &members)
{
    return u'{' + members.join(", "_L1) + u'}';
}

QString Array(const QStringList &elements)
{
    return u'[' + elements.join(", "_L1) + u']';
}

// A list member: the contact's elements, then those the account keeps.
QString List(QLatin1StringView name, QStringList elements, const QJsonObject &kept)
{
    for (const QJsonValue &element : kept.value(name).toArray())
        elements.append(QString::fromUtf8(QJsonDocument(element.toObject()).toJson(QJsonDocument::Compact)));
    return Member(name, Array(elements));
}

// A location's element starts with the primary mark when it is the preferred one.
QString Element(bool primary, QStringList members)
{
    members.removeAll(QString()); // a member left out, such as a type the account never gave
    if (primary)
        members.prepend(Member("metadata"_L1, "{\"primary\": true}"_L1));
    return Object(members);
}

QString DateObject(TDateTime serial)
{
    const QDate date = SerialToDate(serial);
    return Object({Member("year"_L1, QString::number(date.year())), Member("month"_L1, QString::number(date.month())),
                   Member("day"_L1, QString::number(date.day()))});
}

QString Memberships(const TContactData &c, const QStringList &groups)
{
    const auto element = [&](const QString &name) {
        return Object({Member("contactGroupMembership"_L1,
                              Object({Text("contactGroupResourceName"_L1, GoogleGroupResourceName(groups, name))}))});
    };
    QStringList elements;
    // A contact loaded from a book without categories holds one empty entry.
    if (!HasEntries(c.Categories.Entries())) {
        if (HasGoogleGroup(groups, u"Contacts"_s))
            elements.append(element(u"Contacts"_s));
        return Array(elements);
    }
    static const QStringList kNotSent = {u"Coworkers"_s, u"Family"_s, u"Favorites"_s, u"Friends"_s};
    for (const QString &category : c.Categories)
        if (HasGoogleGroup(groups, category) && !kNotSent.contains(category))
            elements.append(element(category));
    return Array(elements);
}

struct PhoneSlot
{
    QLatin1StringView type;
    QString TContactData::*field;
    QLatin1StringView preferred;
};

QStringList PhoneNumbers(const TContactData &c, const QJsonObject &kept)
{
    using C = TContactData;
    static const PhoneSlot kPhoneSlots[] = {
        {"work"_L1, &C::WorkPhone, "Work"_L1},          {"workMobile"_L1, &C::WorkMobilePhone, "Work"_L1},
        {"workFax"_L1, &C::WorkFax, "Work"_L1},          {"workPager"_L1, &C::WorkPager, "Work"_L1},
        {"home"_L1, &C::HomePhone, "Personal"_L1},       {"mobile"_L1, &C::PersonalMobilePhone, "Personal"_L1},
        {"homeFax"_L1, &C::HomeFax, "Personal"_L1},      {"pager"_L1, &C::PersonalPager, "Personal"_L1},
        {"other"_L1, &C::OtherPhone, "Other"_L1},        {"otherFax"_L1, &C::OtherFax, "Other"_L1},
    };
    QStringList elements;
    for (const PhoneSlot &slot : kPhoneSlots) {
        // One "other" number only: the mobile one when there is one.
        const QString &value = slot.field == &C::OtherPhone && !c.OtherMobilePhone.isEmpty() ? c.OtherMobilePhone
                                                                                              : c.*slot.field;
        elements.append(Element(c.Preferred == slot.preferred,
                                {Text("value"_L1, value), Type(kept, "phoneNumbers"_L1, value, slot.type)}));
    }
    return elements;
}

// The members of rows that have one element per location.
QStringList LocationMembers(const TContactData &c, const QJsonObject &kept)
{
    QStringList emails, urls, ims, addresses;
    for (const PeopleLocation &l : PeopleLocations()) {
        const bool primary = c.Preferred == l.preferred;
        emails.append(
            Element(primary, {Text("value"_L1, c.*l.email), Type(kept, "emailAddresses"_L1, c.*l.email, l.type)}));
        urls.append(Element(primary, {Text("value"_L1, c.*l.website), Type(kept, "urls"_L1, c.*l.website, l.type)}));
        const ImAddress im = SplitImAddress(c.*l.im);
        ims.append(Element(primary, {Text("username"_L1, im.username), Text("protocol"_L1, im.protocol),
                                     Type(kept, "imClients"_L1, c.*l.im, l.type)}));
        const QString address =
            AddressKey({c.*l.street, c.*l.poBox, c.*l.city, c.*l.region, c.*l.postalCode, c.*l.country});
        addresses.append(Element(primary, {Text("streetAddress"_L1, c.*l.street), Text("poBox"_L1, c.*l.poBox),
                                           Text("city"_L1, c.*l.city), Text("region"_L1, c.*l.region),
                                           Text("postalCode"_L1, c.*l.postalCode), Text("country"_L1, c.*l.country),
                                           Text("countryCode"_L1, TwoLetterCodeOfCountry(c.*l.country)),
                                           Type(kept, "addresses"_L1, address, l.type)}));
    }
    return {List("emailAddresses"_L1, emails, kept), List("urls"_L1, urls, kept), List("imClients"_L1, ims, kept),
            List("phoneNumbers"_L1, PhoneNumbers(c, kept), kept), List("addresses"_L1, addresses, kept)};
}

} // namespace

ImAddress SplitImAddress(const QString &im)
{
    const qsizetype at = im.indexOf(u'@');
    if (at < 0)
        return {im, QString()};
    QString protocol = im.mid(at + 1).toLower();
    if (protocol == "googletalk"_L1)
        protocol = u"googleTalk"_s;
    else if (protocol == "netmeeting"_L1)
        protocol = u"netMeeting"_s;
    else if (protocol == "whatsapp"_L1)
        protocol = u"whatsApp"_s;
    return {im.left(at), protocol};
}

QString BuildPersonBody(const TContactData &c, const QStringList &groups, const QJsonObject &kept)
{
    QStringList members;
    if (!c.GoogleContactID.isEmpty())
        members.append(Text("resourceName"_L1, c.GoogleContactID));
    if (!c.GoogleContactETag.isEmpty())
        members.append(Text("etag"_L1, c.GoogleContactETag));
    members.append(Member("locales"_L1, Array({Object({Text("value"_L1, c.Language)})})));
    members.append(Member("names"_L1, Array({Object({Text("familyName"_L1, c.LastName),
                                                     Text("givenName"_L1, c.FirstName),
                                                     Text("middleName"_L1, c.MiddleName),
                                                     Text("honorificPrefix"_L1, c.Title),
                                                     Text("honorificSuffix"_L1, c.Suffix)})})));
    members.append(List("nicknames"_L1, {Object({Text("value"_L1, c.Nickname), Text("type"_L1, u"DEFAULT"_s)})}, kept));
    members.append(Member("genders"_L1, Array({Object({Text("value"_L1, c.Gender.toLower())})})));
    members.append(Member("biographies"_L1, Array({Object({Text("value"_L1, c.Notes.join(u'\n')),
                                                           Text("contentType"_L1, u"TEXT_PLAIN"_s)})})));
    members.append(Member("organizations"_L1, Array({Object({Text("name"_L1, c.Company),
                                                             Text("department"_L1, c.Department),
                                                             Text("title"_L1, c.JobTitle)})})));
    members.append(Member("occupations"_L1, Array({Object({Text("value"_L1, c.Role)})})));
    members.append(
        List("relations"_L1, {Object({Text("person"_L1, c.SignificantOther), Text("type"_L1, u"spouse"_s)})}, kept));
    members.append(List("miscKeywords"_L1,
                        {Object({Text("value"_L1, c.Sensitivity.toLower()), Text("type"_L1, u"OUTLOOK_SENSITIVITY"_s)}),
                         Object({Text("value"_L1, c.Priority.toLower()), Text("type"_L1, u"OUTLOOK_PRIORITY"_s)})},
                        kept));
    members.append(Member("memberships"_L1, Memberships(c, groups)));
    members.append(Member("birthdays"_L1, c.Birthday != 0
                                              ? Array({Object({Member("date"_L1, DateObject(c.Birthday))})})
                                              : u"[]"_s));
    QStringList events;
    if (c.Anniversary != 0)
        events.append(Object({Member("date"_L1, DateObject(c.Anniversary)), Text("type"_L1, u"anniversary"_s)}));
    members.append(List("events"_L1, events, kept));
    members += LocationMembers(c, kept);
    return u"{\n"_s + members.join(u",\n"_s) + u"\n}"_s;
}

} // namespace cardolin
