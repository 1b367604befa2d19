#include "support/FindFolding.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

struct FindCase
{
    const char *name;
    const char16_t *findText;
    const char16_t *itemText;
    TFindOptions options;
    bool expected;
};

class ListTextsContainTest : public testing::TestWithParam<FindCase> {};

TEST_P(ListTextsContainTest, Matches)
{
    const FindCase &c = GetParam();
    const QStringList texts = {"unrelated", QString::fromUtf16(c.itemText)};
    EXPECT_EQ(ListTextsContain(texts, QString::fromUtf16(c.findText), c.options), c.expected);
}

const TFindOptions Fold = foIgnoreAccentedChars;
const TFindOptions Plain = {};
const TFindOptions Exact = foCaseSensitive;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ListTextsContainTest, testing::Values(
    FindCase{"AccentAndCaseFolded", u"jose", u"JOS\u00c9", Fold, true},
    FindCase{"AccentInSubItem", u"cafe", u"Caf\u00e9", Fold, true},
    FindCase{"GraveIIsNotInTable", u"i", u"\u00ec", Fold, false},
    FindCase{"CurlyApostrophe", u"o'brien", u"O\u2019Brien", Fold, true},
    FindCase{"FindTextFoldedToo", u"JOS\u00c9", u"jose", Fold, true},
    FindCase{"NoFoldKeepsAccentCase", u"jos\u00e9", u"JOS\u00c9", Plain, false},
    FindCase{"NoFoldStillIgnoresAsciiCase", u"jos", u"JOS\u00c9", Plain, true},
    FindCase{"CaseSensitive", u"jose", u"JOSE", Exact, false},
    FindCase{"CaseSensitiveFold", u"Jose", u"Jos\u00e9", Exact | Fold, true},
    FindCase{"EmptyTextNeverTheOnlyMatch", u"zzz", u"", Fold, false}),
    [](const testing::TestParamInfo<FindCase> &info) { return std::string(info.param.name); });
// clang-format on

TEST(NormalizeFindTextTest, CyrillicCapitalsFoldSmallOnesStay)
{
    const QString capitals = QString::fromUtf16(u"\u0421\u0415\u041d\u041a\u041e\u0420");
    const QString small = QString::fromUtf16(u"\u0441\u0435\u043d");
    EXPECT_EQ(NormalizeFindText(capitals, foIgnoreAccentedChars), "cehkop");
    EXPECT_EQ(NormalizeFindText(capitals, foIgnoreAccentedChars | foCaseSensitive), "CEHKOP");
    EXPECT_EQ(NormalizeFindText(capitals, {}), capitals);
    EXPECT_EQ(NormalizeFindText(small, foIgnoreAccentedChars), small);
}

TEST(NormalizeFindTextTest, KeepsLengthAndUntabledLetters)
{
    const QString text = QString::fromUtf16(u"\u00ec\u00cc\u00fd\u00ff\u00b5\u1e9e`");
    EXPECT_EQ(NormalizeFindText(text, foIgnoreAccentedChars | foCaseSensitive),
              QString::fromUtf16(u"\u00ec\u00cc\u00fd\u00ffuB'"));
}

} // namespace
