#include "app/FlowLayout.h"

#include <QWidget>

namespace cardolin::app {

FlowLayout::FlowLayout(QWidget *parent, int spacing) : QLayout(parent), m_spacing(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    qDeleteAll(m_items);
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

int FlowLayout::heightForWidth(int width) const
{
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem *item : m_items)
        if (!item->isEmpty())
            size = size.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize FlowLayout::sizeHint() const
{
    int width = 0, height = 0;
    for (const QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? m_spacing : 0) + item->sizeHint().width();
        height = qMax(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int FlowLayout::Arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem *> row;
    int rowWidth = 0, rowHeight = 0, top = area.top();
    const auto finishRow = [&] {
        if (row.isEmpty())
            return;
        ArrangeRow(row, QRect(area.left(), top, area.width(), rowHeight), apply);
        top += rowHeight + m_spacing;
        row.clear();
        rowWidth = rowHeight = 0;
    };
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        if (!row.isEmpty() && rowWidth + m_spacing + hint.width() > area.width())
            finishRow();
        rowWidth += (row.isEmpty() ? 0 : m_spacing) + hint.width();
        rowHeight = qMax(rowHeight, hint.height());
        row.append(item);
    }
    finishRow();
    const QMargins margins = contentsMargins();
    return qMax(0, top - m_spacing - area.top()) + margins.top() + margins.bottom();
}

void FlowLayout::ArrangeRow(const QList<QLayoutItem *> &row, const QRect &line, bool apply) const
{
    if (!apply)
        return;
    QList<int> widths;
    int used = m_spacing * int(row.size() - 1);
    int expanding = 0;
    for (const QLayoutItem *item : row) {
        // A row too narrow for one item squeezes it down to its minimum.
        widths.append(qMin(item->sizeHint().width(), qMax(item->minimumSize().width(), line.width())));
        used += widths.last();
        if (item->expandingDirections() & Qt::Horizontal)
            ++expanding;
    }
    int spare = qMax(0, line.width() - used);
    for (qsizetype i = 0; i < row.size() && expanding > 0; ++i) {
        if (!(row[i]->expandingDirections() & Qt::Horizontal))
            continue;
        const int share = spare / expanding--;
        const int grown = qMin(widths[i] + share, row[i]->maximumSize().width());
        spare -= grown - widths[i];
        widths[i] = grown;
    }
    int x = line.left();
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (row[i]->alignment() & Qt::AlignRight) {
            x += spare; // it and what follows keep to the right edge
            spare = 0;
        }
        // A bottom-aligned item keeps its own height; the others get the row's.
        const bool bottom = row[i]->alignment() & Qt::AlignBottom;
        const int height = qMin(line.height(), bottom ? row[i]->sizeHint().height() : row[i]->maximumSize().height());
        const int y = bottom ? line.bottom() + 1 - height : line.top();
        row[i]->setGeometry(QRect(x, y, widths[i], height));
        x += widths[i] + m_spacing;
    }
}

} // namespace cardolin::app
