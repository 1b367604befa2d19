#pragma once

#include <QString>

namespace cardolin {

// The normal forms a contact's numbers and addresses are brought to.

// A telephone number taken apart: the country it belongs to and the pieces that
// follow its dialling code.
struct DialNumberParts
{
    QString country;
    QString areaCode;
    QString localNumber;
    QString extension;
};

struct DialNumber
{
    DialNumberParts parts;
    QString formatted;
    // Set when the number's own country code contradicts the location's country:
    // the country the code belongs to and that code.
    QString conflictingCountry;
    QString conflictingCode;
};

// Takes a telephone number apart and formats it again, with the country of its
// location (may be empty).
DialNumber FormatDialNumber(const QString &number, const QString &country);
// "+33 (1) 23456789 x 12": the country's dialling code (none for a name outside
// the table), the area code in parentheses, the local number, the extension.
QString ComposeDialNumber(const DialNumberParts &parts);
// The warning shown when a number's own code contradicts its location's country.
QString DialNumberConflictMessage(const DialNumber &dial, const QString &country);
QString FormatEmail(const QString &email);
QString FormatWebsite(const QString &website);
// Lower-cases the letters A to Z only; other letters keep their case.
QString LowercaseAToZ(const QString &text);

} // namespace cardolin
