#include "app/ContactListItems.h"
#include "app/listview/ListItemsModel.h"
#include "contacts/QorContacts.h"

#include <gtest/gtest.h>

using namespace cardolin;
using namespace cardolin::app;

namespace {

const TRowColors kColors{Qt::gray, Qt::black, Qt::blue};

struct RowCase
{
    const char *name;
    std::function<void(TContactData &)> fill;
    int icon;
    QColor color;
    const char *genderAfter;
};

class BuildListItemTest : public ::testing::TestWithParam<RowCase>
{
};

TEST_P(BuildListItemTest, PicksTheIconAndColourByTheFirstRuleThatApplies)
{
    TQorContacts contacts;
    TContactData *contact = contacts.CreateContactData();
    contact->Categories.Clear(); // no default category in these rows
    GetParam().fill(*contact);
    TListItem item;
    BuildListItem(item, contact, contacts, true, kColors);
    EXPECT_EQ(item.ImageIndex, GetParam().icon);
    EXPECT_EQ(item.TextColor, GetParam().color);
    // A row in another colour than the text says what the colour means.
    EXPECT_EQ(item.ToolTip.isEmpty(), GetParam().color == kColors.Contact) << item.ToolTip.toStdString();
    EXPECT_EQ(contact->Gender, GetParam().genderAfter);
    EXPECT_EQ(item.Data, contact);
    EXPECT_EQ(item.Texts.size(), 13);
}

void Person(TContactData &c, const char *title, const char *gender, QStringList categories = {})
{
    c.FirstName = "Pat";
    c.Title = title;
    c.Gender = gender;
    for (const QString &category : categories)
        c.Categories.Add(category);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BuildListItemTest,
    ::testing::Values(
        RowCase{"CompanyOnlyShowsTheCompanyIcon", [](TContactData &c) { c.Company = "Acme"; }, riCompany, Qt::blue,
                "Unspecified"},
        RowCase{"MrsBecomesFemale", [](TContactData &c) { Person(c, "Mrs.", "Unspecified"); }, riWoman, Qt::blue,
                "Female"},
        RowCase{"LowerCaseTitleChangesNothing", [](TContactData &c) { Person(c, "mrs.", "Unspecified"); },
                riPerson, Qt::blue, "Unspecified"},
        RowCase{"MrBecomesMale", [](TContactData &c) { Person(c, "Mr.", "Unspecified"); }, riMan, Qt::blue,
                "Male"},
        RowCase{"GenderBeforeCategory", [](TContactData &c) { Person(c, "", "Male", {"Hotels"}); }, riMan,
                Qt::blue, "Male"},
        RowCase{"EarlierCategoryWins", [](TContactData &c) { Person(c, "", "Unspecified", {"Shops", "Medical"}); },
                riDoctor, Qt::blue, "Unspecified"},
        RowCase{"StarredAfterCompanies", [](TContactData &c) { Person(c, "", "Unspecified", {"Starred"}); },
                riStarred, Qt::blue, "Unspecified"},
        RowCase{"RetiredIsGreyEvenInContacts",
                [](TContactData &c) { Person(c, "", "Unspecified", {"Retired", "Contacts"}); }, riPerson, Qt::gray,
                "Unspecified"},
        RowCase{"ObsoleteKeywordIsGrey",
                [](TContactData &c) {
                    Person(c, "", "Unspecified");
                    c.Keywords.Add("Obsolete");
                },
                riPerson, Qt::gray, "Unspecified"},
        RowCase{"ContactsIsBlack", [](TContactData &c) { Person(c, "", "Unspecified", {"Contacts"}); }, riPerson,
                Qt::black, "Unspecified"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BuildListItem, FillsTheColumnsAndKeepsTheIconWhenNoRuleApplies)
{
    TQorContacts contacts;
    TContactData *contact = contacts.CreateContactData();
    contact->FirstName = "Ann";
    contact->LastName = "Lee";
    contact->Gender = "Other";
    contact->WorkPhone = "555 0100";
    contact->Priority = "High";
    contact->LastVisit = DateToSerial(QDate(2024, 3, 15));
    TListItem item;
    item.ImageIndex = riTaxi;
    BuildListItem(item, contact, contacts, false, kColors);
    EXPECT_EQ(item.Texts[0], "Ann Lee");
    EXPECT_EQ(item.Texts[2], "555 0100");
    EXPECT_EQ(item.Texts[10], "High");
    EXPECT_EQ(item.Texts[12], "2024-03-15");
    EXPECT_EQ(item.ImageIndex, riTaxi);

    contact->LastVisit = 0;
    BuildListItem(item, contact, contacts, false, kColors);
    EXPECT_EQ(item.Texts[12], "");
}

// Row colours read on the list's base colour whatever the theme, and stay
// apart from one another: the highlight of a dark theme is often too dark.
TEST(RowColors, ReadOnTheBaseOfLightAndDarkPalettes)
{
    struct Case
    {
        const char *name;
        QColor base, text, highlight, disabled;
    };
    const Case cases[] = {
        {"dark", QColor("#232629"), QColor("#eff0f1"), QColor("#1d4e80"), QColor("#3b3e41")},
        {"light", Qt::white, Qt::black, QColor("#308cc6"), QColor("#bebebe")},
        {"readable highlight", Qt::white, Qt::black, QColor("#00307a"), QColor("#707070")},
    };
    for (const Case &c : cases) {
        QPalette palette;
        palette.setColor(QPalette::Base, c.base);
        palette.setColor(QPalette::Text, c.text);
        palette.setColor(QPalette::Highlight, c.highlight);
        palette.setColor(QPalette::Disabled, QPalette::Text, c.disabled);
        const TRowColors colors = RowColorsOf(palette);
        for (const QColor &color : {colors.Retired, colors.Contact, colors.Other})
            EXPECT_GE(ContrastRatio(color, c.base), 4.5) << c.name << " " << color.name().toStdString();
        EXPECT_NE(colors.Other, colors.Contact) << c.name;
        EXPECT_NE(colors.Retired, colors.Contact) << c.name;
        EXPECT_NEAR(colors.Other.hslHueF(), c.highlight.hslHueF(), 0.01) << c.name; // still the highlight's blue
    }
    EXPECT_EQ(RowColorsOf([] {
                  QPalette p;
                  p.setColor(QPalette::Base, Qt::white);
                  p.setColor(QPalette::Highlight, QColor("#00307a"));
                  return p;
              }())
                  .Other,
              QColor("#00307a")); // a highlight that reads is kept as it is
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
}

} // namespace
