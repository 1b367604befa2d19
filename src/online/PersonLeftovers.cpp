#include "online/PersonLeftovers.h"

#include "online/JsonText.h"
#include "online/PeopleFields.h"

#include <QJsonArray>

#include <vector>

namespace cardolin {

namespace {

using namespace Qt::Literals::StringLiterals;
using C = TContactData;

enum class Kind { Email, Website, Im, Phone, Address };

// The field (for an address, the fields) of the contact that holds one element.
struct Slot
{
    QLatin1StringView type;
    QLatin1StringView preferred; // what a primary element makes Preferred; empty: nothing
    const PeopleLocation *location = nullptr;
    QString C::*phone = nullptr;
};

struct PointList
{
    Kind kind;
    QLatin1StringView member;
    std::vector<Slot> slots;
    std::vector<size_t> freeOrder; // the slots an element of another type may take, in order
};

struct AddressPart
{
    QStringView key;
    QString C::*PeopleLocation::*field;
};
constexpr AddressPart kAddressParts[] = {
    {u"streetAddress", &PeopleLocation::street}, {u"poBox", &PeopleLocation::poBox},
    {u"city", &PeopleLocation::city},            {u"region", &PeopleLocation::region},
    {u"postalCode", &PeopleLocation::postalCode}, {u"country", &PeopleLocation::country},
};

// The one field of a slot that is not an address.
QString C::*FieldOf(const PointList &list, const Slot &slot)
{
    switch (list.kind) {
    case Kind::Email:
        return slot.location->email;
    case Kind::Website:
        return slot.location->website;
    case Kind::Im:
        return slot.location->im;
    default:
        return slot.phone;
    }
}

// One text per element and per slot, so that the two compare; empty when
// there is nothing to hold.
QString ElementText(Kind kind, const QJsonValue &element)
{
    if (kind == Kind::Im) {
        // An address sent without a protocol comes back as it was, not with a stray "@".
        const QString protocol = JsonTextAt(element, u"protocol");
        return JsonTextAt(element, u"username") + (protocol.isEmpty() ? QString() : u'@' + protocol);
    }
    if (kind != Kind::Address)
        return JsonTextAt(element, u"value");
    QStringList parts;
    for (const AddressPart &part : kAddressParts)
        parts.append(JsonTextAt(element, part.key));
    return AddressKey(parts);
}

QString SlotText(const PointList &list, const Slot &slot, const C &c)
{
    if (list.kind != Kind::Address)
        return c.*FieldOf(list, slot);
    QStringList parts;
    for (const AddressPart &part : kAddressParts)
        parts.append(c.*(slot.location->*part.field));
    return AddressKey(parts);
}

void Store(const PointList &list, const Slot &slot, const QJsonValue &element, C &c)
{
    if (list.kind != Kind::Address) {
        c.*FieldOf(list, slot) = ElementText(list.kind, element);
        return;
    }
    for (const AddressPart &part : kAddressParts)
        c.*(slot.location->*part.field) = JsonTextAt(element, part.key);
}

PointList Located(Kind kind, QLatin1StringView member, bool primary)
{
    PointList list{kind, member, {}, {}};
    for (const PeopleLocation &location : PeopleLocations()) {
        list.freeOrder.push_back(list.slots.size());
        list.slots.push_back({location.type, primary ? location.preferred : QLatin1StringView(), &location});
    }
    return list;
}

PointList Phones()
{
    PointList list{Kind::Phone, "phoneNumbers"_L1, {}, {}};
    for (const PeoplePhone &phone : PeoplePhonesRead())
        list.slots.push_back({phone.type, phone.preferred, nullptr, phone.field});
    // A number of no known type is taken for a plain voice number, as the vCard reader does.
    for (const QLatin1StringView type : {"other"_L1, "home"_L1, "work"_L1})
        for (size_t i = 0; i < list.slots.size(); ++i)
            if (list.slots[i].type == type)
                list.freeOrder.push_back(i);
    return list;
}

// In this order: a later primary element decides Preferred.
const std::vector<PointList> &PointLists()
{
    static const std::vector<PointList> lists = {
        Located(Kind::Email, "emailAddresses"_L1, true), Located(Kind::Website, "urls"_L1, false),
        Located(Kind::Im, "imClients"_L1, false), Phones(), Located(Kind::Address, "addresses"_L1, true),
    };
    return lists;
}

const Slot *SlotOfType(const PointList &list, const QString &type)
{
    for (const Slot &slot : list.slots)
        if (slot.type == type)
            return &slot;
    return nullptr;
}

bool IsPrimary(const QJsonValue &element)
{
    return JsonTextAt(element, u"metadata.primary") == "true"_L1;
}

// What goes back to the account as it came, less what only the service writes.
QJsonObject Resendable(const QJsonValue &element)
{
    QJsonObject object = element.toObject();
    object.remove("metadata"_L1);
    for (const QString &key : object.keys())
        if (key.startsWith("formatted"_L1))
            object.remove(key);
    return object;
}

void Place(const PointList &list, const Slot &slot, const QJsonValue &element, C &c)
{
    Store(list, slot, element, c);
    if (!slot.preferred.isEmpty() && IsPrimary(element))
        c.Preferred = slot.preferred;
}

const Slot *SlotHolding(const PointList &list, const QString &text, const C &c)
{
    for (const Slot &slot : list.slots)
        if (SlotText(list, slot, c) == text)
            return &slot;
    return nullptr;
}

const Slot *FreeSlot(const PointList &list, const C &c)
{
    for (const size_t index : list.freeOrder)
        if (SlotText(list, list.slots[index], c).isEmpty())
            return &list.slots[index];
    return nullptr;
}

void ReadList(const PointList &list, const QJsonObject &person, C &c, QJsonObject &leftovers)
{
    const QJsonArray elements = person.value(list.member).toArray();
    std::vector<const Slot *> placed(size_t(elements.size()), nullptr);
    for (qsizetype i = 0; i < elements.size(); ++i)
        if (const Slot *slot = SlotOfType(list, JsonTextAt(elements[i], u"type"))) {
            Place(list, *slot, elements[i], c);
            placed[size_t(i)] = slot;
        }
    QJsonObject labels;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const QString text = ElementText(list.kind, elements[i]);
        if (placed[size_t(i)] || text.isEmpty())
            continue;
        // A value the contact holds already is not held twice.
        placed[size_t(i)] = SlotHolding(list, text, c);
        if (placed[size_t(i)])
            continue;
        if (const Slot *slot = FreeSlot(list, c)) {
            Place(list, *slot, elements[i], c);
            placed[size_t(i)] = slot;
            labels.insert(text, JsonTextAt(elements[i], u"type"));
        }
    }
    QJsonArray kept;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const QString text = ElementText(list.kind, elements[i]);
        const Slot *slot = placed[size_t(i)];
        if (!text.isEmpty() && (!slot || SlotText(list, *slot, c) != text))
            kept.append(Resendable(elements[i]));
    }
    if (!kept.isEmpty())
        leftovers.insert(list.member, kept);
    if (!labels.isEmpty()) {
        QJsonObject labelled = leftovers.value("labelled"_L1).toObject();
        labelled.insert(list.member, labels);
        leftovers.insert("labelled"_L1, labelled);
    }
}

struct SentTypes
{
    QLatin1StringView member;
    std::initializer_list<QLatin1StringView> types;
};

} // namespace

QJsonObject ReadContactPoints(const QJsonObject &person, TContactData &c)
{
    QJsonObject leftovers;
    for (const PointList &list : PointLists())
        ReadList(list, person, c, leftovers);
    return leftovers;
}

QString KeptType(const QJsonObject &leftovers, QLatin1StringView member, const QString &key, QLatin1StringView type)
{
    const QJsonValue label = leftovers.value("labelled"_L1)[member][key];
    return label.isString() ? label.toString() : QString(type);
}

QString AddressKey(const QStringList &parts)
{
    return parts.join(QString()).isEmpty() ? QString() : parts.join(u'\n');
}

void KeepUnsentTypes(const QJsonObject &person, QJsonObject &leftovers)
{
    static const SentTypes kSent[] = {
        {"nicknames"_L1, {"DEFAULT"_L1}},
        {"relations"_L1, {"spouse"_L1, "partner"_L1}},
        {"events"_L1, {"anniversary"_L1}},
        {"miscKeywords"_L1, {"OUTLOOK_SENSITIVITY"_L1, "OUTLOOK_PRIORITY"_L1}},
    };
    for (const SentTypes &sent : kSent) {
        QJsonArray kept;
        for (const QJsonValue &element : person.value(sent.member).toArray()) {
            const QString type = JsonTextAt(element, u"type");
            if (std::find(sent.types.begin(), sent.types.end(), type) == sent.types.end())
                kept.append(Resendable(element));
        }
        if (!kept.isEmpty())
            leftovers.insert(sent.member, kept);
    }
}

} // namespace cardolin
