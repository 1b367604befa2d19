#include "online/LocationText.h"

#include "contacts/AccentFolding.h"

namespace cardolin {

namespace {

struct LocationFields
{
    const QString &street, &city, &state, &postalCode, &country;
};

LocationFields FieldsOf(const TContactData &c, TLocationType location)
{
    switch (location) {
    case ltWork:
        return {c.WorkStreet, c.WorkCity, c.WorkStateProvince, c.WorkPostalCode, c.WorkCountryRegion};
    case ltHome:
    case ltPersonal:
        return {c.HomeStreet, c.HomeCity, c.HomeStateProvince, c.HomePostalCode, c.HomeCountryRegion};
    default:
        return {c.OtherStreet, c.OtherCity, c.OtherStateProvince, c.OtherPostalCode, c.OtherCountryRegion};
    }
}

QString AfterFirstSemicolon(const QString &text)
{
    const qsizetype at = text.indexOf(u';');
    return at < 0 ? text : text.mid(at + 1);
}

} // namespace

QString CleanStreetText(const QString &street)
{
    QString text = AfterFirstSemicolon(AfterFirstSemicolon(street));
    text.replace(u',', u' ');
    text.replace(QLatin1StringView("  "), QLatin1StringView(" "));
    return FoldAccentedChars(text);
}

QString FormatCityLine(const QString &city, const QString &stateProvince, const QString &postalCode)
{
    if (!stateProvince.isEmpty()) {
        QString line = postalCode.isEmpty() ? stateProvince : stateProvince + u' ' + postalCode;
        return city.isEmpty() ? line : city + QLatin1StringView(", ") + line;
    }
    if (!postalCode.isEmpty())
        return city.isEmpty() ? postalCode : postalCode + u' ' + city;
    return city;
}

QString BuildLocationAddressText(const TContactData &contact, TLocationType location)
{
    if (location == ltAll || location == ltPreferred)
        return {};
    const LocationFields f = FieldsOf(contact, location);
    return BuildAddressText(f.street, f.city, f.state, f.postalCode, f.country);
}

QString BuildAddressText(const QString &street, const QString &city, const QString &stateProvince,
                         const QString &postalCode, const QString &country)
{
    QStringList parts{CleanStreetText(street), FormatCityLine(city, stateProvince, postalCode), country};
    parts.removeAll(QString());
    return parts.join(QLatin1StringView(", "));
}

QString EncodeURLText(const QString &text, bool spacesAsPlus)
{
    QString out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ')
            out += spacesAsPlus ? QLatin1StringView("+") : QLatin1StringView("%20");
        else if (u == u'\'' || (u < 0x80 && (c.isLetterOrNumber())))
            out += c;
        else
            out += u'%' + QString::number(u, 16).toUpper().rightJustified(2, u'0');
    }
    return out;
}

} // namespace cardolin
