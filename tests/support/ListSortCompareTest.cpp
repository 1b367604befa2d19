#include "support/ListSortCompare.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cardolin;

namespace {

struct CompareCase
{
    const char *name;
    const char *locale;
    const char16_t *a;
    const char16_t *b;
    int expected; // sign only
};

int SignOf(int value)
{
    return (value > 0) - (value < 0);
}

class CompareListTextsTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareListTextsTest, GivesOrder)
{
    const CompareCase &c = GetParam();
    const QLocale locale(QString::fromLatin1(c.locale));
    const QString a = QString::fromUtf16(c.a);
    const QString b = QString::fromUtf16(c.b);
    EXPECT_EQ(SignOf(CompareListTexts(a, b, locale)), c.expected);
    EXPECT_EQ(SignOf(CompareListTexts(b, a, locale)), -c.expected);
}

// Each pair is chosen so that reading it as plain text would give the other answer.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CompareListTextsTest, testing::Values(
    CompareCase{"NumbersByValue", "en_US", u"10", u"9", 1},
    CompareCase{"HundredAfterTen", "en_US", u"100", u"10", 1},
    CompareCase{"NegativeAndFraction", "en_US", u"-2.5", u"-10", 1},
    CompareCase{"GroupedNumber", "en_US", u"1,234.5", u"999", 1},
    CompareCase{"EqualNumbers", "en_US", u"1e2", u"100.0", 0},
    CompareCase{"AddressesByValue", "en_US", u"10.0.0.2", u"9.255.255.255", 1},
    CompareCase{"FiveOctetsAreText", "en_US", u"1.2.3.4", u"1.2.3.4.5", -1},
    CompareCase{"OctetOutOfRangeIsText", "en_US", u"1.2.3.256", u"1.2.3.30", -1},
    CompareCase{"DatesByValue", "en_US", u"1/31/2024", u"12/1/2023", 1},
    CompareCase{"TwoDigitYears", "en_US", u"1/31/24", u"12/1/99", 1},
    CompareCase{"DateWithTime", "en_US", u"1/31/2024 9:05 AM", u"1/31/2024 10:00 AM", -1},
    CompareCase{"DateAndLaterTime", "en_US", u"1/31/2024 13:00", u"1/31/2024", 1},
    CompareCase{"TimesByValue", "en_US", u"10:00", u"9:00", 1},
    CompareCase{"DateAgainstWordIsText", "en_US", u"1/31/2024", u"Apple", -1},
    CompareCase{"MidnightIsNoTime", "en_US", u"00:00", u"0:30", 1},
    CompareCase{"TextIgnoresCase", "en_US", u"apple", u"APPLE", 0},
    CompareCase{"TextCollates", "en_US", u"\u00e9clair", u"Zebra", -1},
    CompareCase{"DashedDates", "sv_SE", u"2024-01-31", u"2023-12-01", 1},
    CompareCase{"CommaDecimals", "sv_SE", u"2,5", u"10", -1}),
    [](const testing::TestParamInfo<CompareCase> &info) { return std::string(info.param.name); });
// clang-format on

TEST(ListSortKeyTest, KeysOrderAsTextsCompare)
{
    const QLocale locale(QStringLiteral("en_US"));
    const QStringList texts = {"10", "9", "banana", "1/31/2024", "12/1/2023", "10.0.0.2", "9.255.255.255",
                               "Apple", "", "1,234.5", "3:15 PM", "00:00", "apple", "-1", "1.2.3.4.5"};
    const QCollator collator = MakeListCollator(locale);
    std::vector<TListSortKey> keys;
    for (const QString &text : texts)
        keys.push_back(MakeListSortKey(text, locale, collator));

    for (qsizetype i = 0; i < texts.size(); ++i)
        for (qsizetype j = 0; j < texts.size(); ++j)
            EXPECT_EQ(SignOf(CompareListSortKeys(keys[i], keys[j])),
                      SignOf(CompareListTexts(texts[i], texts[j], locale)))
                << texts[i].toStdString() << " vs " << texts[j].toStdString();
}

TEST(ListSortKeyTest, SortsAColumnOfOneKind)
{
    const QLocale locale(QStringLiteral("en_US"));
    const QCollator collator = MakeListCollator(locale);
    QStringList texts = {"3/1/2024", "12/25/2023", "1/5/2024 8:00 AM", "1/5/2024"};
    std::vector<int> order = {0, 1, 2, 3};
    std::vector<TListSortKey> keys;
    for (const QString &text : texts)
        keys.push_back(MakeListSortKey(text, locale, collator));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareListSortKeys(keys[a], keys[b]) < 0; });
    EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 0}));
}

} // namespace

namespace {

// Many Linux systems run under C or C.UTF-8, whose collation is by code point.
TEST(ListSortKeyTest, TheCLocaleSortsNamesAsPeopleDo)
{
    for (const QLocale &locale : {QLocale::c(), QLocale(QStringLiteral("en_US"))}) {
        QStringList names = {"Zoe", "adam", "Émile", "Bob", "zack"};
        std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
            return CompareListTexts(a, b, locale) < 0;
        });
        EXPECT_EQ(names, (QStringList{"adam", "Bob", "Émile", "zack", "Zoe"})) << locale.name().toStdString();
    }
}

} // namespace
