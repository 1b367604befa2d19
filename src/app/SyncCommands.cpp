#include "app/SyncCommands.h"

#include "app/ContactCommands.h"
#include "app/MainWindow.h"
#include "app/dialogs/GoogleAccountsDialog.h"
#include "app/dialogs/SyncResultsDialog.h"
#include "online/GoogleSync.h"
#include "online/StoredGoogleAccounts.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLineEdit>

namespace cardolin::app {

SyncCommands::SyncCommands(MainWindow &window, QComboBox &accountBox, TQorRegistryEnhanced &registry,
                           UserPrompts &prompts)
    : QObject(&window), m_window(window), m_box(accountBox), m_registry(registry), m_prompts(prompts),
      m_accounts(new GoogleAccountsDialog(prompts, &window)), m_results(new SyncResultsDialog(&window))
{
}

void SyncCommands::SelectGoogleAccount(const QString &account)
{
    m_box.setCurrentIndex(m_box.findText(account, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

void SyncCommands::FillGoogleAccounts()
{
    const TGoogleAccountChoice choice = LoadGoogleAccounts(m_registry);
    m_box.clear();
    m_box.addItems(choice.Accounts);
    SelectGoogleAccount(choice.Selected);
    if (choice.Selected.isEmpty() && choice.GeocodingKey.isEmpty())
        return;
    m_window.QorContacts1().SetGoogleGeocodingKey(choice.GeocodingKey);
    m_window.QorContacts2().SetGoogleGeocodingKey(choice.GeocodingKey);
}

void SyncCommands::ManageGoogleAccountsSpeedButtonClick()
{
    QStringList names;
    for (int i = 0; i < m_box.count(); ++i)
        names.append(m_box.itemText(i));
    m_accounts->SetAccounts(ReadGoogleAccounts(m_registry, names));
    m_accounts->setResult(QDialog::Rejected);
    m_window.ExecDialog(*m_accounts);
    if (m_accounts->result() != QDialog::Accepted)
        return;
    const QString remembered = m_box.currentText();
    const std::vector<TGoogleAccountData> rows = m_accounts->Accounts();
    m_box.clear();
    for (const TGoogleAccountData &row : rows) {
        m_box.addItem(row.GoogleAccount);
        if (row.GoogleAccount == remembered) {
            m_window.QorContacts1().SetGoogleRefreshToken(row.GoogleRefreshToken);
            m_window.QorContacts2().SetGoogleRefreshToken(row.GoogleRefreshToken);
        }
    }
    SelectGoogleAccount(SaveGoogleAccounts(m_registry, rows, remembered));
}

void SyncCommands::KeepAlive()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastAlive >= 50) {
        m_lastAlive = now;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void SyncCommands::SyncButtonClick()
{
    // A book that was only partly read would look, to Echo, like a book
    // whose other contacts were deleted.
    if (m_window.Session().LoadFailed()) {
        m_prompts.ShowError(tr("The contacts book could not be loaded completely, so it cannot be synchronised. "
                               "Refresh it successfully first."));
        return;
    }
    const QString account = m_box.currentText();
    if (account.isEmpty()) {
        m_prompts.ShowError(tr("Choose a Google account first, or add one with Manage Google Accounts."));
        return;
    }
    TGoogleSync sync(m_registry, m_window.QorContacts1(), m_window.QorContacts2(), m_prompts);
    sync.Action = SyncActionFromIndex(ReadIntegerSetting(m_registry, SettingId::SyncAction));
    sync.Log = [this](const QString &line) { m_window.QorLogFile1().SetLogText(line); };
    sync.KeepAlive = [this] { KeepAlive(); };
    m_window.ErrorList().clear();
    {
        BusyCursor busy(m_prompts);
        const bool done = sync.Run(account);
        if (sync.NotConfigured())
            return; // the warning said it all; there are no results to show
        if (done || sync.Counters().Total() > 0) {
            m_window.RebuildFromBook(m_window.Options().SortAlphabetically);
            if (auto *find = m_window.findChild<QLineEdit *>(QStringLiteral("FindButtonedEdit")))
                find->clear();
            m_window.UpdateStatus();
        }
    }
    m_results->SetResults(sync.Counters(), sync.ResultText());
    m_window.ErrorList().append(sync.Warnings());
    m_window.ShowErrorReport(QStringLiteral(" warning(s)"));
    m_window.ExecDialog(*m_results);
    if (sync.Counters().Total() > 0) {
        // Undo steps recorded before the run refer to a book that changed under them.
        m_window.Commands().BookChanged();
        m_window.SetModified(true);
        m_window.UpdateUndoActions();
    }
}

} // namespace cardolin::app
