#include "contacts/ContactFields.h"

#include <array>

namespace cardolin {

namespace {

using enum FieldKind;
using enum CopyRule;

constexpr auto L(const char *name) { return QLatin1StringView(name); }

// clang-format off
const std::array<ContactField, 84> kFields{{
    {L("Title"),                   Text,       Always,      &TContactData::Title},
    {L("FirstName"),               Text,       Always,      &TContactData::FirstName},
    {L("MiddleName"),              Text,       Always,      &TContactData::MiddleName},
    {L("LastName"),                Text,       Always,      &TContactData::LastName},
    {L("Suffix"),                  Text,       Always,      &TContactData::Suffix},
    {L("Nickname"),                Text,       Always,      &TContactData::Nickname},
    {L("Initials"),                Text,       Always,      &TContactData::Initials},
    {L("Language"),                Text,       Always,      &TContactData::Language},
    {L("Preferred"),               Text,       Always,      &TContactData::Preferred},
    {L("LastVisit"),               Date,       Always,      &TContactData::LastVisit},
    {L("VisitCount"),              Integer,    Always,      &TContactData::VisitCount},
    {L("Photo"),                   Photo,      Never,       &TContactData::Photo},
    {L("Company"),                 Text,       Always,      &TContactData::Company},
    {L("Department"),              Text,       Always,      &TContactData::Department},
    {L("JobTitle"),                Text,       Always,      &TContactData::JobTitle},
    {L("Role"),                    Text,       Always,      &TContactData::Role},
    {L("WorkStreet"),              Text,       Always,      &TContactData::WorkStreet},
    {L("WorkPOBox"),               Text,       Always,      &TContactData::WorkPOBox},
    {L("WorkCity"),                Text,       Always,      &TContactData::WorkCity},
    {L("WorkPostalCode"),          Text,       Always,      &TContactData::WorkPostalCode},
    {L("WorkStateProvince"),       Text,       Always,      &TContactData::WorkStateProvince},
    {L("WorkCountryRegion"),       Text,       Always,      &TContactData::WorkCountryRegion},
    {L("WorkCoordinates"),         Text,       Never,       &TContactData::WorkCoordinates},
    {L("WorkCoordinatesUpdated"),  DateTime,   Never,       &TContactData::WorkCoordinatesUpdated},
    {L("WorkPhone"),               Text,       Always,      &TContactData::WorkPhone},
    {L("WorkFax"),                 Text,       Always,      &TContactData::WorkFax},
    {L("WorkMobilePhone"),         Text,       Always,      &TContactData::WorkMobilePhone},
    {L("WorkPager"),               Text,       Always,      &TContactData::WorkPager},
    {L("WorkEmail"),               Text,       Always,      &TContactData::WorkEmail},
    {L("WorkIM"),                  Text,       Never,       &TContactData::WorkIM},
    {L("WorkWebsite"),             Text,       Always,      &TContactData::WorkWebsite},
    {L("WorkLocation"),            Text,       DefaultOnly, &TContactData::WorkLocation},
    {L("HomeStreet"),              Text,       Always,      &TContactData::HomeStreet},
    {L("HomePOBox"),               Text,       Always,      &TContactData::HomePOBox},
    {L("HomeCity"),                Text,       Always,      &TContactData::HomeCity},
    {L("HomePostalCode"),          Text,       Always,      &TContactData::HomePostalCode},
    {L("HomeStateProvince"),       Text,       Always,      &TContactData::HomeStateProvince},
    {L("HomeCountryRegion"),       Text,       Always,      &TContactData::HomeCountryRegion},
    {L("HomeCoordinates"),         Text,       Never,       &TContactData::HomeCoordinates},
    {L("HomeCoordinatesUpdated"),  DateTime,   Never,       &TContactData::HomeCoordinatesUpdated},
    {L("HomePhone"),               Text,       Always,      &TContactData::HomePhone},
    {L("HomeFax"),                 Text,       Always,      &TContactData::HomeFax},
    {L("PersonalMobilePhone"),     Text,       Always,      &TContactData::PersonalMobilePhone},
    {L("PersonalPager"),           Text,       Always,      &TContactData::PersonalPager},
    {L("PersonalEmail"),           Text,       Always,      &TContactData::PersonalEmail},
    {L("PersonalIM"),              Text,       Always,      &TContactData::PersonalIM},
    {L("PersonalWebsite"),         Text,       Always,      &TContactData::PersonalWebsite},
    {L("HomeLocation"),            Text,       DefaultOnly, &TContactData::HomeLocation},
    {L("Gender"),                  Text,       Always,      &TContactData::Gender},
    {L("Birthday"),                Date,       Always,      &TContactData::Birthday},
    {L("SignificantOther"),        Text,       Always,      &TContactData::SignificantOther},
    {L("Anniversary"),             Date,       Always,      &TContactData::Anniversary},
    {L("OtherStreet"),             Text,       Always,      &TContactData::OtherStreet},
    {L("OtherPOBox"),              Text,       Always,      &TContactData::OtherPOBox},
    {L("OtherCity"),               Text,       Always,      &TContactData::OtherCity},
    {L("OtherPostalCode"),         Text,       Always,      &TContactData::OtherPostalCode},
    {L("OtherStateProvince"),      Text,       Always,      &TContactData::OtherStateProvince},
    {L("OtherCountryRegion"),      Text,       Always,      &TContactData::OtherCountryRegion},
    {L("OtherCoordinates"),        Text,       Never,       &TContactData::OtherCoordinates},
    {L("OtherCoordinatesUpdated"), DateTime,   Never,       &TContactData::OtherCoordinatesUpdated},
    {L("OtherPhone"),              Text,       Always,      &TContactData::OtherPhone},
    {L("OtherFax"),                Text,       Always,      &TContactData::OtherFax},
    {L("OtherMobilePhone"),        Text,       Never,       &TContactData::OtherMobilePhone},
    {L("OtherPager"),              Text,       Never,       &TContactData::OtherPager},
    {L("OtherEmail"),              Text,       Always,      &TContactData::OtherEmail},
    {L("OtherIM"),                 Text,       Never,       &TContactData::OtherIM},
    {L("OtherWebsite"),            Text,       Always,      &TContactData::OtherWebsite},
    {L("OtherLocation"),           Text,       DefaultOnly, &TContactData::OtherLocation},
    {L("Notes"),                   Lines,      Always,      &TContactData::Notes},
    {L("Categories"),              SortedList, Always,      &TContactData::Categories},
    {L("Keywords"),                SortedList, DefaultOnly, &TContactData::Keywords},
    {L("Priority"),                Text,       Always,      &TContactData::Priority},
    {L("Sensitivity"),             Text,       Always,      &TContactData::Sensitivity},
    {L("Created"),                 DateTime,   DefaultOnly, &TContactData::Created},
    {L("Modified"),                DateTime,   DefaultOnly, &TContactData::Modified},
    {L("Accessed"),                DateTime,   DefaultOnly, &TContactData::Accessed},
    {L("Synced"),                  DateTime,   Reset,       &TContactData::Synced},
    {L("Uid"),                     Text,       Never,       &TContactData::Uid},
    {L("Exportable"),              Boolean,    Always,      &TContactData::Exportable},
    {L("ExportableOverride"),      Boolean,    Never,       &TContactData::ExportableOverride},
    {L("GoogleContactID"),         Text,       GoogleOnly,  &TContactData::GoogleContactID},
    {L("GoogleContactUpdated"),    Text,       GoogleOnly,  &TContactData::GoogleContactUpdated},
    {L("GoogleContactETag"),       Text,       GoogleOnly,  &TContactData::GoogleContactETag},
    {L("GoogleContactPhotoUrl"),   Text,       GoogleOnly,  &TContactData::GoogleContactPhotoUrl},
}};
// clang-format on

} // namespace

std::span<const ContactField> ContactFields()
{
    return kFields;
}

const ContactField *FindContactField(QStringView name)
{
    for (const ContactField &field : kFields)
        if (field.name == name)
            return &field;
    return nullptr;
}

bool IsCoordinateOrAccountField(const ContactField &field)
{
    return field.name.endsWith(QLatin1StringView("Coordinates")) || field.name.startsWith(QLatin1StringView("Google"))
           || field.name == QLatin1StringView("Uid");
}

void CopyField(const ContactField &field, const TContactData &source, TContactData &dest)
{
    std::visit([&](auto member) { dest.*member = source.*member; }, field.member);
}

} // namespace cardolin
