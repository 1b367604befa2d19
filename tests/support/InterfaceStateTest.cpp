#include "support/QorRegistryEnhanced.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

struct StateTest : ::testing::Test
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    StateTest() { registry.SetKey("Software\\Velmora\\Cardolin"); }
};

TEST(FormInfo, TextHasFiveParts)
{
    EXPECT_EQ(FormInfoText({600, 100, 80, 900, wsMaximized}), "600, 100, 80, 900, wsMaximized");
    EXPECT_EQ(FormInfoText({600, 100, 80, 900, wsMinimized}), "600, 100, 80, 900, ");
    const struct
    {
        const char *text;
        std::optional<TFormInfo> info;
    } cases[] = {
        {"600, 100, 80, 900, wsMaximized", TFormInfo{600, 100, 80, 900, wsMaximized}},
        {"600, -8, 80, 900, wsNormal", TFormInfo{600, -8, 80, 900, wsNormal}},
        {"600, 100, 80, 900, ", TFormInfo{600, 100, 80, 900, wsMinimized}},
        {"600, 100, 80, 900", std::nullopt},
        {"600, 100, 80, 900, wsNormal, 1", std::nullopt},
        {"600, x, 80, 900, wsNormal", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseFormInfo(c.text), c.info) << c.text;
}

TEST_F(StateTest, FormInfoSaysWhatToRestore)
{
    EXPECT_TRUE(registry.GetFormInfo("FormInfo\\Main Window", true).Center);
    EXPECT_FALSE(registry.GetFormInfo("FormInfo\\Main Window", true).KeyExists);
    EXPECT_FALSE(registry.GetFormInfo("FormInfo\\Main Window", false).Center);

    registry.SetFormInfo("FormInfo\\Main Window", {600, 100, 80, 900, wsMaximized});
    TFormRestore restore = registry.GetFormInfo("FormInfo\\Main Window", true);
    EXPECT_TRUE(restore.KeyExists);
    EXPECT_FALSE(restore.Center);
    EXPECT_EQ(restore.Info, (TFormInfo{600, 100, 80, 900, wsMaximized}));

    registry.SetValue("FormInfo\\Main Window", QString("600, 100, 80, 900"));
    restore = registry.GetFormInfo("FormInfo\\Main Window", true);
    EXPECT_FALSE(restore.Info);
    EXPECT_FALSE(restore.Center); // a damaged value is ignored, not replaced by centring
    EXPECT_EQ(PositionNotRestoredWarning("TForm1"),
              "This warning indicates that position of TForm1 will not be restored as TForm1.Position <> poDesigned.");
}

TEST_F(StateTest, OlderLayoutsAreImported)
{
    registry.SetValue("Main\\Height", 600);
    registry.SetValue("Main\\Left", 10);
    registry.SetValue("Main\\Width", 900);
    registry.SetValue("Main\\WindowState", 0);
    registry.ImportFormInfo("Main", "FormInfo\\Main Window", true);
    EXPECT_EQ(registry.GetValue("FormInfo\\Main Window"), QVariant("600, 10, 0, 900, wsNormal"));
    EXPECT_FALSE(registry.KeyExists("Main"));

    registry.SetValue("List\\Columns\\Sizes", QString("120,80, 60"));
    registry.ImportListViewInfo("List", "ListViewInfo\\Main Window", false);
    EXPECT_EQ(registry.GetValue("ListViewInfo\\Main Window"), QVariant("120, 80, 60"));
    EXPECT_TRUE(registry.KeyExists("List"));
    EXPECT_EQ(registry.GetListViewInfo("ListViewInfo\\Main Window", {1, 2, 3, 4}), (QList<int>{120, 80, 60, 4}));
    EXPECT_EQ(registry.GetListViewInfo("Missing", {1, 2}), (QList<int>{1, 2}));
}

TEST(Fonts, TextNamesStylesAndColours)
{
    const TFontInfo tooltip{"Segoe UI", 9, fsBold | fsItalic, StringToColor("clInfoText").value()};
    EXPECT_EQ(FontText(tooltip), "\"Segoe UI\", 9, [Bold|Italic], [clInfoText]");
    EXPECT_EQ(FontText({"Arial", 10, {}, 0x00336699}), "\"Arial\", 10, [], [$00336699]");
    EXPECT_EQ(FontText({"Arial", 10, fsUnderline | fsStrikeOut, 0x0000FF}), "\"Arial\", 10, [Underline|Strikeout], [clRed]");

    const TFontInfo start{"Start", 1, fsBold, 0};
    const struct
    {
        const char *text;
        TFontInfo font;
    } cases[] = {
        {"\"Segoe UI\", 9, [Bold|Italic], [clInfoText]", tooltip},
        {"\"Name, with comma\", 12, [], [$00336699]", {"Name, with comma", 12, {}, 0x00336699}},
        {"\"Courier\", 8, [Underline], [255]", {"Courier", 8, fsUnderline, 0xFF}},
        {"\"Odd\", big, [Boldish], [clNoSuchColour]", {"Odd", 1, {}, 0}},
        {"", start},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ApplyFontText(c.text, start), c.font) << c.text;
}

TEST_F(StateTest, FontGoesThroughTheStore)
{
    const TFontInfo font{"Segoe UI", 9, fsBold, StringToColor("clWindowText").value()};
    ASSERT_TRUE(registry.SetFont("Font", font));
    EXPECT_EQ(registry.GetFont("Font", {}), font);
    EXPECT_EQ(registry.GetFont("Missing", font), font);
}

TEST_F(StateTest, CheckListKeepsItsItemsAndMarks)
{
    const TCheckListItems designed{{"Family", false}, {"Friends", false}};
    EXPECT_EQ(registry.GetCheckListBox("Categories", designed, false), designed);
    EXPECT_EQ(registry.GetCheckListBox("Categories", designed, true),
              (TCheckListItems{{"Family", true}, {"Friends", true}}));

    const TCheckListItems stored{{"Work\\Clients", true}, {"Family", false}, {"", true}};
    ASSERT_TRUE(registry.SetCheckListBox("Categories", stored));
    EXPECT_EQ(registry.GetCheckListBox("Categories", designed, true), stored);
    // Rewriting replaces the whole list; an empty list is a list, not a missing one.
    ASSERT_TRUE(registry.SetCheckListBox("Categories", {}));
    EXPECT_EQ(registry.GetCheckListBox("Categories", designed, true), TCheckListItems());
}

TEST_F(StateTest, MenusAndComboBoxesKeepTheirItems)
{
    ASSERT_TRUE(registry.SetMenu("Menu", {"Open", "Save"}));
    EXPECT_EQ(registry.GetValue("Menu\\Count"), QVariant(2));
    EXPECT_EQ(registry.GetMenu("Menu", {"designed"}), (QStringList{"Open", "Save"}));
    EXPECT_EQ(registry.GetMenu("Missing", {"designed"}), QStringList{"designed"});

    ASSERT_TRUE(registry.SetComboBox("Combo", {{"a", "b"}, "typed"}, true));
    EXPECT_EQ(registry.GetComboBox("Combo", {}, true), (TComboBoxState{{"a", "b"}, "typed"}));
    EXPECT_EQ(registry.GetComboBox("Combo", {}, false), (TComboBoxState{{"a", "b"}, ""}));
    ASSERT_TRUE(registry.SetComboBox("Combo", {{"c"}, "typed"}, false));
    EXPECT_EQ(registry.GetValue("Combo\\Text"), QVariant(""));
    EXPECT_FALSE(registry.ValueExists("Combo\\Item1"));

    // A damaged count neither runs away nor invents items.
    registry.SetValue("Combo\\Count", 2000000000);
    EXPECT_EQ(registry.GetComboBox("Combo", {}, true).Items, (QStringList{"c", "", ""}));
    registry.SetValue("Combo\\Count", -3);
    EXPECT_TRUE(registry.GetComboBox("Combo", {}, true).Items.isEmpty());
}

} // namespace
