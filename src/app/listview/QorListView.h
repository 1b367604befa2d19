#pragma once

#include "app/listview/ListItemsModel.h"
#include "contacts/ContactData.h"

#include <QPointer>
#include <QTreeView>

#include <functional>

class QDialog;
class QLineEdit;

namespace cardolin {
class TFindNeedle;
}

namespace cardolin::app {

// A report list: rows of texts under clickable column headers that sort, with
// an incremental find that steps from one matching row to the next.
class TQorListView : public QTreeView
{
    Q_OBJECT

public:
    explicit TQorListView(QWidget *parent = nullptr);

    TListItemsModel &Items() { return *m_items; }
    const TListItemsModel &Items() const { return *m_items; }

    TFindOptions FindOptions() const { return m_findOptions; }
    void SetFindOptions(TFindOptions options) { m_findOptions = options; }
    bool LastSortAscending() const { return m_lastSortAscending; }
    int LastSortIndex() const { return m_lastSortIndex; }

    // Widths of the columns as shown, for the owner to keep between runs.
    QList<int> ColumnWidths() const;
    void SetColumnWidths(const QList<int> &widths);

    // Sorts by a column and shows the arrow there; no columns, nothing happens.
    void Sort(int column, bool ascending);
    // Sorts again as last time, after rows were added or changed.
    void SortAsIs();

    // A new search for text from the first row, one step of it.
    void FindText(const QString &text);
    // The next step of the current search.
    void FindNext();
    // Lets the next step start at the current row.
    void FindRefresh();
    // Opens the find window for a new search.
    void Find();
    const QString &CurrentFindText() const { return m_findText; }

    // Decides whether a row matches; leaving handled false falls back to the
    // default test. Gets the find text as typed.
    std::function<bool(const TListItem &item, const QString &findText, bool &handled)> OnCustomFind;
    // Compares two texts of a column; leaving handled false falls back to the
    // default comparison. Descending sorts negate its answer.
    std::function<int(int column, const QString &s1, const QString &s2, bool &handled)> OnCustomSort;
    // How messages reach the user; a message box unless replaced.
    std::function<void(const QString &title, const QString &text)> ShowMessage;

Q_SIGNALS:
    // A row was clicked, or a find step selected one.
    void ItemClicked();

private:
    void HeaderClicked(int column);
    void ApplyColumnWidths();
    void FindStep();
    bool RowMatches(int row, const TFindNeedle &needle) const;
    void SelectFoundRow(int row);
    void FindPressed();

    TListItemsModel *m_items;
    TFindOptions m_findOptions = foIgnoreAccentedChars;
    bool m_lastSortAscending = true;
    int m_lastSortIndex = -1;

    QString m_findText;
    int m_findStartPos = 0;
    int m_findOldStartPos = -1; // -1 until the current search found a row
    QPointer<QDialog> m_findDialog;
    QLineEdit *m_findEdit = nullptr;
};

} // namespace cardolin::app
