#pragma once

#include "contacts/ContactData.h"

#include <QLatin1StringView>

#include <span>
#include <variant>

namespace cardolin {

// A table of the record's fields, so that writers, readers and copies walk one list
// instead of naming 84 members by hand each time.
enum class FieldKind { Text, Date, DateTime, Integer, Boolean, Lines, SortedList, Photo };

// What CopyContactData does with a field, for each contact type.
enum class CopyRule {
    Always,      // copied for ctDefault and ctGoogle
    DefaultOnly, // copied for ctDefault, kept for ctGoogle
    GoogleOnly,  // kept for ctDefault, copied for ctGoogle
    Never,       // always kept
    Reset,       // always set to 0
};

using FieldMember = std::variant<QString TContactData::*, TDateTime TContactData::*, int TContactData::*,
                                 bool TContactData::*, QStringList TContactData::*,
                                 TSortedStringList TContactData::*, QByteArray TContactData::*>;

struct ContactField
{
    QLatin1StringView name;
    FieldKind kind;
    CopyRule copy;
    FieldMember member;
};

// All 84 fields in declaration order.
std::span<const ContactField> ContactFields();
const ContactField *FindContactField(QStringView name);

template <typename T> T &FieldRef(TContactData &contact, const ContactField &field)
{
    return contact.*std::get<T TContactData::*>(field.member);
}
template <typename T> const T &FieldRef(const TContactData &contact, const ContactField &field)
{
    return contact.*std::get<T TContactData::*>(field.member);
}

// The coordinates, the Google account links and the Uid describe one record's
// own state: searches skip them and merges never mix them.
bool IsCoordinateOrAccountField(const ContactField &field);

// Copies one field's value whatever its kind.
void CopyField(const ContactField &field, const TContactData &source, TContactData &dest);

} // namespace cardolin
