#pragma once

#include "contacts/ContactData.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

namespace cardolin {

// The fixed tables that translate between what the user reads and the codes that
// files, services and telephone numbers carry. Every lookup below depends on the
// order of the rows: where several rows match, the first one wins.

struct LanguageRow
{
    QStringView name; // "French (Canada)", "Serbian (Cyrillic) (Serbia)"
    QStringView tag;  // "fr-CA", "sr-Cyrl-CS"
};

struct CountryRow
{
    QStringView name;          // English short name, "Côte d'Ivoire"
    QStringView twoLetterCode; // "CI"
    QStringView diallingCode;  // "+225"
};

std::span<const LanguageRow> LanguageTable();
std::span<const CountryRow> CountryTable();

// All country names in table order, for the country fields of the dialogs.
QStringList CountryNames();

// The languages without their regions, script kept ("Azeri (Latin)"), each once
// whatever its letter case, in table order.
QStringList LanguageNames();

// Every lookup returns the empty text when nothing matches.

// The language of the first row whose tag starts with the given text, compared
// with exact case: "en" gives English, "sr-Cyrl-CS" gives "Serbian (Cyrillic)".
QString LanguageNameOfTag(const QString &tag);

// The tag of the row named "<Language> (<first non-empty of the work, home and
// other country>)", in any letter case.
QString LanguageTagOfContact(const TContactData &contact);

// Country name in any letter case.
QString TwoLetterCodeOfCountry(const QString &country);
QString DiallingCodeOfCountry(const QString &country);

// The first country in table order whose code is exactly the given one, so "+1"
// gives Canada rather than United States.
QString CountryOfDiallingCode(const QString &code);

} // namespace cardolin
