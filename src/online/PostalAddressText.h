#pragma once

#include <QStringList>

namespace cardolin {

// The six address fields of one location.
struct PostalAddressFields
{
    QString street; // lines joined by ";"
    QString poBox;
    QString city;
    QString postalCode;
    QString stateProvince;
    QString country;

    bool IsEmpty() const;
    bool operator==(const PostalAddressFields &) const = default;
};

// The two-letter codes the state fields propose, in the order the address
// analysis tries them.
const QStringList &StateProvinceCodes();

// The address as a block of lines: the street's lines, the PO box, the city
// line and the country, each left out when empty. Empty for empty fields.
QStringList ComposePostalAddressLines(const PostalAddressFields &fields);

// Spreads a block of lines (pasted from a letter or a web page) over the
// fields. The street is rebuilt from the lines; the other fields keep their
// values unless a line sets them. No lines at all empty every field.
// Country names are matched in the given order.
void AnalysePostalAddressLines(const QStringList &lines, const QStringList &countryNames,
                               PostalAddressFields &fields);

} // namespace cardolin
