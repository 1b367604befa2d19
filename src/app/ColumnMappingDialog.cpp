#include "app/ColumnMappingDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

// Column names as people write them: "E-mail", "e mail" and "Email" alike.
QString Squeezed(const QString &name)
{
    QString out;
    for (QChar c : name)
        if (c.isLetterOrNumber())
            out += c.toCaseFolded();
    return out;
}

} // namespace

ColumnMappingDialog::ColumnMappingDialog(const CsvPreview &preview, const QStringList &proposed, QWidget *parent)
    : QDialog(parent), m_table(new QTableWidget(int(preview.columns.size()), 2 + int(preview.records.size()), this))
{
    setObjectName(QStringLiteral("ColumnMappingDialog"));
    setWindowTitle(tr("Columns of the CSV File"));
    auto *hint = new QLabel(tr("No known layout reads this file. Choose the contact field that each column fills; "
                               "columns left at \"(not imported)\" are skipped."),
                            this);
    hint->setWordWrap(true);

    QStringList headers{tr("Column"), tr("Contact field")};
    for (int i = 1; i <= int(preview.records.size()); ++i)
        headers.append(tr("Record %1").arg(i));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QStringList fields = MappableContactFields();
    for (int row = 0; row < int(preview.columns.size()); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(preview.columns.at(row)));
        auto *choice = new QComboBox(m_table);
        choice->addItem(tr("(not imported)"), QString());
        for (const QString &field : fields)
            choice->addItem(field, field);
        m_choices.append(choice);
        m_table->setCellWidget(row, 1, choice);
        SetField(row, proposed.value(row));
        for (int record = 0; record < int(preview.records.size()); ++record)
            m_table->setItem(row, 2 + record, new QTableWidgetItem(preview.records.at(record).value(row)));
    }
    m_table->resizeColumnsToContents();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(760, 420);
}

QStringList ColumnMappingDialog::Fields() const
{
    QStringList fields;
    for (const QComboBox *choice : m_choices)
        fields.append(choice->currentData().toString());
    return fields;
}

void ColumnMappingDialog::SetField(int column, const QString &field)
{
    if (column < 0 || column >= m_choices.size())
        return;
    const int index = m_choices.at(column)->findData(field);
    m_choices.at(column)->setCurrentIndex(index < 0 ? 0 : index);
}

QStringList ColumnMappingDialog::GuessFields(const QStringList &columns)
{
    const QStringList fields = MappableContactFields();
    QStringList guesses;
    for (const QString &column : columns) {
        QString guess;
        for (const QString &field : fields)
            if (Squeezed(field) == Squeezed(column))
                guess = field;
        guesses.append(guess);
    }
    return guesses;
}

} // namespace cardolin::app
