#include "online/PeopleFields.h"

#include "contacts/ContactsBookFile.h"
#include "online/JsonText.h"

#include <QJsonObject>

namespace cardolin {

using namespace Qt::Literals::StringLiterals;
using C = TContactData;

std::span<const PeopleLocation> PeopleLocations()
{
    static const PeopleLocation locations[] = {
        {"work"_L1, "Work"_L1, &C::WorkEmail, &C::WorkWebsite, &C::WorkIM, &C::WorkStreet, &C::WorkPOBox,
         &C::WorkCity, &C::WorkStateProvince, &C::WorkPostalCode, &C::WorkCountryRegion},
        {"home"_L1, "Personal"_L1, &C::PersonalEmail, &C::PersonalWebsite, &C::PersonalIM, &C::HomeStreet,
         &C::HomePOBox, &C::HomeCity, &C::HomeStateProvince, &C::HomePostalCode, &C::HomeCountryRegion},
        {"other"_L1, "Other"_L1, &C::OtherEmail, &C::OtherWebsite, &C::OtherIM, &C::OtherStreet, &C::OtherPOBox,
         &C::OtherCity, &C::OtherStateProvince, &C::OtherPostalCode, &C::OtherCountryRegion},
    };
    return locations;
}

std::span<const PeoplePhone> PeoplePhonesRead()
{
    static const PeoplePhone phones[] = {
        {"work"_L1, &C::WorkPhone, "Work"_L1},
        {"home"_L1, &C::HomePhone, "Personal"_L1},
        {"other"_L1, &C::OtherPhone, "Other"_L1},
        {"workMobile"_L1, &C::WorkMobilePhone, "Work"_L1},
        {"mobile"_L1, &C::PersonalMobilePhone, "Personal"_L1},
        {"workFax"_L1, &C::WorkFax, {}},
        {"homeFax"_L1, &C::HomeFax, {}},
        {"otherFax"_L1, &C::OtherFax, {}},
        {"workPager"_L1, &C::WorkPager, {}},
        {"pager"_L1, &C::PersonalPager, {}},
    };
    return phones;
}

void TakePersonLink(const QJsonObject &person, TContactData &c)
{
    c.GoogleContactID = JsonTextAt(person, u"resourceName");
    c.GoogleContactETag = JsonTextAt(person, u"etag");
    c.GoogleContactUpdated = JsonTextAt(person, u"metadata.sources[0].updateTime");
    TDateTime synced = 0;
    if (!c.GoogleContactUpdated.isEmpty() && bookfile::ParseUtcStampText(c.GoogleContactUpdated, synced))
        c.Synced = synced;
}

QString CapitalizeWords(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar before = i > 0 ? out[i - 1] : QChar();
        const bool openerAfterSpace =
            (before == u'(' || before == u'"') && i > 1 && out[i - 2] == u' ';
        if (i == 0 || before == u' ' || before == u'-' || openerAfterSpace)
            out[i] = out[i].toUpper();
    }
    return out;
}

} // namespace cardolin
