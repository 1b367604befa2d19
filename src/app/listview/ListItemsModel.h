#pragma once

#include "support/TwoHalves.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <numeric>
#include <vector>

namespace cardolin::app {

// One row of a report list: the caption and the sub-item texts after it.
struct TListItem
{
    QStringList Texts; // [0] the caption, [k] sub-item k-1
    int ImageIndex = 0;
    QColor TextColor = {}; // invalid: the palette's text colour
    QString ToolTip = {};  // what the row's colour means, when it is not the text's
    void *Data = nullptr;
};

// Rows of a TQorListView. Read-only to the view; the owner fills it.
class TListItemsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TListItemsModel(QObject *parent = nullptr);

    void SetColumns(const QStringList &captions, const QList<int> &widths);
    const QStringList &ColumnCaptions() const { return m_captions; }
    const QList<int> &ColumnWidths() const { return m_widths; }
    void SetImages(const QList<QIcon> &images);

    int Count() const { return int(m_items.size()); }
    const TListItem &Item(int row) const { return m_items.at(std::size_t(row)); }
    // A row's text in a column; empty where the row has none.
    QString Text(int row, int column) const;
    void SetItem(int row, TListItem item);
    int AddItem(TListItem item);
    void RemoveItem(int row);
    // Removes the given rows, in any order; rows out of range are ignored.
    void RemoveItems(QList<int> rows);
    void Clear();
    // Replaces every row at once, which is what makes large lists quick to fill.
    void Reset(std::vector<TListItem> items);
    // The same, handing back the rows it replaced.
    std::vector<TListItem> Replace(std::vector<TListItem> items);
    // -1 when no row carries this pointer.
    int IndexOfData(const void *data) const;

    // Reorders the rows by a "less" over current row numbers, keeping rows that
    // compare equal in their order; selection and current row follow their rows.
    template <typename Less>
    void SortItems(Less less)
    {
        std::vector<int> order(m_items.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), less);
        ApplyOrder(order);
    }
    // The same order as SortItems, with each half sorted on its own core and
    // the halves merged, rows of the first half first among equals; less must
    // be safe to call from two threads at once.
    template <typename Less>
    void SortItemsOnBothCores(Less less)
    {
        std::vector<int> order(m_items.size());
        std::iota(order.begin(), order.end(), 0);
        constexpr std::size_t kMinimumForThread = 2000;
        std::size_t mid = order.size();
        ForTwoHalves(order.size(), kMinimumForThread, [&](std::size_t begin, std::size_t end) {
            if (begin > 0)
                mid = begin;
            std::stable_sort(order.begin() + std::ptrdiff_t(begin), order.begin() + std::ptrdiff_t(end), less);
        });
        std::vector<int> merged(order.size());
        std::merge(order.begin(), order.begin() + std::ptrdiff_t(mid), order.begin() + std::ptrdiff_t(mid),
                   order.end(), merged.begin(), less);
        ApplyOrder(merged);
    }
    // order[newRow] = oldRow; must be a permutation of all rows.
    void ApplyOrder(const std::vector<int> &order);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // The columns were replaced; views apply the new widths.
    void ColumnsChanged();

private:
    std::vector<TListItem> m_items;
    QStringList m_captions;
    QList<int> m_widths;
    QList<QIcon> m_images;
};

} // namespace cardolin::app
