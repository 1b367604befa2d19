#pragma once

#include <QString>

namespace cardolin {

// The normal forms a contact's numbers and addresses are brought to.

struct DialNumber
{
    QString formatted;
    // Set when the number's own country code contradicts the location's country:
    // the country the code belongs to and that code.
    QString conflictingCountry;
    QString conflictingCode;
};

// Formats a telephone number with the country of its location (may be empty).
DialNumber FormatDialNumber(const QString &number, const QString &country);
QString FormatEmail(const QString &email);
QString FormatWebsite(const QString &website);
QString UppercaseAToZ(const QString &text);

} // namespace cardolin
