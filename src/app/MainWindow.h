#pragma once

#include "app/ContactListItems.h"
#include "app/ImportExportCommands.h"
#include "app/listview/ListItemsModel.h"
#include "contacts/BookSession.h"
#include "contacts/ContactSearchIndex.h"
#include "contacts/QorContacts.h"
#include "online/LoopbackListener.h"
#include "support/QorLogFile.h"
#include "support/StartupSettings.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSystemTrayIcon;
class QToolButton;

namespace cardolin {
class TQorRegistryEnhanced;
class TUserAccounts;
class UserPrompts;
namespace platform {
class DesktopServices;
}
} // namespace cardolin

namespace cardolin::app {

class BookStateHint;
class ContactCommands;
class ContactMenu;
class ErrorReportDialog;
class SyncCommands;
class GuiDesktopServices;
class OptionsCommand;
class SaveAsCommand;
class TQorListView;
class UpdateCommands;
class WorkProgress;

// What the main window works with; all of it outlives the window.
struct TMainWindowEnvironment
{
    TQorRegistryEnhanced &Registry;
    const TUserAccounts &Accounts;
    UserPrompts &Prompts;
};

// The options the window keeps while it runs, read at start.
struct TWindowOptions
{
    bool HandleDoubleClicksAsPropertiesDisplay = true;
    bool SortAlphabetically = true;
    bool DisplayFindResultsFiltered = true;
    bool RememberColumnsSize = false;
    bool IconizeToTray = false;
};

// The main window: the account's book in a list, the find box, Refresh and
// Apply, and hiding in the notification area.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(TMainWindowEnvironment environment, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up before the window shows: settings of an older version, folders,
    // placement, accounts, fonts, debug log, then the stored options.
    void FormCreate();
    void ActivateOptions();
    // The first load: the current account's book, or the account of a ".qcb"
    // path given on the command line (its parts joined with blanks).
    void FirstLoad(const QStringList &arguments);

    // Shared state of the commands.
    bool Modified() const { return m_session.Modified(); }
    void SetModified(bool value);
    // The records of the selected rows, in list order.
    std::vector<TContactData *> SelectedContacts() const;
    void ClearSelection();
    // Brings the rows of these records in line with the book: rows of records
    // that left it go, records that came back get a row, the rest are rebuilt.
    void SyncRows(const std::vector<TContactData *> &records, bool resort);
    void RebuildFromBook(bool sort);
    // Where the selected account's book lives, for the file dialogs.
    QString SelectedAccountBookFolder() const;
    // The records of every row, in list order.
    std::vector<TContactData *> ListedContacts() const;
    ContactCommands &Commands() { return *m_commands; }
    ContactMenu &Menu() { return *m_menu; }
    ImportExportCommands &ImportExport() { return *m_importExport; }
    UpdateCommands &Updates() { return *m_updates; }
    SyncCommands &Sync() { return *m_sync; }
    const TContactsBookSession &Session() const { return m_session; }
    SaveAsCommand &SaveAs() const { return *m_saveAs; }
    TDialogMemory &DialogMemory() { return m_dialogMemory; }
    void UpdateUndoActions();
    OptionsCommand &OptionsDialogCommand() { return *m_optionsCommand; }
    // Where addresses, mail and the clipboard go; the real desktop unless replaced.
    void SetDesktop(platform::DesktopServices &desktop);
    bool FilteredView() const { return m_filteredView; }
    QStringList &ErrorList() { return m_errorList; }
    void UpdateStatus();
    // Shows the collected errors, when there are any.
    void ShowErrorReport(const QString &suffix = QStringLiteral(" error(s)"));
    const QString &DefFilesPath() const { return m_defFilesPath; }
    const TWindowOptions &Options() const { return m_options; }
    const TVersionMigration &VersionMigration() const { return m_migration; }
    TQorContacts &QorContacts1() { return m_contacts1; }
    TQorContacts &QorContacts2() { return m_contacts2; }
    TQorListView *QorListView1() const { return m_list; }
    ErrorReportDialog *Form6() const { return m_errorReport; }
    TQorLogFile &QorLogFile1() { return m_log; }
    bool TrayIconVisible() const;
    // Whether the desktop shows tray icons; the window hides there only then.
    std::function<bool()> TrayAvailable;
    // Shows the window's own modal dialogs; tests look at them instead.
    std::function<void(QDialog &)> ExecDialog;

    // Handlers.
    void RefreshButtonClick();
    void ApplyButtonClick();
    void WindowsUserAccountComboBoxClick();
    void FindButtonedEditRightButtonClick();
    void ClearFilterSpeedButtonClick();
    void QorListView1DblClick();
    void Delete1Click();
    void PopupMenu1Show(const QPoint &position);
    void ExitButtonClick();
    void OpenCardolinClick();
    void SortContacts();

Q_SIGNALS:
    // The window closed for good; the program ends.
    void Closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildTopBand();
    QWidget *BuildBottomBand();
    void BuildTray();
    void RestorePlacement();
    void StorePlacement();
    void StoreColumns();
    void FillAccounts();
    void ApplyFonts();
    void StartDebugLog();
    void HideToTray();
    // Apply is enabled exactly while the book has unsaved changes.
    void ShowModified();
    QString SelectedAccount() const;
    void SelectAccount(const QString &account);
    // The sort a rebuild applies: a column and direction, or none (column -1).
    struct TRowsSort
    {
        int Column = -1;
        bool Ascending = true;
        bool operator==(const TRowsSort &) const = default;
    };
    TRowsSort RebuildSort(bool sort) const;
    // Shows rows for these records; hands back the rows they replaced.
    std::vector<TListItem> RebuildList(const std::vector<TContactData *> &records, bool sort);
    // The rows of the whole book stop being what a rebuild would show.
    void ForgetBookRows();
    bool RestoreBookRows();
    void ShowLoadedBook();
    void OfferBackup();
    void BuildCommands();
    void SortIfAsked();
    void ShowProgress(int min, int max, int position);
    bool ListKeyPressed(QKeyEvent *event);
    bool MenuKeyPressed(QKeyEvent *event);
    QString BookPath(const QString &account) const;

    TMainWindowEnvironment m_env;
    // Declared before the collections, which refer to both.
    std::unique_ptr<GuiDesktopServices> m_systemDesktop;
    LoopbackListener m_listener;
    TQorContacts m_contacts1;
    TQorContacts m_contacts2;
    TContactsBookSession m_session;
    TQorLogFile m_log;
    TWindowOptions m_options;
    TVersionMigration m_migration;
    QString m_defFilesPath;
    QStringList m_errorList;
    bool m_filteredView = false;
    bool m_closingFromExit = false;
    bool m_userSorted = false; // a header click chose the order
    // The rows of the whole book as its last rebuild made them, and how: shown
    // while m_bookRowsShown, kept aside while a filtered view shows, so that
    // clearing the filter brings them back without building them again.
    struct TBookRows
    {
        std::vector<TListItem> Items;
        TRowsSort Sort;
        bool LinkGender = true;
        TRowColors Colors;
    };
    TBookRows m_bookRows;
    // What filtered finds search while the book is as the last rebuild saw it.
    TContactSearchIndex m_searchIndex;
    // The list's find text, and its words when they are looked for one by one.
    QString m_rowFindText;
    QStringList m_rowFindWords;
    bool m_bookRowsShown = false;
    bool m_bookRowsKept = false;

    QComboBox *m_accountBox = nullptr;
    QPushButton *m_refreshButton = nullptr;
    QPushButton *m_exportButton = nullptr;
    QLineEdit *m_findEdit = nullptr;
    QToolButton *m_clearFilterButton = nullptr;
    QLabel *m_countLabel = nullptr;
    TQorListView *m_list = nullptr;
    QProgressBar *m_progress = nullptr;
    WorkProgress *m_workProgress = nullptr;
    QPushButton *m_applyButton = nullptr;
    SaveAsCommand *m_saveAs = nullptr; // offered while the book is read-only
    QSystemTrayIcon *m_tray = nullptr;
    ErrorReportDialog *m_errorReport = nullptr;
    BookStateHint *m_stateHint = nullptr;
    std::unique_ptr<ContactCommands> m_commands;
    ContactMenu *m_menu = nullptr;
    ImportExportCommands *m_importExport = nullptr;
    SyncCommands *m_sync = nullptr;
    TDialogMemory m_dialogMemory;
    std::unique_ptr<UpdateCommands> m_updates; // Check for Updates, About
    std::unique_ptr<OptionsCommand> m_optionsCommand;
};

} // namespace cardolin::app
