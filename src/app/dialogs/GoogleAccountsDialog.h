#pragma once

#include "online/StoredGoogleAccounts.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLineEdit;
class QMenu;

namespace cardolin {
class UserPrompts;
}

namespace cardolin::app {

class TQorListView;

// The stored Google accounts: each one's geocoding key and whether a refresh
// token is kept. Edits stay in the dialog until OK.
class GoogleAccountsDialog : public QDialog
{
    Q_OBJECT
public:
    GoogleAccountsDialog(UserPrompts &prompts, QWidget *parent = nullptr);
    ~GoogleAccountsDialog() override;

    void SetAccounts(const std::vector<TGoogleAccountData> &rows);
    // The rows in list order.
    std::vector<TGoogleAccountData> Accounts() const;

    // Menu commands.
    void Add1Click();
    void Delete1Click();
    void ClearGoogleRefreshToken1Click();
    // A click on a row fills both edits from it.
    void RowClicked(int row);

    QLineEdit *AccountEdit() const { return m_accountEdit; }
    QLineEdit *GeocodingKeyEdit() const { return m_keyEdit; }
    TQorListView *GoogleAccountsQorListView() const { return m_list; }
    QMenu *PopupMenu() const { return m_menu; }

private:
    int AddRow(std::unique_ptr<TGoogleAccountData> data);
    void ShowRow(int row);
    QList<int> SelectedRows() const;
    void UpdateMenu();

    UserPrompts &m_prompts;
    QLineEdit *m_accountEdit = nullptr;
    QLineEdit *m_keyEdit = nullptr;
    TQorListView *m_list = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_delete = nullptr;
    QAction *m_clearToken = nullptr;
    std::vector<std::unique_ptr<TGoogleAccountData>> m_data;
};

} // namespace cardolin::app
