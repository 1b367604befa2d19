#include "app/MainWindow.h"

#include "app/ContactCommands.h"
#include "app/ContactListItems.h"
#include "app/ContactMenu.h"
#include "app/dialogs/ContactDialogs.h"
#include "app/GuiDesktopServices.h"
#include "app/SaveAsCommand.h"
#include "app/UpdateCommands.h"
#include "app/WorkProgress.h"
#include "app/ApplicationIcon.h"
#include "app/BookStateHint.h"
#include "app/ErrorReportDialog.h"
#include "app/FlowLayout.h"
#include "app/SyncCommands.h"
#include "app/listview/ListItemsModel.h"
#include "app/listview/QorListView.h"
#include "app/options/OptionsCommand.h"
#include "contacts/BookBackup.h"
#include "contacts/BookLocation.h"
#include "contacts/CollectionOptions.h"
#include "contacts/DefaultLists.h"
#include "platform/Process.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/TwoHalves.h"
#include "support/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QVBoxLayout>

#include <unordered_set>

namespace cardolin::app {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kFormInfo = u"FormInfo\\Main Window"_s;
const QString kListViewInfo = u"ListViewInfo\\Main Window"_s;

QPushButton *CommandButton(QWidget *parent, const QString &name, const QString &caption, QStyle::StandardPixmap icon)
{
    auto *button = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    button->setObjectName(name);
    return button;
}

QToolButton *SpeedButton(QWidget *parent, const QString &name, const QString &hint, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QLabel *Caption(QWidget *parent, const QString &text)
{
    return new QLabel(text, parent);
}

// A group of the top band, which wraps as one piece.
QWidget *Group(QWidget *band, QLayout *layout)
{
    auto *group = new QWidget(band);
    layout->setContentsMargins(0, 0, 0, 0);
    group->setLayout(layout);
    return group;
}

} // namespace

MainWindow::MainWindow(TMainWindowEnvironment environment, QWidget *parent)
    : QMainWindow(parent), m_env(environment),
      m_session(m_contacts1, [this](const QString &account) { return BookPath(account); }, environment.Prompts)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Cardolin"_s);
    m_session.SetBookElsewhere([this](const QString &account) {
        return TContactsBookLocator(m_env.Accounts, ReadStorageSettings(m_env.Registry)).BookUnderOtherName(account);
    });
    m_systemDesktop = std::make_unique<GuiDesktopServices>();
    m_listener.BringToFront = [this] { OpenCardolinClick(); };
    for (TQorContacts *contacts : {&m_contacts1, &m_contacts2}) {
        contacts->SetPrompts(m_env.Prompts);
        contacts->SetDesktop(*m_systemDesktop);
        contacts->SetLoopbackListener(&m_listener);
    }
    m_contacts1.OnProgress = [this](TQorContacts *, int min, int max, int position) {
        ShowProgress(min, max, position);
    };
    m_contacts1.OnError = [this](TQorContacts *, const QString &, const QString &, const QString &error, int) {
        m_errorList.append(error);
    };
    m_log.SetEnabled(false);
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    ExecDialog = [](QDialog &dialog) { dialog.exec(); };
    InstallContactDialogs(m_contacts1, *m_systemDesktop, this);
    m_commands = std::make_unique<ContactCommands>(*this, m_contacts1, m_env.Registry, m_env.Prompts, *m_systemDesktop);
    BuildLayout();
    BuildCommands();
    m_optionsCommand = std::make_unique<OptionsCommand>(*this, m_env.Registry, m_env.Accounts, m_env.Prompts);
    m_updates = std::make_unique<UpdateCommands>(*this, m_env.Registry, m_env.Prompts, *m_systemDesktop,
                                                 [this] { return BookPath(SelectedAccount()); });
    connect(findChild<QToolButton *>(u"CheckForUpdatesSpeedButton"_s), &QToolButton::clicked, this,
            [this] { m_updates->CheckForUpdatesSpeedButtonClick(); });
    connect(findChild<QToolButton *>(u"AboutSpeedButton"_s), &QToolButton::clicked, this,
            [this] { m_updates->AboutSpeedButtonClick(); });
    BuildTray();
    // Google accounts and synchronisation.
    m_sync = new SyncCommands(*this, *findChild<QComboBox *>(u"GoogleAccountComboBox"_s), m_env.Registry, m_env.Prompts);
    connect(findChild<QPushButton *>(u"SyncButton"_s), &QPushButton::clicked, m_sync, &SyncCommands::SyncButtonClick);
    connect(findChild<QToolButton *>(u"ManageGoogleAccountsSpeedButton"_s), &QToolButton::clicked, m_sync,
            &SyncCommands::ManageGoogleAccountsSpeedButtonClick);
    m_errorReport = new ErrorReportDialog(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildCommands()
{
    ContactMenu::Environment environment{
        *m_commands,
        m_contacts1,
        [this] { return SelectedContacts(); },
        [this] { return m_list->Items().Count(); },
        [this] {
            const QModelIndexList rows = m_list->selectionModel()->selectedRows();
            return rows.isEmpty() ? -1 : m_list->Items().Item(rows.first().row()).ImageIndex;
        },
        [this] { return m_options.HandleDoubleClicksAsPropertiesDisplay; },
    };
    m_menu = new ContactMenu(std::move(environment), this);
    m_importExport = new ImportExportCommands(*this, m_contacts1, m_env.Registry, m_env.Prompts, this);
    for (auto [name, menu] : {std::pair{"ImportButton", m_importExport->ImportPopupMenu()},
                              {"ExportButton", m_importExport->ExportPopupMenu()}}) {
        // The menus open from a press of any mouse button, and as context menus.
        auto *button = findChild<QPushButton *>(QLatin1StringView(name));
        button->setMenu(menu);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, menu,
                [button, menu] { menu->popup(button->mapToGlobal(QPoint(0, button->height()))); });
    }
    setAcceptDrops(true);
    // The undo keys work wherever the focus is, except where a text box has
    // its own undo.
    addAction(m_menu->Undo1());
    addAction(m_menu->Redo1());
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &MainWindow::PopupMenu1Show);
}

void MainWindow::UpdateUndoActions()
{
    m_menu->UpdateUndoActions();
}

void MainWindow::ShowProgress(int min, int max, int position)
{
    m_workProgress->Show(min, max, position);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    event->acceptProposedAction();
    m_importExport->QorFileDrag1Drop(paths);
}

void MainWindow::SetDesktop(platform::DesktopServices &desktop)
{
    InstallContactDialogs(m_contacts1, desktop, this);
    m_commands->SetDesktop(desktop);
    m_updates->SetDesktop(desktop);
    for (TQorContacts *contacts : {&m_contacts1, &m_contacts2})
        contacts->SetDesktop(desktop);
}

void MainWindow::PopupMenu1Show(const QPoint &position)
{
    m_menu->PopupMenu1()->popup(m_list->viewport()->mapToGlobal(position));
}

// ---- layout ----------------------------------------------------------------

void MainWindow::BuildLayout()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(BuildTopBand());

    m_list = new TQorListView(central);
    m_list->setObjectName(u"QorListView1"_s);
    m_list->Items().SetColumns(ContactListCaptions(), ContactListWidths());
    const QList<QIcon> icons = ContactRowIcons();
    m_list->Items().SetImages(icons);
    setWindowIcon(ApplicationIcon());
    m_list->installEventFilter(this);
    m_list->OnCustomFind = [this](const TListItem &item, const QString &text, bool &handled) {
        handled = true;
        const auto *record = static_cast<const TContactData *>(item.Data);
        // Decided once per text, as the filtered find decides it for the whole book.
        if (text != m_rowFindText) {
            m_rowFindText = text;
            m_rowFindWords = WordsToFindApart(m_contacts1, text);
        }
        if (m_rowFindWords.isEmpty())
            return m_contacts1.FindTextInContactData(record, text, qtAll);
        return std::all_of(m_rowFindWords.cbegin(), m_rowFindWords.cend(), [&](const QString &word) {
            return m_contacts1.FindTextInContactData(record, word, qtAll);
        });
    };
    connect(m_list, &TQorListView::ItemClicked, m_list, &TQorListView::FindRefresh);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this] {
        m_userSorted = true;
        ForgetBookRows(); // their order is no longer a rebuild's
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { QorListView1DblClick(); });
    layout->addWidget(m_list, 1);
    m_stateHint = new BookStateHint(*m_list->viewport(), [this] {
        m_commands->AddContactSpeedButtonClick();
        m_menu->UpdateUndoActions();
    });
    m_list->viewport()->installEventFilter(this);

    m_progress = new QProgressBar(central);
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(6);
    layout->addWidget(m_progress);
    m_workProgress = new WorkProgress(*m_progress, this);
    layout->addWidget(BuildBottomBand());
    setCentralWidget(central);
    resize(1292, 587);
}

QWidget *MainWindow::BuildTopBand()
{
    auto *band = new QWidget(this);
    // The groups wrap onto further rows in a narrow window.
    auto *row = new FlowLayout(band);

    auto *account = new QVBoxLayout;
    account->addWidget(Caption(band, u"User Account :"_s));
    m_accountBox = new QComboBox(band);
    m_accountBox->setObjectName(u"WindowsUserAccountComboBox"_s);
    m_accountBox->setMinimumWidth(180);
    connect(m_accountBox, &QComboBox::activated, this, [this] { WindowsUserAccountComboBoxClick(); });
    account->addWidget(m_accountBox);
    row->addWidget(Group(band, account));

    m_refreshButton = CommandButton(band, u"RefreshButton"_s, u"Refresh"_s, QStyle::SP_BrowserReload);
    QPushButton *importButton = CommandButton(band, u"ImportButton"_s, u"Import"_s, QStyle::SP_DialogOpenButton);
    m_exportButton = CommandButton(band, u"ExportButton"_s, u"Export"_s, QStyle::SP_DialogSaveButton);
    QPushButton *syncButton = CommandButton(band, u"SyncButton"_s, u"Sync"_s, QStyle::SP_DriveNetIcon);
    QPushButton *cleanButton = CommandButton(band, u"CleanButton"_s, u"Clean"_s, QStyle::SP_DialogResetButton);
    m_exportButton->setEnabled(false);
    connect(m_refreshButton, &QPushButton::clicked, this, [this] { RefreshButtonClick(); });
    connect(cleanButton, &QPushButton::clicked, this, [this] {
        m_commands->CleanButtonClick();
        m_menu->UpdateUndoActions();
    });
    for (QPushButton *button : {m_refreshButton, importButton, m_exportButton, syncButton, cleanButton}) {
        row->addWidget(button);
        row->setAlignment(button, Qt::AlignBottom);
    }

    auto *find = new QVBoxLayout;
    auto *findRow = new QHBoxLayout;
    m_findEdit = new QLineEdit(band);
    m_findEdit->setObjectName(u"FindButtonedEdit"_s);
    m_findEdit->setPlaceholderText(u"Find a contact"_s);
    m_findEdit->setMinimumWidth(220);
    QAction *search = m_findEdit->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                            QLineEdit::TrailingPosition);
    connect(search, &QAction::triggered, this, [this] { FindButtonedEditRightButtonClick(); });
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] { FindButtonedEditRightButtonClick(); });
    findRow->addWidget(m_findEdit);
    m_clearFilterButton = SpeedButton(band, u"ClearFilterSpeedButton"_s, u"Clear Filter"_s, QStyle::SP_LineEditClearButton);
    connect(m_clearFilterButton, &QToolButton::clicked, this, [this] { ClearFilterSpeedButtonClick(); });
    findRow->addWidget(m_clearFilterButton);
    QToolButton *add = SpeedButton(band, u"AddContactSpeedButton"_s, u"Add Contact"_s, QStyle::SP_FileIcon);
    connect(add, &QToolButton::clicked, this, [this] {
        m_commands->AddContactSpeedButtonClick();
        m_menu->UpdateUndoActions();
    });
    findRow->addWidget(add);
    QToolButton *googleContacts =
        SpeedButton(band, u"GoogleContactsSpeedButton"_s, u"Google Contacts"_s, QStyle::SP_DirHomeIcon);
    connect(googleContacts, &QToolButton::clicked, this, [this] { m_commands->GoogleContactsSpeedButtonClick(); });
    findRow->addWidget(googleContacts);
    find->addLayout(findRow);
    m_countLabel = Caption(band, u"0 Contact(s)"_s);
    m_countLabel->setObjectName(u"ContactsCountLabel"_s);
    find->addWidget(m_countLabel);
    QWidget *findGroup = Group(band, find);
    findGroup->setMaximumWidth(420); // room to spare goes before the Google account
    row->addWidget(findGroup);

    auto *google = new QVBoxLayout;
    auto *googleCaption = new QHBoxLayout;
    googleCaption->addWidget(Caption(band, u"Google Account :"_s));
    googleCaption->addStretch();
    googleCaption->addWidget(SpeedButton(band, u"ManageGoogleAccountsSpeedButton"_s, u"Manage Google Accounts"_s,
                                         QStyle::SP_FileDialogDetailedView));
    google->addLayout(googleCaption);
    auto *googleAccounts = new QComboBox(band);
    googleAccounts->setObjectName(u"GoogleAccountComboBox"_s);
    googleAccounts->setMinimumWidth(220);
    google->addWidget(googleAccounts);
    QWidget *googleGroup = Group(band, google);
    row->addWidget(googleGroup);
    row->setAlignment(googleGroup, Qt::AlignRight);
    return band;
}

QWidget *MainWindow::BuildBottomBand()
{
    auto *band = new QWidget(this);
    auto *row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    QToolButton *options = SpeedButton(band, u"OptionsSpeedButton"_s, u"Options"_s, QStyle::SP_FileDialogListView);
    connect(options, &QToolButton::clicked, this, [this] { m_optionsCommand->OptionsSpeedButtonClick(); });
    row->addWidget(options);
    row->addWidget(
        SpeedButton(band, u"CheckForUpdatesSpeedButton"_s, u"Check for Updates"_s, QStyle::SP_BrowserReload));
    row->addWidget(SpeedButton(band, u"AboutSpeedButton"_s, u"About"_s, QStyle::SP_MessageBoxInformation));
    row->addStretch();
    m_applyButton = CommandButton(band, u"ApplyButton"_s, u"Apply"_s, QStyle::SP_DialogApplyButton);
    m_applyButton->setEnabled(false);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { ApplyButtonClick(); });
    m_saveAs = new SaveAsCommand(*band, m_session, m_env.Prompts,
                                 [this] { return BookPath(m_session.LoadedWindowsUserAccount()); });
    m_saveAs->Saved = [this] { ShowModified(); };
    row->addWidget(m_saveAs->Button());
    QPushButton *exitButton = CommandButton(band, u"ExitButton"_s, u"Exit"_s, QStyle::SP_DialogCloseButton);
    connect(exitButton, &QPushButton::clicked, this, [this] { ExitButtonClick(); });
    row->addWidget(m_applyButton);
    row->addWidget(exitButton);
    return band;
}

void MainWindow::BuildTray()
{
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(u"Cardolin"_s);
    auto *menu = new QMenu(this);
    QAction *open = menu->addAction(u"Open Cardolin"_s, this, [this] { OpenCardolinClick(); });
    open->setObjectName(u"OpenCardolin"_s);
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold); // the default item
    menu->addSeparator();
    menu->addAction(u"Exit"_s, this, [this] { ExitButtonClick(); })->setObjectName(u"Exit1"_s);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
            OpenCardolinClick();
    });
}

// ---- start-up --------------------------------------------------------------

void MainWindow::FormCreate()
{
    TQorRegistryEnhanced &registry = m_env.Registry;
    m_migration = MigrateVersionSettings(registry, ProgramVersionText(),
                                         QFileInfo(platform::ExecutableFilePath()).absolutePath());
    m_defFilesPath = ReadDefFilesPath(registry);
    RestorePlacement();
    FillAccounts();
    m_sync->FillGoogleAccounts();
    ApplyFonts();
    m_errorList.clear();
    StartDebugLog();
}

void MainWindow::RestorePlacement()
{
    const TFormRestore restore = m_env.Registry.GetFormInfo(kFormInfo, false);
    if (!restore.Info)
        return;
    const TFormInfo &info = *restore.Info;
    // The stored rectangle is the window's inside, as StorePlacement reads it;
    // placing it with move() would put the frame there and shift the window
    // down by its title bar at every start.
    if (info.Width > 0 && info.Height > 0)
        setGeometry(info.Left, info.Top, info.Width, info.Height);
    if (info.WindowState == wsMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::FillAccounts()
{
    m_accountBox->clear();
    m_accountBox->addItems(m_env.Accounts.Accounts());
    SelectAccount(m_env.Accounts.CurrentAccount());
}

void MainWindow::ApplyFonts()
{
    // The desktop's own font serves as both the interface and the notes font.
    const QFont font = QApplication::font();
    const TFontSpec desktopFont{font.family(), font.pointSize() > 0 ? font.pointSize() : 9, u"InfoText"_s};
    m_contacts1.SetFont(desktopFont);
    m_contacts1.SetFontNotes(desktopFont);
}

void MainWindow::StartDebugLog()
{
    const QString fileName = DebugLogFileName(m_env.Registry, platform::ExecutableFileName());
    m_log.SetEnabled(!fileName.isEmpty());
    if (!fileName.isEmpty())
        m_log.SetFileName(fileName);
}

void MainWindow::ActivateOptions()
{
    const TQorRegistryEnhanced &registry = m_env.Registry;
    const auto on = [&](SettingId id) { return ReadBoolSetting(registry, id); };
    m_options.HandleDoubleClicksAsPropertiesDisplay = on(SettingId::HandleDoubleClicksAsPropertiesDisplay);
    m_options.SortAlphabetically = on(SettingId::SortAlphabetically);
    m_options.DisplayFindResultsFiltered = on(SettingId::DisplayFindResultsFiltered);
    m_options.RememberColumnsSize = on(SettingId::RememberColumnsSize);
    m_options.IconizeToTray = on(SettingId::IconizeToTray);

    m_clearFilterButton->setEnabled(m_options.DisplayFindResultsFiltered);
    if (m_options.RememberColumnsSize)
        m_list->SetColumnWidths(m_env.Registry.GetListViewInfo(kListViewInfo, ContactListWidths()));
    else
        m_env.Registry.DeleteKey(u"ListViewInfo"_s);
    ApplyStoredOptions(registry, m_contacts1);
    ApplyStoredOptions(registry, m_contacts2);
    ApplyStoredVocabularies(registry, m_defFilesPath, m_contacts1);
}

void MainWindow::FirstLoad(const QStringList &arguments)
{
    if (arguments.isEmpty()) {
        RefreshButtonClick();
        return;
    }
    // A vCard file opened with the program goes into the current book, as if dropped.
    if (const QString path = arguments.join(u' '); path.endsWith(u".vcf"_s, Qt::CaseInsensitive)) {
        RefreshButtonClick();
        m_importExport->QorFileDrag1Drop({path});
        return;
    }
    // Only a book path names an account; its folder is not used, the account's
    // book is loaded from where the options place it.
    const QString account = AccountOfBookArguments(arguments, m_env.Accounts);
    if (account.isEmpty())
        return;
    SelectAccount(account);
    RefreshButtonClick();
}

// ---- shared state ----------------------------------------------------------

void MainWindow::SetModified(bool value)
{
    ForgetBookRows();
    m_searchIndex.Clear();
    m_session.SetModified(value);
    ShowModified();
}

void MainWindow::ShowModified()
{
    m_applyButton->setEnabled(m_session.Modified() && !m_session.ReadOnly());
    m_saveAs->Update();
    setWindowModified(m_session.Modified());
}

void MainWindow::UpdateStatus()
{
    const int rows = m_list->Items().Count();
    QString status = QString::number(rows) + u" contact(s)"_s;
    if (m_filteredView)
        status += u" - Filtered View"_s;
    m_countLabel->setText(status);
    m_exportButton->setEnabled(rows > 0);
    m_stateHint->Show({m_contacts1.ContactDataList().empty(), m_session.Trouble(), m_session.TroubleReason(),
                       BookPath(m_session.LoadedWindowsUserAccount())});
}

void MainWindow::ShowErrorReport(const QString &suffix)
{
    if (m_errorList.isEmpty())
        return;
    m_errorReport->SetReport(m_errorList, suffix);
    ExecDialog(*m_errorReport);
}

QString MainWindow::BookPath(const QString &account) const
{
    // The options as they are now, which may differ from those at loading.
    const TContactsBookLocator locator(m_env.Accounts, ReadStorageSettings(m_env.Registry));
    return locator.GetWindowsContactsBookFileName(account, stInherited);
}

QString MainWindow::SelectedAccount() const
{
    return m_accountBox->currentIndex() < 0 ? QString() : m_accountBox->currentText();
}

void MainWindow::SelectAccount(const QString &account)
{
    m_accountBox->setCurrentIndex(m_accountBox->findText(account, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

// ---- the list --------------------------------------------------------------

MainWindow::TRowsSort MainWindow::RebuildSort(bool sort) const
{
    if (m_userSorted)
        return m_list->LastSortIndex() >= 0 ? TRowsSort{m_list->LastSortIndex(), m_list->LastSortAscending()}
                                            : TRowsSort{};
    return sort ? TRowsSort{0, true} : TRowsSort{};
}

std::vector<TListItem> MainWindow::RebuildList(const std::vector<TContactData *> &records, bool sort)
{
    BusyCursor busy(m_env.Prompts);
    const bool linkGender = ReadBoolSetting(m_env.Registry, SettingId::LinkGenderToTitle);
    const TRowColors colors = RowColorsFromPalette();
    std::vector<TListItem> items(records.size());
    // Rows are built on both cores; each record belongs to one half only.
    constexpr size_t kMinimumForThread = 2000;
    ForTwoHalves(records.size(), kMinimumForThread, [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i)
            BuildListItem(items[i], records[i], m_contacts1, linkGender, colors);
    });
    m_list->setUpdatesEnabled(false);
    std::vector<TListItem> previous = m_list->Items().Replace(std::move(items));
    if (m_userSorted)
        m_list->SortAsIs();
    else if (sort)
        SortContacts();
    m_list->setUpdatesEnabled(true);
    return previous;
}

void MainWindow::ForgetBookRows()
{
    m_bookRowsShown = false;
    m_bookRowsKept = false;
    m_bookRows.Items = {};
}

// Clearing a filter over an unchanged book shows what a rebuild would show:
// the same records, built alike, in the same order.
bool MainWindow::RestoreBookRows()
{
    const bool unchanged = m_bookRowsKept && m_bookRows.Sort == RebuildSort(m_options.SortAlphabetically)
                           && m_bookRows.LinkGender == ReadBoolSetting(m_env.Registry, SettingId::LinkGenderToTitle)
                           && m_bookRows.Colors == RowColorsFromPalette();
    if (!unchanged)
        return false;
    m_list->setUpdatesEnabled(false);
    m_list->Items().Replace(std::move(m_bookRows.Items));
    m_list->setUpdatesEnabled(true);
    m_bookRows.Items = {};
    m_bookRowsKept = false;
    m_bookRowsShown = true;
    m_filteredView = false;
    return true;
}

QString MainWindow::SelectedAccountBookFolder() const
{
    const QString account = SelectedAccount();
    return account.isEmpty() ? QString() : QFileInfo(BookPath(account)).absolutePath();
}

void MainWindow::RebuildFromBook(bool sort)
{
    ForgetBookRows();
    m_searchIndex.Clear();
    std::vector<TContactData *> records;
    records.reserve(m_contacts1.ContactDataList().size());
    for (const auto &contact : m_contacts1.ContactDataList())
        records.push_back(contact.get());
    const TRowsSort order = RebuildSort(sort);
    RebuildList(records, sort);
    // After the rows, whose building may set a record's gender.
    if (m_options.DisplayFindResultsFiltered)
        m_searchIndex.Build(records, m_contacts1);
    m_bookRows.Sort = order;
    m_bookRows.LinkGender = ReadBoolSetting(m_env.Registry, SettingId::LinkGenderToTitle);
    m_bookRows.Colors = RowColorsFromPalette();
    m_bookRowsShown = true;
    m_filteredView = false;
}

void MainWindow::SortContacts()
{
    m_list->Sort(0, true);
}

void MainWindow::SortIfAsked()
{
    // A column the user chose to sort by wins over the alphabetical option.
    if (m_userSorted)
        m_list->SortAsIs();
    else if (m_options.SortAlphabetically)
        SortContacts();
}

std::vector<TContactData *> MainWindow::ListedContacts() const
{
    std::vector<TContactData *> records;
    records.reserve(size_t(m_list->Items().Count()));
    for (int row = 0; row < m_list->Items().Count(); ++row)
        records.push_back(static_cast<TContactData *>(m_list->Items().Item(row).Data));
    return records;
}

std::vector<TContactData *> MainWindow::SelectedContacts() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<TContactData *> records;
    records.reserve(size_t(rows.size()));
    for (const int row : rows)
        records.push_back(static_cast<TContactData *>(m_list->Items().Item(row).Data));
    return records;
}

void MainWindow::ClearSelection()
{
    m_list->clearSelection();
}

void MainWindow::SyncRows(const std::vector<TContactData *> &records, bool resort)
{
    ForgetBookRows();
    m_searchIndex.Clear();
    std::unordered_set<const TContactData *> inBook;
    inBook.reserve(m_contacts1.ContactDataList().size());
    for (const auto &record : m_contacts1.ContactDataList())
        inBook.insert(record.get());
    QHash<const void *, int> rowOf;
    for (int row = 0; row < m_list->Items().Count(); ++row)
        rowOf.insert(m_list->Items().Item(row).Data, row);

    const bool linkGender = ReadBoolSetting(m_env.Registry, SettingId::LinkGenderToTitle);
    const TRowColors colors = RowColorsFromPalette();
    QList<int> gone;
    std::vector<TContactData *> returned;
    m_list->setUpdatesEnabled(false);
    for (TContactData *record : records) {
        const int row = rowOf.value(record, -1);
        if (!inBook.contains(record)) {
            if (row >= 0)
                gone.append(row);
        } else if (row >= 0) {
            TListItem item = m_list->Items().Item(row);
            BuildListItem(item, record, m_contacts1, linkGender, colors);
            m_list->Items().SetItem(row, std::move(item));
        } else {
            returned.push_back(record);
        }
    }
    m_list->Items().RemoveItems(gone);
    for (TContactData *record : returned) {
        TListItem item;
        BuildListItem(item, record, m_contacts1, linkGender, colors);
        m_list->Items().AddItem(std::move(item));
    }
    if (resort)
        SortIfAsked();
    m_list->setUpdatesEnabled(true);
}

void MainWindow::OfferBackup()
{
    const QString backup = m_session.BackupOfUnreadableBook();
    if (backup.isEmpty())
        return;
    const QString saved = QLocale().toString(QFileInfo(backup).lastModified(), QLocale::ShortFormat);
    const QString aside = QFileInfo(BookAsideName(BookPath(m_session.LoadedWindowsUserAccount()))).fileName();
    if (m_env.Prompts.AskYesNo(tr("The contacts book could not be read. Do you want to open its backup copy, saved "
                                  "on %1?\n\nThe unreadable book is kept aside as \"%2\" when you apply.")
                                   .arg(saved, aside))) {
        BusyCursor busy(m_env.Prompts);
        m_session.OpenBackup();
    }
}

void MainWindow::ShowLoadedBook()
{
    // The book's account first, marked while it has unsaved changes; the
    // desktop adds the program's name.
    setWindowTitle(m_session.LoadedWindowsUserAccount() + u"[*]"_s);
    OfferBackup();
    m_menu->UpdateUndoActions();
    // A load follows the stored option, which may be newer than the window's.
    RebuildFromBook(ReadBoolSetting(m_env.Registry, SettingId::SortAlphabetically));
    ShowModified();
    UpdateStatus();
}

// ---- book commands ---------------------------------------------------------

void MainWindow::RefreshButtonClick()
{
    const QString account = SelectedAccount();
    if (account.isEmpty())
        return; // no account: nothing to load, nothing Apply could save to
    {
        BusyCursor busy(m_env.Prompts);
        // Still modified after a refused refresh means the user's save failed:
        // the changes stay on screen.
        if (!m_session.Refresh(account) && m_session.Modified())
            return;
    }
    m_commands->BookChanged();
    ShowLoadedBook();
}

void MainWindow::ApplyButtonClick()
{
    {
        BusyCursor busy(m_env.Prompts);
        if (m_session.Save())
            m_commands->History().Clear();
    }
    m_menu->UpdateUndoActions();
    ShowModified();
}

void MainWindow::WindowsUserAccountComboBoxClick()
{
    const QString account = SelectedAccount();
    if (account.isEmpty() || account == m_session.LoadedWindowsUserAccount())
        return;
    bool switched = false;
    {
        BusyCursor busy(m_env.Prompts);
        switched = m_session.SwitchAccount(account) || m_session.LoadedWindowsUserAccount() == account;
    }
    if (!switched) {
        SelectAccount(m_session.LoadedWindowsUserAccount());
        return;
    }
    m_findEdit->clear();
    m_commands->BookChanged();
    m_commands->AccountSwitched();
    m_dialogMemory = {};
    ShowLoadedBook();
}

// ---- find ------------------------------------------------------------------

void MainWindow::FindButtonedEditRightButtonClick()
{
    const QString text = m_findEdit->text();
    if (!m_options.DisplayFindResultsFiltered) {
        m_rowFindText.clear(); // the book may have changed since the last find
        if (!text.isEmpty())
            m_list->FindText(text);
        return;
    }
    if (text.isEmpty()) {
        if (!RestoreBookRows())
            RebuildFromBook(m_options.SortAlphabetically);
    } else {
        BusyCursor busy(m_env.Prompts);
        std::optional<std::vector<TContactData *>> found;
        if (m_searchIndex.IsBuiltFor(m_contacts1))
            found = m_searchIndex.Query(text);
        if (found)
            m_contacts1.QueryResultsContactDataList() = std::move(*found);
        else
            m_contacts1.QueryContactDataList(text, qtAll, dtInherited);
        std::vector<TListItem> previous =
            RebuildList(m_contacts1.QueryResultsContactDataList(), m_options.SortAlphabetically);
        if (m_bookRowsShown) {
            m_bookRows.Items = std::move(previous);
            m_bookRowsShown = false;
            m_bookRowsKept = true;
        }
        m_filteredView = true;
    }
    UpdateStatus();
}

void MainWindow::ClearFilterSpeedButtonClick()
{
    m_findEdit->clear();
    FindButtonedEditRightButtonClick();
}

// ---- rows ------------------------------------------------------------------

void MainWindow::QorListView1DblClick()
{
    if (m_options.HandleDoubleClicksAsPropertiesDisplay)
        m_commands->Properties1Click();
    else
        m_commands->Add1Click();
    m_menu->UpdateUndoActions();
}

void MainWindow::Delete1Click()
{
    m_commands->Delete1Click();
    m_menu->UpdateUndoActions();
}

bool MainWindow::ListKeyPressed(QKeyEvent *event)
{
    if (m_list->Items().Count() == 0)
        return false;
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_F3 && modifiers == Qt::NoModifier) {
        if (!m_options.DisplayFindResultsFiltered)
            m_list->FindNext();
        return true;
    }
    if (key == Qt::Key_F && modifiers == Qt::ControlModifier) {
        FindButtonedEditRightButtonClick();
        return true;
    }
    if (key == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        Delete1Click();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        QorListView1DblClick();
        return true;
    }
    return false;
}

bool MainWindow::MenuKeyPressed(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!(event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)))
        return false;
    // Under the current row, or at the top when there is none.
    const QModelIndex current = m_list->currentIndex();
    const QRect row = current.isValid() ? m_list->visualRect(current) : QRect();
    PopupMenu1Show(row.isValid() ? row.bottomLeft() : QPoint(0, 0));
    return true;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        (MenuKeyPressed(static_cast<QKeyEvent *>(event)) || ListKeyPressed(static_cast<QKeyEvent *>(event))))
        return true;
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        m_stateHint->Place();
    return QMainWindow::eventFilter(watched, event);
}

// ---- tray and stopping -----------------------------------------------------

void MainWindow::HideToTray()
{
    m_tray->show();
    hide();
}

bool MainWindow::TrayIconVisible() const
{
    return m_tray->isVisible();
}

void MainWindow::OpenCardolinClick()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    m_tray->hide();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Read from the store at this moment, as the option may just have changed.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && TrayAvailable() &&
        ReadBoolSetting(m_env.Registry, SettingId::IconizeToTray))
        HideToTray();
}

void MainWindow::ExitButtonClick()
{
    m_closingFromExit = true;
    close();
    m_closingFromExit = false;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Without a notification area the hidden window could only come back
    // through a second start, so the close goes ahead instead.
    if (m_options.IconizeToTray && !m_closingFromExit && TrayAvailable()) {
        event->ignore();
        HideToTray();
        return;
    }
    // A Yes whose save failed keeps the window open, so the changes are not
    // lost with it.
    if (!m_session.AskToSave()) {
        ShowModified();
        event->ignore();
        return;
    }
    StoreColumns();
    StorePlacement();
    m_tray->hide();
    event->accept();
    Q_EMIT Closed();
}

void MainWindow::StoreColumns()
{
    if (m_options.RememberColumnsSize)
        m_env.Registry.SetListViewInfo(kListViewInfo, m_list->ColumnWidths());
    else
        m_env.Registry.DeleteKey(u"ListViewInfo"_s);
}

void MainWindow::StorePlacement()
{
    // A minimised window has no placement worth coming back to.
    if (isMinimized())
        return;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    const TFormInfo info{normal.height(), normal.x(), normal.y(), normal.width(),
                         isMaximized() ? wsMaximized : wsNormal};
    m_env.Registry.SetFormInfo(kFormInfo, info);
}

} // namespace cardolin::app
