#pragma once

#include <QLayout>
#include <QList>

namespace cardolin::app {

// Lays its items out in a row that wraps onto further rows when the width
// runs out, so a band of controls fits a narrow window. Within a row, the
// width left over goes first to items that expand, the rest before the first
// item aligned to the right. An item aligned to the bottom sits on the row's
// bottom edge; the others take the row's height.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 6);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items (only measures when apply is false); the height used.
    int Arrange(const QRect &rect, bool apply) const;
    void ArrangeRow(const QList<QLayoutItem *> &row, const QRect &line, bool apply) const;

    QList<QLayoutItem *> m_items;
    int m_spacing;
};

} // namespace cardolin::app
