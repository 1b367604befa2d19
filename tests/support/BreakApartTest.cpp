#include "support/BreakApart.h"

#include <gtest/gtest.h>

using cardolin::TQorBreakApart;

namespace {

struct SplitCase
{
    const char *name;
    const char16_t *text;
    const char16_t *separator;
    bool allowEmpty;
    bool caseSensitive;
    bool doubleQuotes;
    QStringList expected;
};

QStringList Split(const SplitCase &c)
{
    TQorBreakApart splitter;
    splitter.SetBaseString(QString::fromUtf16(c.text));
    splitter.SetBreakString(QString::fromUtf16(c.separator));
    splitter.SetAllowEmptyString(c.allowEmpty);
    splitter.SetCaseSensitive(c.caseSensitive);
    splitter.SetDoubleQuoteMode(c.doubleQuotes);
    splitter.BreakApart();
    return splitter.StringList();
}

QStringList L(std::initializer_list<const char16_t *> items)
{
    QStringList list;
    for (const char16_t *item : items)
        list.append(QString::fromUtf16(item));
    return list;
}

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, GivesPieces)
{
    EXPECT_EQ(Split(GetParam()), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SplitTest, testing::Values(
    SplitCase{"EmptiesKept", u"a;;b;", u";", true, false, false, L({u"a", u"", u"b", u""})},
    SplitCase{"EmptiesDropped", u"a;;b;", u";", false, false, false, L({u"a", u"b"})},
    SplitCase{"EmptyTextKept", u"", u";", true, false, false, L({u""})},
    SplitCase{"EmptyTextDropped", u"", u";", false, false, false, L({})},
    SplitCase{"NoSeparatorInText", u"abc", u";", false, false, false, L({u"abc"})},
    SplitCase{"EmptySeparatorNeverMatches", u"a;b", u"", false, false, false, L({u"a;b"})},
    SplitCase{"LongSeparatorNonOverlapping", u"a--b---c", u"--", true, false, false, L({u"a", u"b", u"-c"})},
    SplitCase{"LetterSeparatorIgnoresCase", u"1X2x3", u"x", false, false, false, L({u"1", u"2", u"3"})},
    SplitCase{"LetterSeparatorCaseSensitive", u"1X2x3", u"x", false, true, false, L({u"1X2", u"3"})},
    SplitCase{"WordWithBlanksMatchedExactly", u"Tom AND Jerry", u" and ", false, false, false,
              L({u"Tom AND Jerry"})},
    SplitCase{"QuotedSeparator", u"\"a,b\",c,\"d\"", u",", true, false, true, L({u"a,b", u"c", u"d"})},
    SplitCase{"DoubledQuotesLeftAlone", u"\"a \"\"q\"\", b\",x", u",", true, false, true,
              L({u"a \"\"q\"\", b", u"x"})},
    SplitCase{"NeverClosedSwallowsRest", u"\"open,x,y", u",", true, false, true, L({u"\"open,x,y"})},
    SplitCase{"EmptyQuotedDropped", u"a,\"\",b", u",", false, false, true, L({u"a", u"b"})},
    SplitCase{"EmptyQuotedKept", u"a,\"\",b", u",", true, false, true, L({u"a", u"", u"b"})},
    SplitCase{"OpeningPieceLast", u"a,\"b", u",", true, false, true, L({u"a", u"\"b"})},
    SplitCase{"QuotedSpanOfThree", u"\"1,2,3\",4", u",", true, false, true, L({u"1,2,3", u"4"})}),
    [](const testing::TestParamInfo<SplitCase> &info) { return std::string(info.param.name); });
// clang-format on

struct JoinCase
{
    const char *name;
    bool allowEmpty;
    bool doubleQuotes;
    const char16_t *expected;
};

TEST(ReverseBreakApart, JoinsWithSeparator)
{
    const JoinCase cases[] = {
        {"empties kept", true, false, u"a,,b"},
        {"empties skipped", false, false, u"a,b"},
        {"quoted, empties kept", true, true, u"\"a\",\"\",\"b\""},
        {"quoted, empties skipped", false, true, u"\"a\",\"b\""},
    };
    for (const JoinCase &c : cases) {
        TQorBreakApart joiner;
        joiner.SetBreakString(QStringLiteral(","));
        joiner.SetAllowEmptyString(c.allowEmpty);
        joiner.SetDoubleQuoteMode(c.doubleQuotes);
        joiner.SetStringList(L({u"a", u"", u"b"}));
        joiner.ReverseBreakApart();
        EXPECT_EQ(joiner.BaseString(), QString::fromUtf16(c.expected)) << c.name;
    }
}

TEST(ReverseBreakApart, EmptyListClearsText)
{
    TQorBreakApart joiner;
    joiner.SetBaseString(QStringLiteral("left over"));
    joiner.SetBreakString(QStringLiteral(","));
    joiner.ReverseBreakApart();
    EXPECT_TRUE(joiner.BaseString().isEmpty());
}

TEST(BreakApart, ReusedSplitterStartsAfresh)
{
    TQorBreakApart splitter;
    splitter.SetBreakString(QStringLiteral(";"));
    splitter.SetBaseString(QStringLiteral("a;b;c"));
    splitter.BreakApart();
    splitter.SetBaseString(QStringLiteral("d"));
    splitter.BreakApart();
    EXPECT_EQ(splitter.StringList(), QStringList{QStringLiteral("d")});
}

} // namespace
