#include "contacts/ReferenceTables.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>
#include <string>

using namespace cardolin;

namespace {

// Compared as UTF-8 so that a failure prints readable text.
std::string U8(QStringView text)
{
    return text.toString().toStdString();
}

struct LookupCase
{
    const char *given;
    const char *expected;
};

void CheckLookup(QString (*lookup)(const QString &), std::initializer_list<LookupCase> cases)
{
    for (const LookupCase &c : cases)
        EXPECT_EQ(U8(lookup(QString::fromUtf8(c.given))), c.expected) << "given \"" << c.given << '"';
}

TEST(ReferenceTables, HaveTheirSizesAndEnds)
{
    const auto languages = LanguageTable();
    ASSERT_EQ(languages.size(), 160u);
    EXPECT_EQ(U8(languages.front().name), "Afrikaans (South Africa)");
    EXPECT_EQ(U8(languages.front().tag), "af-ZA");
    EXPECT_EQ(U8(languages.back().name), "Zulu (South Africa)");
    EXPECT_EQ(U8(languages.back().tag), "zu-ZA");

    const auto countries = CountryTable();
    ASSERT_EQ(countries.size(), 249u);
    EXPECT_EQ(U8(countries.front().name), "Afghanistan");
    EXPECT_EQ(U8(countries.back().name), "Zimbabwe");
    EXPECT_EQ(U8(countries.back().twoLetterCode), "ZW");
    EXPECT_EQ(U8(countries.back().diallingCode), "+263");

    const QStringList countryNames = CountryNames();
    ASSERT_EQ(countryNames.size(), 249);
    for (qsizetype i = 0; i < countryNames.size(); ++i)
        EXPECT_EQ(U8(countryNames[i]), U8(countries[i].name)) << "row " << i;
    EXPECT_EQ(U8(countryNames[1]), "Åland Islands");
}

TEST(ReferenceTables, LanguageNamesKeepScriptsAndFirstPlaces)
{
    const QStringList names = LanguageNames();
    ASSERT_EQ(names.size(), 85);
    const QStringList start{"Afrikaans", "Albanian", "Arabic", "Armenian",
                            "Azeri (Cyrillic)", "Azeri (Latin)", "Basque"};
    EXPECT_EQ(names.mid(0, start.size()), start);
    EXPECT_EQ(U8(names[names.size() - 2]), "Xhosa");
    EXPECT_EQ(U8(names.last()), "Zulu");

    // "Croatian (Croatia)" and the bare "Croatian" row give one entry, at the place
    // of the first Croatian row; scripts stay apart.
    EXPECT_EQ(names.count("Croatian"), 1);
    EXPECT_EQ(names.indexOf("Croatian"), names.indexOf("Chinese") + 1);
    for (const char *name : {"Mongolian (Cyrillic)", "Serbian (Cyrillic)", "Serbian (Latin)",
                             "Uzbek (Latin)", "Norwegian - Bokmal", "Sami - Inari"})
        EXPECT_TRUE(names.contains(name)) << name;

    QSet<QString> folded;
    for (const QString &name : names)
        folded.insert(name.toCaseFolded());
    EXPECT_EQ(folded.size(), names.size());
}

TEST(ReferenceTables, CodesAreWellFormed)
{
    QSet<QString> twoLetterCodes;
    for (const CountryRow &row : CountryTable()) {
        SCOPED_TRACE(U8(row.name));
        const QStringView code = row.twoLetterCode;
        EXPECT_TRUE(code.size() == 2 && code[0] >= u'A' && code[0] <= u'Z' && code[1] >= u'A' && code[1] <= u'Z')
            << U8(code);
        EXPECT_FALSE(twoLetterCodes.contains(code.toString())) << "repeated " << U8(code);
        twoLetterCodes.insert(code.toString());

        const QStringView dialling = row.diallingCode;
        EXPECT_TRUE(dialling.size() >= 2 && dialling[0] == u'+'
                    && std::all_of(dialling.begin() + 1, dialling.end(),
                                   [](QChar c) { return c >= u'0' && c <= u'9'; }))
            << U8(dialling);
    }
}

TEST(ReferenceTables, LanguageTagOfContact)
{
    struct Case
    {
        const char *name;
        const char *language, *work, *home, *other;
        const char *tag;
    };
    const Case cases[] = {
        {"work country", "French", "Canada", "", "", "fr-CA"},
        {"home country when no work country", "Azeri (Latin)", "", "Azerbaijan", "", "az-Latn-AZ"},
        {"other country last", "German", "", "", "Austria", "de-AT"},
        {"work country before home", "French", "Canada", "France", "", "fr-CA"},
        {"any letter case", "fReNcH", "CANADA", "", "", "fr-CA"},
        {"no country", "French", "", "", "", ""},
        {"first country decides even without a row", "French", "Atlantis", "Canada", "", ""},
        {"whole language only", "Fren", "Canada", "", "", ""},
        {"no language", "", "Canada", "", "", ""},
        {"region named as the table does, not the country list", "Russian", "Russian Federation", "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TContactData contact;
        contact.Language = c.language;
        contact.WorkCountryRegion = c.work;
        contact.HomeCountryRegion = c.home;
        contact.OtherCountryRegion = c.other;
        EXPECT_EQ(U8(LanguageTagOfContact(contact)), c.tag);
    }
}

TEST(ReferenceTables, LanguageNameOfTag)
{
    CheckLookup(LanguageNameOfTag, {
        {"fr-CA", "French"},
        {"zh-CHS", "Chinese"},
        {"sr-Cyrl-CS", "Serbian (Cyrillic)"},
        {"sr-Latn-BA", "Serbian (Latin)"},
        {"mn-MN", "Mongolian (Cyrillic)"},
        {"hr-HR", "Croatian"},
        {"en", "English"},
        {"e", "Basque"}, // a prefix takes the first row in table order: eu-ES
        {"az-L", "Azeri (Latin)"},
        {"FR-CA", ""}, // exact letter case
        {"fr-CA ", ""},
        {"xx-XX", ""},
        {"", ""},
    });
}

// Each row with a region can be reached both ways: its tag reads back as the
// language before the region, and that language, as picked from the list, with
// the region as the contact's country writes the row's tag.
TEST(ReferenceTables, EveryLanguageRowRoundTrips)
{
    const QStringList names = LanguageNames();
    for (const LanguageRow &row : LanguageTable()) {
        SCOPED_TRACE(U8(row.name));
        if (!row.name.endsWith(u')'))
            continue;
        const qsizetype open = row.name.lastIndexOf(u" (");
        const QString language = row.name.first(open).toString();
        EXPECT_TRUE(names.contains(language));
        EXPECT_EQ(U8(LanguageNameOfTag(row.tag.toString())), U8(language));

        TContactData contact;
        contact.Language = language;
        contact.HomeCountryRegion = row.name.sliced(open + 2).chopped(1).toString();
        EXPECT_EQ(U8(LanguageTagOfContact(contact)), U8(row.tag));
    }
}

TEST(ReferenceTables, CountryLookups)
{
    struct Case
    {
        const char *country;
        const char *twoLetterCode;
        const char *diallingCode;
    };
    const Case cases[] = {
        {"france", "FR", "+33"},
        {"United Kingdom", "GB", "+44"},
        {"Åland Islands", "AX", "+358"},
        {"åLAND ISLANDS", "AX", "+358"},
        {"CÔTE D'IVOIRE", "CI", "+225"},
        {"united states", "US", "+1"},
        {"UNITED STATES", "US", "+1"},
        {"Brazil", "BR", "+554"}, // odd codes are kept as listed
        {"Christmas Island", "CX", "+618"},
        {" France", "", ""},
        {"Atlantis", "", ""},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.country);
        EXPECT_EQ(U8(TwoLetterCodeOfCountry(c.country)), c.twoLetterCode);
        EXPECT_EQ(U8(DiallingCodeOfCountry(c.country)), c.diallingCode);
    }
}

TEST(ReferenceTables, CountryOfDiallingCodeTakesTheFirstRow)
{
    CheckLookup(CountryOfDiallingCode, {
        {"+1", "Canada"},
        {"+44", "Guernsey"},
        {"+7", "Kazakhstan"},
        {"+39", "Holy See (Vatican City State)"},
        {"+93", "Afghanistan"}, // Antigua and Barbuda has it too
        {"+55", "Bouvet Island"},
        {"+358", "Åland Islands"},
        {"+5999", "Curaçao"},
        {"1", ""},
        {"+1 ", ""},
        {"", ""},
    });
}

// The lookups go through hash indexes; they must answer what a walk down the rows
// comparing names case-insensitively would.
TEST(ReferenceTables, IndexesAgreeWithTableOrder)
{
    const auto countries = CountryTable();
    for (const CountryRow &row : countries) {
        const QString name = row.name.toString();
        for (const QString &asked : {name, name.toUpper(), name.toLower()}) {
            const auto first = std::find_if(countries.begin(), countries.end(), [&](const CountryRow &r) {
                return QString::compare(r.name, asked, Qt::CaseInsensitive) == 0;
            });
            ASSERT_NE(first, countries.end()) << U8(asked);
            EXPECT_EQ(U8(DiallingCodeOfCountry(asked)), U8(first->diallingCode)) << U8(asked);
            EXPECT_EQ(U8(TwoLetterCodeOfCountry(asked)), U8(first->twoLetterCode)) << U8(asked);
        }

        const auto firstWithCode = std::find_if(countries.begin(), countries.end(),
                                                [&](const CountryRow &r) { return r.diallingCode == row.diallingCode; });
        EXPECT_EQ(U8(CountryOfDiallingCode(row.diallingCode.toString())), U8(firstWithCode->name));
    }
}

} // namespace
