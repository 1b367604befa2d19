#pragma once

#include <QObject>

class QComboBox;

namespace cardolin {
class TQorRegistryEnhanced;
class UserPrompts;
} // namespace cardolin

namespace cardolin::app {

class GoogleAccountsDialog;
class MainWindow;
class SyncResultsDialog;

// The Google account box, its Manage Google Accounts dialog and the Sync
// button of the main window.
class SyncCommands : public QObject
{
    Q_OBJECT
public:
    SyncCommands(MainWindow &window, QComboBox &accountBox, TQorRegistryEnhanced &registry, UserPrompts &prompts);

    // Start-up: the stored accounts into the box, the chosen one's geocoding
    // key into both collections.
    void FillGoogleAccounts();
    void ManageGoogleAccountsSpeedButtonClick();
    void SyncButtonClick();

    GoogleAccountsDialog *Form7() const { return m_accounts; }
    SyncResultsDialog *Form5() const { return m_results; }

private:
    void SelectGoogleAccount(const QString &account);
    void KeepAlive();

    MainWindow &m_window;
    QComboBox &m_box;
    TQorRegistryEnhanced &m_registry;
    UserPrompts &m_prompts;
    GoogleAccountsDialog *m_accounts;
    SyncResultsDialog *m_results;
    qint64 m_lastAlive = 0;
};

} // namespace cardolin::app
