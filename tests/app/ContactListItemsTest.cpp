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

} // namespace
