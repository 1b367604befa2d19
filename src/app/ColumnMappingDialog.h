#pragma once

#include "formats/CsvColumnMapping.h"

#include <QDialog>

class QComboBox;
class QTableWidget;

namespace cardolin::app {

// Lets the user say which contact field each column of a CSV file fills, when
// no known layout reads it: a row per column with a choice of field, beside the
// values of the file's first records.
class ColumnMappingDialog : public QDialog
{
    Q_OBJECT
public:
    // proposed holds a field name (or nothing) per column.
    ColumnMappingDialog(const CsvPreview &preview, const QStringList &proposed, QWidget *parent = nullptr);

    QStringList Fields() const;
    void SetField(int column, const QString &field);

    // A field for each column whose name says which one it is, as a start.
    static QStringList GuessFields(const QStringList &columns);

private:
    QTableWidget *m_table;
    QList<QComboBox *> m_choices;
};

} // namespace cardolin::app
