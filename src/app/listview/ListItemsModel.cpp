#include "app/listview/ListItemsModel.h"

namespace cardolin::app {

TListItemsModel::TListItemsModel(QObject *parent) : QAbstractTableModel(parent) {}

void TListItemsModel::SetColumns(const QStringList &captions, const QList<int> &widths)
{
    beginResetModel();
    m_captions = captions;
    m_widths = widths;
    endResetModel();
    Q_EMIT ColumnsChanged();
}

void TListItemsModel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    if (!m_items.empty())
        Q_EMIT dataChanged(index(0, 0), index(Count() - 1, 0), {Qt::DecorationRole});
}

QString TListItemsModel::Text(int row, int column) const
{
    return Item(row).Texts.value(column);
}

void TListItemsModel::SetItem(int row, TListItem item)
{
    if (row < 0 || row >= Count())
        return;
    m_items[std::size_t(row)] = std::move(item);
    if (columnCount() > 0)
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int TListItemsModel::AddItem(TListItem item)
{
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    m_items.push_back(std::move(item));
    endInsertRows();
    return row;
}

void TListItemsModel::RemoveItem(int row)
{
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_items.erase(m_items.begin() + row);
    endRemoveRows();
}

void TListItemsModel::RemoveItems(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int row) { return row < 0 || row >= Count(); });
    // Runs of neighbouring rows go in one step each, last run first so the
    // row numbers of the others hold; scattered rows are rebuilt in one pass.
    QList<std::pair<int, int>> runs;
    for (const int row : rows) {
        if (!runs.isEmpty() && runs.last().second == row - 1)
            runs.last().second = row;
        else
            runs.append({row, row});
    }
    constexpr qsizetype kMaxRuns = 64;
    if (runs.size() > kMaxRuns) {
        std::vector<bool> doomed(m_items.size());
        for (const int row : rows)
            doomed[size_t(row)] = true;
        std::vector<TListItem> kept;
        kept.reserve(m_items.size() - size_t(rows.size()));
        for (size_t i = 0; i < m_items.size(); ++i)
            if (!doomed[i])
                kept.push_back(std::move(m_items[i]));
        Reset(std::move(kept));
        return;
    }
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        beginRemoveRows(QModelIndex(), run->first, run->second);
        m_items.erase(m_items.begin() + run->first, m_items.begin() + run->second + 1);
        endRemoveRows();
    }
}

void TListItemsModel::Clear()
{
    Reset({});
}

void TListItemsModel::Reset(std::vector<TListItem> items)
{
    Replace(std::move(items));
}

std::vector<TListItem> TListItemsModel::Replace(std::vector<TListItem> items)
{
    beginResetModel();
    std::swap(m_items, items);
    endResetModel();
    return items;
}

int TListItemsModel::IndexOfData(const void *data) const
{
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [data](const TListItem &item) { return item.Data == data; });
    return found == m_items.end() ? -1 : int(found - m_items.begin());
}

void TListItemsModel::ApplyOrder(const std::vector<int> &order)
{
    Q_ASSERT(order.size() == m_items.size());
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> newRowOf(order.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow)
        newRowOf[std::size_t(order[newRow])] = int(newRow);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from)
        to.append(index(newRowOf[std::size_t(old.row())], old.column()));
    changePersistentIndexList(from, to);

    std::vector<TListItem> sorted;
    sorted.reserve(m_items.size());
    for (int oldRow : order)
        sorted.push_back(std::move(m_items[std::size_t(oldRow)]));
    m_items = std::move(sorted);

    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TListItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TListItemsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant TListItemsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return QVariant();
    const TListItem &item = Item(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return item.Texts.value(index.column());
    case Qt::ForegroundRole:
        return item.TextColor.isValid() ? QVariant(item.TextColor) : QVariant();
    case Qt::ToolTipRole:
        return item.ToolTip.isEmpty() ? QVariant() : QVariant(item.ToolTip);
    case Qt::DecorationRole:
        if (index.column() == 0 && item.ImageIndex >= 0 && item.ImageIndex < m_images.size())
            return m_images.at(item.ImageIndex);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TListItemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_captions.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TListItemsModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace cardolin::app
