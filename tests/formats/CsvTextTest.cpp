#include "contacts/SortedStringList.h"
#include "formats/CsvText.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(CsvQuoting, QuoteAndUnquote)
{
    EXPECT_EQ(QuoteCSVField(""), "\"\"");
    EXPECT_EQ(QuoteCSVField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(QuoteCSVFieldIfContains("a;b", ";"), "\"a;b\"");
    EXPECT_EQ(QuoteCSVFieldIfContains("a \"b\"", ";"), "a \"b\"");

    struct Case
    {
        const char *raw, *unquoted;
    } const cases[] = {
        {"\"say \"\"hi\"\"\"", "say \"hi\""}, {"'x'", "x"}, {"\"", "\""}, {"\"x'", "\"x'"},
        {"a\"\"b", "a\"b"},                   {"", ""},     {"''", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnquoteCSVField(c.raw), c.unquoted) << c.raw;
}

TEST(CsvAppendSeparatedValue, AppendAndUniqueModes)
{
    struct Case
    {
        const char *row, *value, *separator;
        bool allowEmpty, append;
        const char *result;
    } const cases[] = {
        {"", "x", ",", true, true, "x"},
        {"a", "", ",", true, true, "a,"},
        {"", "", ",", true, true, ","},
        {"a", "", ",", false, true, "a"},
        {"a", "b", ",", true, true, "a,b"},
        {"a ::: b", "B", " ::: ", false, false, "a ::: b"},
        {"a ::: b", "c ::: A", " ::: ", false, false, "a ::: b ::: c"},
        {"", "c", ",", false, false, "c"},
        {"a,b", "", ",", true, false, "a,b,"},
        {"a,,b", "", ",", true, false, "a,,b"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AppendSeparatedValue(c.row, c.value, c.separator, c.allowEmpty, c.append), c.result)
            << c.row << " + " << c.value;
}

TEST(CsvLists, SplitIntoContactListWithoutDuplicatesOrEmptyEntries)
{
    TSortedStringList list{"Family"};
    AddSplitStrings("Work;;family;Friends", ";", list);
    EXPECT_EQ(list.Entries(), (QStringList{"Family", "Friends", "Work"}));

    QStringList vocabulary{"Work"};
    MergeIntoList({"Work", "", "Club"}, vocabulary);
    EXPECT_EQ(vocabulary, (QStringList{"Work", "Club"}));
}

class CsvDates : public ::testing::Test
{
protected:
    ~CsvDates() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_F(CsvDates, ShortFormatFallsBackToDayFirstOrMonthFirst)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // M/d/yy
    EXPECT_EQ(SerialToDate(ParseCSVDate("12/31/2020")), QDate(2020, 12, 31));
    EXPECT_EQ(SerialToDate(ParseCSVDate("31/12/2020")), QDate(2020, 12, 31));
    EXPECT_EQ(ParseCSVDate("2020-13-45"), 0);
    EXPECT_EQ(ParseCSVDate(""), 0);
    EXPECT_EQ(ParseCSVDate("0/0/00"), 0);

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); // dd/MM/yyyy
    EXPECT_EQ(SerialToDate(ParseCSVDate("31/12/2020")), QDate(2020, 12, 31));
    EXPECT_EQ(SerialToDate(ParseCSVDate("12/31/2020")), QDate(2020, 12, 31));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // dd.MM.yy
    EXPECT_EQ(SerialToDate(ParseCSVDate("31.12.2020")), QDate(2020, 12, 31));
    EXPECT_EQ(ParseCSVDate("31/12/2020"), 0) << "the fallback keeps the system's separator";
}

// Google's Outlook files write "1/2/1980"; the user's regional reading takes
// one or two digits for day and month, and so does the fallback.
TEST_F(CsvDates, OneOrTwoDigitDaysAndMonthsInBothFormats)
{
    const struct
    {
        const char *locale, *text;
        QDate date;
    } cases[] = {
        {"en_US", "1/2/1980", QDate(1980, 1, 2)},    {"en_US", "01/2/1980", QDate(1980, 1, 2)},
        {"en_US", "13/2/1980", QDate(1980, 2, 13)},  {"en_US", "3/04/1980", QDate(1980, 3, 4)},
        {"en_GB", "1/2/1980", QDate(1980, 2, 1)},    {"en_GB", "1/13/1980", QDate(1980, 1, 13)},
        {"en_GB", "09/1/1980", QDate(1980, 1, 9)},   {"de_DE", "1.2.1980", QDate(1980, 2, 1)},
        {"de_DE", "2.13.1980", QDate(1980, 2, 13)},  {"fr_FR", "1/2/1980", QDate(1980, 2, 1)},
        {"nl_NL", "1-2-1980", QDate(1980, 2, 1)},    {"ja_JP", "1980/1/2", QDate(1980, 1, 2)},
    };
    for (const auto &c : cases) {
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(SerialToDate(ParseCSVDate(QString::fromLatin1(c.text))), c.date) << c.locale << ": " << c.text;
    }
}

// Two-digit years would come back a century early.
TEST_F(CsvDates, WrittenDatesReadBackInEveryLocale)
{
    const QDate dates[] = {QDate(2005, 3, 4), QDate(1950, 12, 31), QDate(2099, 1, 1)};
    for (const char *name : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "nl_NL", "ko_KR", "hu_HU"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        for (const QDate &date : dates) {
            const QString text = FormatCSVDate(DateToSerial(date));
            EXPECT_EQ(SerialToDate(ParseCSVDate(text)), date) << name << ": " << text.toStdString();
        }
    }
}

} // namespace
