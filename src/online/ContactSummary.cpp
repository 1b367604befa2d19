#include "contacts/QorContacts.h"
#include "online/LocationText.h"

#include <optional>

namespace cardolin {

namespace {

// The fields of one location that summaries show, with the words that tell
// its telephones apart.
struct SummaryFields
{
    const QString &phone, &mobile, &email, &website, &street, &city, &state, &postalCode, &country;
    QLatin1StringView phoneWord, mobileWord;
};

std::optional<SummaryFields> FieldsOf(const TContactData &c, TLocationType type)
{
    switch (type) {
    case ltWork:
        return SummaryFields{c.WorkPhone, c.WorkMobilePhone, c.WorkEmail, c.WorkWebsite, c.WorkStreet, c.WorkCity,
                   c.WorkStateProvince, c.WorkPostalCode, c.WorkCountryRegion, QLatin1StringView(" (Work)"),
                   QLatin1StringView(" (Work Mobile)")};
    case ltHome:
    case ltPersonal:
        return SummaryFields{c.HomePhone, c.PersonalMobilePhone, c.PersonalEmail, c.PersonalWebsite, c.HomeStreet, c.HomeCity,
                   c.HomeStateProvince, c.HomePostalCode, c.HomeCountryRegion, QLatin1StringView(" (Home)"),
                   QLatin1StringView(" (Personal Mobile)")};
    case ltOther:
        return SummaryFields{c.OtherPhone, c.OtherMobilePhone, c.OtherEmail, c.OtherWebsite, c.OtherStreet, c.OtherCity,
                   c.OtherStateProvince, c.OtherPostalCode, c.OtherCountryRegion, QLatin1StringView(" (Other)"),
                   QLatin1StringView(" (Other Mobile)")};
    default:
        return std::nullopt;
    }
}

void AddIfSet(QStringList &lines, const QString &value, QLatin1StringView suffix = {})
{
    if (!value.isEmpty())
        lines.append(value + suffix);
}

void AddContactLines(QStringList &lines, const SummaryFields &f)
{
    AddIfSet(lines, f.phone, f.phoneWord);
    AddIfSet(lines, f.mobile, f.mobileWord);
    AddIfSet(lines, f.email);
    AddIfSet(lines, f.website);
}

void AddPlaceLines(QStringList &lines, const SummaryFields &f)
{
    AddIfSet(lines, f.street);
    AddIfSet(lines, FormatCityLine(f.city, f.state, f.postalCode));
    AddIfSet(lines, f.country);
}

} // namespace

void TQorContacts::BuildContactDataSummary(const TContactData *AContactData, TLocationType ALocationType,
                                           QStringList &AStringList) const
{
    if (!AContactData)
        return;
    AStringList.append(GetDisplayNameFromContactData(AContactData, dtInherited));
    const auto f = FieldsOf(*AContactData, ALocationType);
    if (!f)
        return;
    if (ALocationType == ltWork) {
        AddIfSet(AStringList, AContactData->Company);
        AddIfSet(AStringList, AContactData->JobTitle);
    }
    AStringList.append(QString());
    AddContactLines(AStringList, *f);
    AStringList.append(QString());
    AddPlaceLines(AStringList, *f);
}

void TQorContacts::BuildContactDataPlaceSummary(const TContactData *AContactData, TLocationType ALocationType,
                                                QStringList &AStringList) const
{
    if (!AContactData)
        return;
    const auto f = FieldsOf(*AContactData, ALocationType);
    if (!f)
        return;
    AddPlaceLines(AStringList, *f);
    AStringList.append(QString());
    AddContactLines(AStringList, *f);
}

} // namespace cardolin
