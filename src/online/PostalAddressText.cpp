#include "online/PostalAddressText.h"

#include "contacts/ContactFormatting.h"
#include "online/LocationText.h"

#include <algorithm>

namespace cardolin {

namespace {

using namespace Qt::StringLiterals;

// Searched in the line with only A to Z lowered, so "ALLÉE" does not match
// "allée"; the blanks around some keywords keep them from matching inside words.
const QStringList &StreetKeywords()
{
    static const QStringList keywords{
        u"avenue"_s, u"av."_s,  u"av "_s,   u"rue"_s,   u"allée"_s,    u"boulevard"_s, u"bd "_s,  u"place"_s,
        u"pl."_s,    u"pl "_s,  u"square"_s, u"route"_s, u"faubourg"_s, u"fg "_s,       u"galerie"_s, u"court"_s,
        u"lane"_s,   u"park"_s, u"street"_s, u"st."_s,   u"drive"_s,    u"dr."_s,       u" dr"_s,  u"road"_s,
        u" rd"_s,    u" way"_s, u" rte"_s,   u"alley"_s, u" aly"_s,     u"blvd"_s,      u" ave"_s};
    return keywords;
}

const QStringList &POBoxKeywords()
{
    static const QStringList keywords{u"po box"_s, u"p.o. box"_s, u"bp "_s, u"b.p."_s};
    return keywords;
}

bool ContainsAny(const QString &text, const QStringList &keywords)
{
    return std::any_of(keywords.begin(), keywords.end(), [&](const QString &k) { return text.contains(k); });
}

bool IsDigitsOnly(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void AppendStreetLine(QString &street, const QString &line)
{
    street = street.isEmpty() ? line : street + u';' + line;
}

// "Springfield, IL 62701": a known state code after the comma.
bool TakeStateCodeLine(const QString &line, PostalAddressFields &fields)
{
    for (const QString &code : StateProvinceCodes()) {
        if (!line.contains(u", "_s + code))
            continue;
        fields.city = line.left(line.indexOf(u", "_s));
        fields.stateProvince = code;
        const QString marker = u", "_s + code + u' ';
        const qsizetype at = line.indexOf(marker);
        fields.postalCode = at < 0 ? QString() : line.mid(at + marker.size());
        return true;
    }
    return false;
}

// "Springfield, Illinois 62701": whatever follows the comma.
bool TakeCommaLine(const QString &line, PostalAddressFields &fields)
{
    const qsizetype comma = line.indexOf(u", "_s);
    if (comma < 0)
        return false;
    fields.city = line.left(comma);
    const QString rest = line.mid(comma + 2);
    const qsizetype blank = rest.indexOf(u' ');
    fields.stateProvince = blank < 0 ? rest : rest.left(blank);
    fields.postalCode = blank < 0 ? QString() : rest.mid(blank + 1);
    return true;
}

// "Paris 75002": a city followed by digits only.
bool TakeCityPostalCodeLine(const QString &line, PostalAddressFields &fields)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0 || !IsDigitsOnly(QStringView(line).mid(blank + 1)))
        return false;
    fields.city = line.left(blank);
    fields.postalCode = line.mid(blank + 1);
    return true;
}

bool TakeCountryLine(const QString &line, const QStringList &countryNames, PostalAddressFields &fields)
{
    for (const QString &name : countryNames) {
        if (!name.isEmpty() && line.contains(name)) {
            fields.country = name;
            return true;
        }
    }
    return false;
}

} // namespace

bool PostalAddressFields::IsEmpty() const
{
    return street.isEmpty() && poBox.isEmpty() && city.isEmpty() && postalCode.isEmpty() && stateProvince.isEmpty()
           && country.isEmpty();
}

const QStringList &StateProvinceCodes()
{
    static const QStringList codes{u"AK"_s, u"AL"_s, u"AR"_s, u"AZ"_s, u"CA"_s, u"CO"_s, u"CT"_s, u"DC"_s, u"DE"_s,
                                   u"FL"_s, u"GA"_s, u"HI"_s, u"IA"_s, u"ID"_s, u"IL"_s, u"IN"_s, u"KS"_s, u"KY"_s,
                                   u"LA"_s, u"MA"_s, u"MD"_s, u"ME"_s, u"MI"_s, u"MN"_s, u"MO"_s, u"MS"_s, u"MT"_s,
                                   u"NC"_s, u"ND"_s, u"NE"_s, u"NH"_s, u"NJ"_s, u"NM"_s, u"NV"_s, u"NY"_s, u"OH"_s,
                                   u"OK"_s, u"OR"_s, u"PA"_s, u"RI"_s, u"SC"_s, u"SD"_s, u"TN"_s, u"TX"_s, u"UT"_s,
                                   u"VA"_s, u"VT"_s, u"WA"_s, u"WI"_s, u"WV"_s, u"WY"_s};
    return codes;
}

QStringList ComposePostalAddressLines(const PostalAddressFields &fields)
{
    if (fields.IsEmpty())
        return {};
    QStringList lines;
    if (!fields.street.isEmpty())
        lines += fields.street.split(u';');
    const QString cityLine = FormatCityLine(fields.city, fields.stateProvince, fields.postalCode);
    for (const QString *line : {&fields.poBox, &cityLine, &fields.country})
        if (!line->isEmpty())
            lines.append(*line);
    return lines;
}

void AnalysePostalAddressLines(const QStringList &lines, const QStringList &countryNames,
                               PostalAddressFields &fields)
{
    if (lines.isEmpty()) {
        fields = {};
        return;
    }
    fields.street.clear();
    for (const QString &line : lines) {
        const QString lowered = LowercaseAToZ(line);
        if (ContainsAny(lowered, StreetKeywords()))
            AppendStreetLine(fields.street, line);
        else if (ContainsAny(lowered, POBoxKeywords()))
            fields.poBox = line;
        else if (!TakeStateCodeLine(line, fields) && !TakeCommaLine(line, fields)
                 && !TakeCityPostalCodeLine(line, fields) && !TakeCountryLine(line, countryNames, fields))
            AppendStreetLine(fields.street, line);
    }
}

} // namespace cardolin
