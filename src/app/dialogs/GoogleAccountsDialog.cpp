#include "app/dialogs/GoogleAccountsDialog.h"

#include "app/listview/ListItemsModel.h"
#include "app/listview/QorListView.h"
#include "support/UserPrompts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cardolin::app {

namespace {

QString TokenText(const TGoogleAccountData &data)
{
    return data.GoogleRefreshToken.isEmpty() ? GoogleAccountsDialog::tr("No") : GoogleAccountsDialog::tr("Yes");
}

TGoogleAccountData &DataOf(const TListItem &item)
{
    return *static_cast<TGoogleAccountData *>(item.Data);
}

} // namespace

GoogleAccountsDialog::GoogleAccountsDialog(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("Manage Google Accounts"));
    auto *layout = new QVBoxLayout(this);
    auto *edits = new QFormLayout;
    m_accountEdit = new QLineEdit(this);
    m_accountEdit->setObjectName(QStringLiteral("GoogleAccountEdit"));
    m_accountEdit->setToolTip(tr("Enter account here"));
    m_accountEdit->setPlaceholderText(tr("Enter account here"));
    m_keyEdit = new QLineEdit(this);
    m_keyEdit->setObjectName(QStringLiteral("GoogleGeocodingKeyEdit"));
    m_keyEdit->setToolTip(tr("Enter geocoding key here"));
    m_keyEdit->setPlaceholderText(tr("Enter geocoding key here"));
    edits->addRow(tr("Google Account :"), m_accountEdit);
    edits->addRow(tr("Google Geocoding Key :"), m_keyEdit);
    layout->addLayout(edits);
    for (QLineEdit *edit : {m_accountEdit, m_keyEdit})
        connect(edit, &QLineEdit::returnPressed, this, [this] { Add1Click(); });

    m_list = new TQorListView(this);
    m_list->setObjectName(QStringLiteral("GoogleAccountsQorListView"));
    m_list->Items().SetColumns({tr("Google Account"), tr("Google Geocoding Key"), tr("Google Refresh Token")},
                               {220, 260, 140});
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_list, 1);
    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { RowClicked(index.row()); });

    m_menu = new QMenu(this);
    m_menu->addAction(tr("Add"), this, [this] { Add1Click(); })->setObjectName(QStringLiteral("Add1"));
    m_delete = m_menu->addAction(tr("Delete"), this, [this] { Delete1Click(); });
    m_delete->setObjectName(QStringLiteral("Delete1"));
    m_clearToken = m_menu->addAction(tr("Clear Google Refresh Token"), this, [this] { ClearGoogleRefreshToken1Click(); });
    m_clearToken->setObjectName(QStringLiteral("ClearGoogleRefreshToken1"));
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        UpdateMenu();
        m_menu->popup(m_list->viewport()->mapToGlobal(at));
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // Enter in the edits adds a row; it must not close the dialog too.
    for (QAbstractButton *button : buttons->buttons())
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(680, 360);
}

GoogleAccountsDialog::~GoogleAccountsDialog() = default;

void GoogleAccountsDialog::SetAccounts(const std::vector<TGoogleAccountData> &rows)
{
    m_list->Items().Clear();
    m_data.clear();
    for (const TGoogleAccountData &row : rows)
        AddRow(std::make_unique<TGoogleAccountData>(row));
    m_accountEdit->clear();
    m_keyEdit->clear();
}

std::vector<TGoogleAccountData> GoogleAccountsDialog::Accounts() const
{
    std::vector<TGoogleAccountData> rows;
    for (int row = 0; row < m_list->Items().Count(); ++row)
        rows.push_back(DataOf(m_list->Items().Item(row)));
    return rows;
}

int GoogleAccountsDialog::AddRow(std::unique_ptr<TGoogleAccountData> data)
{
    TListItem item;
    item.Data = data.get();
    m_data.push_back(std::move(data));
    const int row = m_list->Items().AddItem(std::move(item));
    ShowRow(row);
    return row;
}

void GoogleAccountsDialog::ShowRow(int row)
{
    TListItem item = m_list->Items().Item(row);
    const TGoogleAccountData &data = DataOf(item);
    item.Texts = {data.GoogleAccount, data.GoogleGeocodingKey, TokenText(data)};
    m_list->Items().SetItem(row, std::move(item));
}

QList<int> GoogleAccountsDialog::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void GoogleAccountsDialog::UpdateMenu()
{
    const bool selected = !SelectedRows().isEmpty();
    m_delete->setEnabled(selected);
    m_clearToken->setEnabled(selected);
}

void GoogleAccountsDialog::Add1Click()
{
    const QString account = m_accountEdit->text();
    if (account.isEmpty()) {
        m_prompts.ShowError(tr("The Google Account value must be non-empty."));
        return;
    }
    int found = -1;
    for (int row = 0; row < m_list->Items().Count() && found < 0; ++row)
        if (m_list->Items().Item(row).Texts.contains(account))
            found = row;
    if (found < 0)
        found = AddRow(std::make_unique<TGoogleAccountData>());
    TGoogleAccountData &data = DataOf(m_list->Items().Item(found));
    data = {account, m_keyEdit->text(), QString()};
    ShowRow(found);
}

void GoogleAccountsDialog::Delete1Click()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    std::vector<const void *> gone;
    for (int row : rows)
        gone.push_back(m_list->Items().Item(row).Data);
    m_list->Items().RemoveItems(rows);
    std::erase_if(m_data, [&](const auto &data) { return std::ranges::find(gone, data.get()) != gone.end(); });
    m_accountEdit->clear();
}

void GoogleAccountsDialog::ClearGoogleRefreshToken1Click()
{
    for (int row : SelectedRows()) {
        DataOf(m_list->Items().Item(row)).GoogleRefreshToken.clear();
        ShowRow(row);
    }
}

void GoogleAccountsDialog::RowClicked(int row)
{
    if (row < 0 || row >= m_list->Items().Count())
        return;
    const TGoogleAccountData &data = DataOf(m_list->Items().Item(row));
    m_accountEdit->setText(data.GoogleAccount);
    m_keyEdit->setText(data.GoogleGeocodingKey);
}

} // namespace cardolin::app
