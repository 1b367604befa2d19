#include "app/listview/QorListView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

using namespace cardolin;
using namespace cardolin::app;

namespace {

struct Message
{
    QString title;
    QString text;
};

class ListViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        view.Items().SetColumns({"Name", "Count", "Town"}, {120, 60, 90});
        for (const auto &[name, count, town] : std::initializer_list<std::array<const char *, 3>>{
                 {"Anna", "10", "Oslo"}, {"Bob", "9", "Bergen"}, {"Hanna", "100", "Oslo"},
                 {"Carl", "1,000.5", "Molde"}, {"Joanna", "-3", ""}})
            view.Items().AddItem({.Texts = {name, count, town}});
        view.ShowMessage = [this](const QString &title, const QString &text) {
            messages.push_back({title, text});
        };
        QObject::connect(&view, &TQorListView::ItemClicked, [this] { ++clicks; });
        view.resize(400, 300);
        view.show();
    }

    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < view.Items().Count(); ++row)
            texts.append(view.Items().Text(row, column));
        return texts;
    }

    QList<int> SelectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : view.selectionModel()->selectedRows())
            rows.append(index.row());
        return rows;
    }

    static void Click(QWidget *target, QPoint pos)
    {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, pos, target->mapToGlobal(pos), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
    }

    void ClickHeader(int column)
    {
        QHeaderView *header = view.header();
        Click(header->viewport(), QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                         header->height() / 2));
    }

    TQorListView view;
    std::vector<Message> messages;
    int clicks = 0;
};

TEST_F(ListViewTest, SortsNumbersByValueBothWays)
{
    view.Sort(1, true);
    EXPECT_EQ(Column(1), QStringList({"-3", "9", "10", "100", "1,000.5"}));
    view.Sort(1, false);
    EXPECT_EQ(Column(1), QStringList({"1,000.5", "100", "10", "9", "-3"}));
    EXPECT_EQ(view.LastSortIndex(), 1);
    EXPECT_FALSE(view.LastSortAscending());
}

struct HeaderCase
{
    const char *name;
    std::vector<int> clicks;
    int column;
    bool ascending;
    QStringList names;
};

class HeaderClickTest : public ListViewTest, public testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderClickTest, SortsAndMovesArrow)
{
    const HeaderCase &c = GetParam();
    for (int column : c.clicks)
        ClickHeader(column);
    EXPECT_EQ(Column(0), c.names);
    EXPECT_EQ(view.LastSortIndex(), c.column);
    EXPECT_EQ(view.LastSortAscending(), c.ascending);
    EXPECT_EQ(view.header()->sortIndicatorSection(), c.column);
    EXPECT_EQ(view.header()->sortIndicatorOrder(), c.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, HeaderClickTest, testing::Values(
    HeaderCase{"FirstClickAscends", {1}, 1, true, {"Joanna", "Bob", "Anna", "Hanna", "Carl"}},
    HeaderCase{"SecondClickDescends", {1, 1}, 1, false, {"Carl", "Hanna", "Anna", "Bob", "Joanna"}},
    HeaderCase{"ThirdClickAscendsAgain", {1, 1, 1}, 1, true, {"Joanna", "Bob", "Anna", "Hanna", "Carl"}},
    HeaderCase{"OtherColumnAscends", {1, 1, 0}, 0, true, {"Anna", "Bob", "Carl", "Hanna", "Joanna"}},
    HeaderCase{"EqualTextsKeepOrder", {0, 2}, 2, true, {"Joanna", "Bob", "Carl", "Anna", "Hanna"}}),
    [](const testing::TestParamInfo<HeaderCase> &info) { return std::string(info.param.name); });
// clang-format on

TEST_F(ListViewTest, SelectionFollowsItsRowWhenSorted)
{
    view.selectionModel()->setCurrentIndex(view.Items().index(1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.Sort(1, false);
    EXPECT_EQ(view.Items().Text(view.currentIndex().row(), 0), "Bob");
    ASSERT_EQ(SelectedRows().size(), 1);
    EXPECT_EQ(view.Items().Text(SelectedRows().front(), 0), "Bob");
}

TEST_F(ListViewTest, ClickOnARowSelectsItAndSaysSo)
{
    Click(view.viewport(), view.visualRect(view.Items().index(2, 1)).center());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SelectedRows(), QList<int>({2}));
}

TEST_F(ListViewTest, CustomSortDecidesWhereHandledAndIsNegatedDescending)
{
    view.OnCustomSort = [](int column, const QString &s1, const QString &s2, bool &handled) {
        handled = column == 0;
        return int(s1.size() - s2.size());
    };
    view.Sort(0, false);
    EXPECT_EQ(Column(0), QStringList({"Joanna", "Hanna", "Anna", "Carl", "Bob"}));
    view.Sort(1, true);
    EXPECT_EQ(Column(1), QStringList({"-3", "9", "10", "100", "1,000.5"}));
    view.Items().AddItem({.Texts = {"Al", "5"}});
    view.SortAsIs();
    EXPECT_EQ(Column(1), QStringList({"-3", "5", "9", "10", "100", "1,000.5"}));
}

TEST_F(ListViewTest, FindTextNotFoundSaysSo)
{
    view.FindText("zzz");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Search Results");
    EXPECT_EQ(messages[0].text, "Search string \"zzz\" not found.");
    EXPECT_TRUE(SelectedRows().isEmpty());
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListViewTest, FindNextStepsThroughMatchesAndStaysOnTheLast)
{
    view.FindText("ANNA");
    std::vector<int> found = {view.currentIndex().row()};
    view.FindNext();
    found.push_back(view.currentIndex().row());
    view.FindNext();
    found.push_back(view.currentIndex().row());
    EXPECT_EQ(found, (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(messages.empty());

    view.FindNext();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "No more instances of \"ANNA\" found.");
    EXPECT_EQ(view.currentIndex().row(), 4);
    EXPECT_EQ(SelectedRows(), QList<int>({4}));
    EXPECT_EQ(clicks, 3);

    view.FindNext(); // still at the end, not back to the start
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(view.currentIndex().row(), 4);
}

TEST_F(ListViewTest, CustomFindAcceptingAllWalksRowsInOrder)
{
    QStringList seen;
    view.OnCustomFind = [&](const TListItem &item, const QString &findText, bool &handled) {
        seen.append(findText);
        handled = true;
        return !item.Texts.isEmpty();
    };
    std::vector<int> found;
    view.FindText(QString::fromUtf16(u"Jos\u00c9"));
    for (int step = 0; step < 5; ++step) {
        found.push_back(view.currentIndex().row());
        view.FindNext();
    }
    EXPECT_EQ(found, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(seen.front(), QString::fromUtf16(u"Jos\u00c9"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QString::fromUtf16(u"No more instances of \"Jos\u00c9\" found."));
}

TEST_F(ListViewTest, UnhandledCustomFindFallsBackToText)
{
    view.OnCustomFind = [](const TListItem &, const QString &, bool &) { return true; };
    view.FindText("molde");
    EXPECT_EQ(view.currentIndex().row(), 3);
}

TEST_F(ListViewTest, FindRefreshStartsAtTheChosenRow)
{
    view.FindText("anna");
    view.selectionModel()->setCurrentIndex(view.Items().index(3, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.FindRefresh();
    view.FindNext();
    EXPECT_EQ(view.currentIndex().row(), 4);
    EXPECT_EQ(SelectedRows(), QList<int>({4}));
}

TEST_F(ListViewTest, FindDialogRunsOneStepAPressAndCloses)
{
    view.Find();
    auto *dialog = view.findChild<QDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->findChild<QLineEdit *>()->setText("oslo");
    dialog->findChild<QPushButton *>()->click();
    EXPECT_EQ(view.currentIndex().row(), 0);
    EXPECT_FALSE(dialog->isVisible());
    view.FindNext();
    EXPECT_EQ(view.currentIndex().row(), 2);
}

TEST(ListViewEmptyTest, WithoutColumnsOrTextNothingHappens)
{
    TQorListView view;
    int messages = 0;
    view.ShowMessage = [&](const QString &, const QString &) { ++messages; };
    view.Sort(0, true);
    view.SortAsIs();
    view.FindNext();
    EXPECT_EQ(view.LastSortIndex(), -1);
    EXPECT_TRUE(view.LastSortAscending());
    EXPECT_EQ(view.header()->sortIndicatorSection(), -1);
    EXPECT_EQ(messages, 0);

    view.Items().SetColumns({"Name"}, {100});
    view.FindText("a");
    EXPECT_EQ(messages, 1); // nothing to find in no rows is still worth saying
    EXPECT_FALSE(view.currentIndex().isValid());
}

// How fast this goes is measured by bench_window, not here.
TEST(ListViewLargeTest, SortsManyRowsByNumberAndByName)
{
    TQorListView view;
    view.Items().SetColumns({"Name", "Number"}, {});
    std::vector<TListItem> items;
    for (int i = 0; i < 100000; ++i) {
        const int n = (i * 7919) % 100000;
        items.push_back({.Texts = {QStringLiteral("Name %1").arg(n), QString::number(n)}});
    }
    view.Items().Reset(std::move(items));
    view.Sort(1, false);
    view.Sort(0, true);
    EXPECT_EQ(view.Items().Text(0, 1), "0");
    EXPECT_EQ(view.Items().Text(99999, 0), "Name 99999");
}

// Long lists are sorted in two halves at once; rows with equal texts must
// still keep their order, in either direction.
TEST(ListViewLargeTest, EqualTextsKeepTheirOrder)
{
    TQorListView view;
    view.Items().SetColumns({"Name", "Number"}, {});
    std::vector<TListItem> items;
    const QStringList names = {"Cid", "ann", "Bob"};
    for (int i = 0; i < 5000; ++i)
        items.push_back({.Texts = {names[(i * 7) % 3], QString::number(i)}});
    view.Items().Reset(std::move(items));
    for (const bool ascending : {true, false}) {
        view.Sort(0, ascending);
        QStringList expected = ascending ? QStringList{"ann", "Bob", "Cid"} : QStringList{"Cid", "Bob", "ann"};
        int last = -1;
        for (int row = 0; row < view.Items().Count(); ++row) {
            const QString name = view.Items().Text(row, 0);
            const int number = view.Items().Text(row, 1).toInt();
            if (name != expected.first()) {
                ASSERT_EQ(name, expected.value(1)) << "row " << row;
                expected.removeFirst();
                last = -1;
            }
            ASSERT_GT(number, last) << "row " << row;
            last = number;
        }
    }
}

} // namespace
