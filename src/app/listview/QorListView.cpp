#include "app/listview/QorListView.h"

#include "support/FindFolding.h"
#include "support/ListSortCompare.h"
#include "support/TwoHalves.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionHeader>

#include <optional>

namespace cardolin::app {

namespace {

// QHeaderView hands an ascending order to the style as SortDown, which Fusion
// and most Linux styles draw as a down arrow; the list points up when ascending.
class TListHeaderView : public QHeaderView
{
public:
    explicit TListHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator != QStyleOptionHeader::None)
            option->sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortUp
                                                                               : QStyleOptionHeader::SortDown;
    }
};

} // namespace

TQorListView::TQorListView(QWidget *parent) : QTreeView(parent), m_items(new TListItemsModel(this))
{
    setHeader(new TListHeaderView(this));
    setModel(m_items);
    setRootIsDecorated(false);
    setUniformRowHeights(true); // rows are measured once, which keeps 100,000 rows quick
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    // The rows follow Sort() only; the header just reports clicks and shows the arrow.
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header(), &QHeaderView::sectionClicked, this, &TQorListView::HeaderClicked);

    // Found and chosen rows stay visible while another window has the focus.
    QPalette colors = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colors.setColor(QPalette::Inactive, role, colors.color(QPalette::Active, role));
    setPalette(colors);

    connect(this, &QAbstractItemView::clicked, this, &TQorListView::ItemClicked);
    connect(m_items, &TListItemsModel::ColumnsChanged, this, &TQorListView::ApplyColumnWidths);

    ShowMessage = [this](const QString &title, const QString &text) {
        QMessageBox::information(this, title, text);
    };
}

QList<int> TQorListView::ColumnWidths() const
{
    QList<int> widths;
    for (int column = 0; column < header()->count(); ++column)
        widths.append(columnWidth(column));
    return widths;
}

void TQorListView::SetColumnWidths(const QList<int> &widths)
{
    const int count = std::min(header()->count(), int(widths.size()));
    for (int column = 0; column < count; ++column)
        if (widths[column] > 0)
            setColumnWidth(column, widths[column]);
}

void TQorListView::ApplyColumnWidths()
{
    SetColumnWidths(m_items->ColumnWidths());
    // A sort column that is gone cannot be repeated.
    if (m_lastSortIndex >= m_items->columnCount()) {
        m_lastSortIndex = -1;
        m_lastSortAscending = true;
        header()->setSortIndicator(-1, Qt::AscendingOrder);
    }
}

void TQorListView::Sort(int column, bool ascending)
{
    if (column < 0 || column >= m_items->columnCount())
        return;
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_lastSortIndex = column;
    m_lastSortAscending = ascending;

    const QLocale textLocale = locale();
    // What each text reads as is worked out once, on both cores for long lists;
    // a collator is not to be shared between threads, so each half has its own.
    constexpr std::size_t kMinimumForThread = 2000;
    const std::size_t count = std::size_t(m_items->Count());
    std::vector<std::optional<TListSortKey>> keys(count);
    ForTwoHalves(count, kMinimumForThread, [&](std::size_t begin, std::size_t end) {
        const QCollator collator = MakeListCollator(textLocale);
        for (std::size_t row = begin; row < end; ++row)
            keys[row].emplace(MakeListSortKey(m_items->Item(int(row)).Texts.value(column), textLocale, collator));
    });

    const int direction = ascending ? 1 : -1;
    const auto less = [&](int a, int b) {
        int result = 0;
        bool handled = false;
        if (OnCustomSort)
            result = OnCustomSort(column, m_items->Text(a, column), m_items->Text(b, column), handled);
        if (!handled)
            result = CompareListSortKeys(*keys[std::size_t(a)], *keys[std::size_t(b)]);
        // Only the sign counts, so a handler's INT_MIN cannot overflow when negated.
        return ((result > 0) - (result < 0)) * direction < 0;
    };
    // The owner's comparison may not be safe to call from two threads.
    if (OnCustomSort)
        m_items->SortItems(less);
    else
        m_items->SortItemsOnBothCores(less);
}

void TQorListView::SortAsIs()
{
    if (m_lastSortIndex >= 0)
        Sort(m_lastSortIndex, m_lastSortAscending);
}

void TQorListView::HeaderClicked(int column)
{
    Sort(column, column == m_lastSortIndex ? !m_lastSortAscending : true);
}

void TQorListView::FindText(const QString &text)
{
    m_findText = text;
    m_findStartPos = 0;
    m_findOldStartPos = -1;
    FindNext();
}

void TQorListView::FindNext()
{
    // An empty text would match every row; there is nothing to look for.
    if (!m_findText.isEmpty())
        FindStep();
}

void TQorListView::FindRefresh()
{
    QModelIndex from = currentIndex();
    if (!from.isValid() && selectionModel()->hasSelection())
        from = selectionModel()->selectedRows().value(0);
    m_findStartPos = from.isValid() ? from.row() : 0;
}

void TQorListView::Find()
{
    m_findText.clear();
    m_findStartPos = 0;
    m_findOldStartPos = -1;
    if (!m_findDialog) {
        m_findDialog = new QDialog(this);
        m_findDialog->setWindowTitle(tr("Find"));
        m_findEdit = new QLineEdit(m_findDialog);
        auto *findButton = new QPushButton(tr("Find Next"), m_findDialog);
        findButton->setDefault(true);
        auto *layout = new QHBoxLayout(m_findDialog);
        layout->addWidget(m_findEdit);
        layout->addWidget(findButton);
        connect(findButton, &QPushButton::clicked, this, &TQorListView::FindPressed);
    }
    m_findEdit->clear();
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void TQorListView::FindPressed()
{
    const QString text = m_findEdit->text();
    if (text != m_findText)
        FindText(text);
    else
        FindNext();
}

void TQorListView::FindStep()
{
    if (m_findDialog)
        m_findDialog->close();

    // The find text is normalized once for the whole walk.
    const TFindNeedle needle(m_findText, m_findOptions);
    int found = -1;
    for (int row = std::max(0, m_findStartPos); row < m_items->Count() && found < 0; ++row)
        if (RowMatches(row, needle))
            found = row;

    if (found >= 0) {
        SelectFoundRow(found);
        m_findStartPos = found + 1;
        m_findOldStartPos = found + 1;
    } else {
        const bool nothingFound = m_findOldStartPos == -1;
        if (nothingFound)
            m_findStartPos = 0;
        const QString text = nothingFound ? tr("Search string \"%1\" not found.") : tr("No more instances of \"%1\" found.");
        if (ShowMessage)
            ShowMessage(tr("Search Results"), text.arg(m_findText));
    }
    setFocus();
}

bool TQorListView::RowMatches(int row, const TFindNeedle &needle) const
{
    const TListItem &item = m_items->Item(row);
    if (OnCustomFind) {
        bool handled = false;
        const bool matches = OnCustomFind(item, m_findText, handled);
        if (handled)
            return matches;
    }
    return needle.In(item.Texts);
}

void TQorListView::SelectFoundRow(int row)
{
    const QModelIndex index = m_items->index(row, 0);
    clearSelection();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    Q_EMIT ItemClicked();
}

} // namespace cardolin::app
