#include "app/ErrorReportDialog.h"
#include "app/SaveAsCommand.h"
#include "fakes/Files.h"
#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QScrollBar>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace cardolin;
using cardolin::testing::MainWindowFixture;
using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

const QString kSaveQuestion = "Do you want to save the current contacts book?";

QString Status(const MainWindowFixture &f)
{
    return f.Child<QLabel>("ContactsCountLabel")->text();
}

struct StartupCase
{
    const char *name;
    QStringList arguments;
    const char *account; // selected afterwards
    const char *status;
};

class StartupTest : public MainWindowFixture, public ::testing::WithParamInterface<StartupCase>
{
};

TEST_P(StartupTest, LoadsTheAccountABookPathNames)
{
    WriteBook("ann", {"Ann1", "Ann2"});
    WriteBook("bob", {"Bob1", "Bob2", "Bob3"});
    Start(GetParam().arguments);
    EXPECT_EQ(Child<QComboBox>("WindowsUserAccountComboBox")->currentText(), GetParam().account);
    EXPECT_EQ(Status(*this), GetParam().status);
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StartupTest,
    ::testing::Values(StartupCase{"NoArgumentsLoadsTheCurrentAccount", {}, "ann", "2 contact(s)"},
                      // The folder of the path does not matter, only the account it names.
                      StartupCase{"UpperCaseBookName", {"/media/usb/BOB.QCB"}, "bob", "3 contact(s)"},
                      StartupCase{"PathSplitAtBlanks", {"/media/my", "old", "books/bob.qcb"}, "bob", "3 contact(s)"},
                      StartupCase{"NotABook", {"notes.txt"}, "ann", "0 Contact(s)"},
                      StartupCase{"UnknownAccount", {"/tmp/zed.qcb"}, "ann", "0 Contact(s)"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainWindowFixture, TheFirstStartRecordsTheVersionAndUsesTheDefaults)
{
    Start();
    EXPECT_TRUE(window->VersionMigration().Migrated);
    EXPECT_FALSE(ReadTextSetting(registry, SettingId::Version).isEmpty());
    EXPECT_TRUE(window->DefFilesPath().endsWith("Velmora/Cardolin/"));
    EXPECT_EQ(window->windowTitle(), "ann[*]"); // the book, marked while it has unsaved changes
    EXPECT_EQ(Status(*this), "0 contact(s)"); // ann has no book yet
    EXPECT_FALSE(Child<QPushButton>("ExportButton")->isEnabled());
    EXPECT_FALSE(window->QorLogFile1().Enabled());
    EXPECT_EQ(List()->Items().ColumnCaptions().size(), 13);
}

TEST_F(MainWindowFixture, DeletingRowsThenApplySavesWithABackup)
{
    WriteBook("ann", {"Carol", "Alice", "Bob"});
    const QByteArray original = ReadAll(Book("ann"));
    Start();
    // Sorted by display name after the load.
    EXPECT_EQ(Column(0), (QStringList{"Alice", "Bob", "Carol"}));

    List()->setFocus();
    SelectRow(1);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Column(0), (QStringList{"Alice", "Carol"}));
    EXPECT_EQ(Status(*this), "2 contact(s)");
    ASSERT_TRUE(Child<QPushButton>("ApplyButton")->isEnabled());

    QTest::mouseClick(Child<QPushButton>("ApplyButton"), Qt::LeftButton);
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
    EXPECT_EQ(ReadAll(dir.filePath("home/ann/Contacts/ann.~cb")), original);
    TQorContacts saved;
    EXPECT_EQ(saved.LoadFromXMLFile(Book("ann")), 2);
    EXPECT_TRUE(prompts.questions.isEmpty());
}

TEST_F(MainWindowFixture, ApplyAsksBeforeReplacingABookChangedOnDisk)
{
    WriteBook("ann", {"Alice", "Bob"});
    Start();
    List()->setFocus();
    SelectRow(1);
    QTest::keyClick(List(), Qt::Key_Delete);
    WriteBook("ann", {"Theirs"});
    const QByteArray theirs = ReadAll(Book("ann"));

    QTest::mouseClick(Child<QPushButton>("ApplyButton"), Qt::LeftButton); // No
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains("was changed or removed by another program"))
        << prompts.questions[0].toStdString();
    EXPECT_TRUE(Child<QPushButton>("ApplyButton")->isEnabled());
    EXPECT_EQ(ReadAll(Book("ann")), theirs);

    prompts.answerYes = true;
    QTest::mouseClick(Child<QPushButton>("ApplyButton"), Qt::LeftButton);
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
    TQorContacts saved;
    EXPECT_EQ(saved.LoadFromXMLFile(Book("ann")), 1);
}

TEST_F(MainWindowFixture, ABookWhoseLockCannotBeMadeOpensReadOnlyAndOffersSaveAs)
{
    WriteBook("ann", {"Alice", "Bob"});
    const QByteArray original = ReadAll(Book("ann"));
    ASSERT_TRUE(QDir().mkdir(Book("ann") + ".lock"));
    Start();
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("cannot be locked against other programs"))
        << prompts.warnings[0].toStdString();
    EXPECT_TRUE(prompts.warnings[0].contains("read-only")) << prompts.warnings[0].toStdString();
    EXPECT_EQ(Column(0), (QStringList{"Alice", "Bob"}));

    List()->setFocus();
    SelectRow(1);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_FALSE(Child<QPushButton>("ApplyButton")->isEnabled());
    QPushButton *saveAs = Child<QPushButton>("SaveAsButton");
    ASSERT_TRUE(saveAs->isVisibleTo(window.get()));

    const QString copy = dir.filePath("home/ann/Contacts/ann (copy).qcb");
    QString offered;
    window->SaveAs().AskFileName = [&](const QString &start) {
        offered = start;
        return start;
    };
    QTest::mouseClick(saveAs, Qt::LeftButton);
    EXPECT_EQ(offered, copy);
    TQorContacts saved;
    EXPECT_EQ(saved.LoadFromXMLFile(copy), 1);
    EXPECT_EQ(ReadAll(Book("ann")), original);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();

    // Once the lock can be made, Refresh ends the read-only state.
    ASSERT_TRUE(QDir().rmdir(Book("ann") + ".lock"));
    QTest::mouseClick(Child<QPushButton>("RefreshButton"), Qt::LeftButton);
    EXPECT_FALSE(saveAs->isVisibleTo(window.get()));
}

TEST_F(MainWindowFixture, RefreshAndSwitchingAskBeforeChangesAreLost)
{
    WriteBook("ann", {"Alice", "Bob"});
    WriteBook("bob", {"Zed"});
    Start();
    SelectRow(0);
    window->Delete1Click();

    // No: the book on disk stays, the list shows it again.
    prompts.answerYes = false;
    QTest::mouseClick(Child<QPushButton>("RefreshButton"), Qt::LeftButton);
    EXPECT_EQ(prompts.questions, QStringList{kSaveQuestion});
    EXPECT_EQ(Rows(), 2);

    // Yes while switching: ann's book is saved before bob's is shown.
    window->Delete1Click(); // nothing selected after the reload: nothing happens
    EXPECT_FALSE(window->Modified());
    SelectRow(0);
    window->Delete1Click();
    prompts.answerYes = true;
    auto *accounts = Child<QComboBox>("WindowsUserAccountComboBox");
    accounts->setCurrentIndex(accounts->findText("bob"));
    window->WindowsUserAccountComboBoxClick();
    EXPECT_EQ(prompts.questions.size(), 2);
    EXPECT_EQ(Column(0), QStringList{"Zed"});
    TQorContacts saved;
    EXPECT_EQ(saved.LoadFromXMLFile(Book("ann")), 1);
}

TEST_F(MainWindowFixture, AnUnreadableBookShowsNothingAndIsNeverOverwritten)
{
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    QFile::copy(CARDOLIN_FIXTURES "/cli/malformed.qcb", Book("ann"));
    const QByteArray unreadable = ReadAll(Book("ann"));
    Start();
    EXPECT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(Rows(), 0);
    // The list's place says so, and invites no contacts that could not be kept.
    EXPECT_FALSE(Child<QWidget>("EmptyBookHint")->isHidden());
    EXPECT_EQ(Child<QLabel>("BookStateTitle")->text(), "The contacts book is damaged");
    EXPECT_TRUE(Child<QLabel>("BookStateDetail")->text().contains(Book("ann")));
    EXPECT_TRUE(Child<QPushButton>("EmptyBookAddButton")->isHidden());

    window->SetModified(true);
    window->ApplyButtonClick();
    EXPECT_EQ(prompts.errors.size(), 2);
    EXPECT_EQ(ReadAll(Book("ann")), unreadable);
}

TEST_F(MainWindowFixture, TheListSaysWhetherTheBookIsEmptyOrCannotBeRead)
{
    Start();
    EXPECT_FALSE(Child<QWidget>("EmptyBookHint")->isHidden());
    EXPECT_EQ(Child<QLabel>("BookStateTitle")->text(), "No contacts yet");
    EXPECT_FALSE(Child<QPushButton>("EmptyBookAddButton")->isHidden());

    ASSERT_TRUE(QDir().mkpath(Book("ann"))); // a folder where the book should be
    window->RefreshButtonClick();
    EXPECT_EQ(Child<QLabel>("BookStateTitle")->text(), "The contacts book cannot be read");
    EXPECT_TRUE(Child<QLabel>("BookStateDetail")->text().contains("It is a folder, not a file."));
    EXPECT_TRUE(Child<QPushButton>("EmptyBookAddButton")->isHidden());

    QDir().rmdir(Book("ann"));
    WriteBook("ann", {"Alice"});
    window->RefreshButtonClick();
    EXPECT_TRUE(Child<QWidget>("EmptyBookHint")->isHidden());
}

// A book cut short, say by a full disk, with a good backup beside it.
TEST_F(MainWindowFixture, TheBackupOfAnUnreadableBookIsOfferedAndTheBookKeptAside)
{
    WriteBook("ann", {"Alice", "Bob"});
    QFile::copy(Book("ann"), dir.filePath("home/ann/Contacts/ann.~cb"));
    const QByteArray cut = ReadAll(Book("ann")).left(300);
    ASSERT_TRUE(WriteAll(Book("ann"), cut));

    prompts.answerYes = false;
    Start();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(Rows(), 0);

    prompts.answerYes = true;
    window->RefreshButtonClick();
    EXPECT_EQ(Column(0), (QStringList{"Alice", "Bob"}));
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(ReadAll(Book("ann")), cut); // untouched until Apply

    window->ApplyButtonClick();
    EXPECT_EQ(ReadAll(Book("ann") + ".bad"), cut);
    TQorContacts saved;
    EXPECT_EQ(saved.LoadFromXMLFile(Book("ann")), 2);
    EXPECT_EQ(saved.LoadFromXMLFile(dir.filePath("home/ann/Contacts/ann.~cb")), 2);
    EXPECT_FALSE(window->Modified());
}

// The bar shows long work while it runs and is empty again once the window
// is idle: after loading and after Apply alike.
TEST_F(MainWindowFixture, TheProgressBarEmptiesWhenTheWorkEnds)
{
    WriteBook("ann", {"Alice", "Bob"});
    Start();
    auto *bar = Child<QProgressBar>("ProgressBar1");
    const auto idle = [bar] { return bar->value() < bar->minimum(); };
    EXPECT_TRUE(QTest::qWaitFor(idle, 2000)) << bar->value() << " of " << bar->maximum();

    window->SetModified(true);
    window->ApplyButtonClick();
    EXPECT_GE(bar->value(), bar->minimum()); // shown while the save runs
    EXPECT_TRUE(QTest::qWaitFor(idle, 2000)) << bar->value() << " of " << bar->maximum();

    // Work on one contact reports an empty range, which Qt would animate as busy.
    window->QorContacts1().ReportProgress(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor(idle, 2000));
    EXPECT_LT(bar->minimum(), bar->maximum());
}

TEST_F(MainWindowFixture, FilteredFindShowsTheMatchesAndClearingBringsTheBookBack)
{
    WriteBook("ann", {"Ann", "Bea", "Cid", "Dan", "Eve", "Fay", "Gus", "Hal", "Ivy", "Jo"}, [](TContactData &c) {
        c.Company = (c.FirstName == "Bea" || c.FirstName == "Gus" || c.FirstName == "Jo") ? "Smithson Ltd" : "Acme";
    });
    Start();
    auto *find = Child<QLineEdit>("FindButtonedEdit");
    find->setText("smithson");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(Column(0), (QStringList{"Bea", "Gus", "Jo"}));
    EXPECT_EQ(Status(*this), "3 contact(s) - Filtered View");
    EXPECT_TRUE(window->FilteredView());

    find->setText("nobody");
    window->FindButtonedEditRightButtonClick();
    EXPECT_EQ(Status(*this), "0 contact(s) - Filtered View");
    EXPECT_FALSE(Child<QPushButton>("ExportButton")->isEnabled());

    window->ClearFilterSpeedButtonClick();
    EXPECT_EQ(find->text(), "");
    EXPECT_EQ(Status(*this), "10 contact(s)");
    EXPECT_FALSE(window->FilteredView());
    EXPECT_TRUE(Child<QPushButton>("ExportButton")->isEnabled());
}

// A name typed as the list shows it finds its contact, and so do its words in
// another order, in both kinds of find.
TEST_F(MainWindowFixture, FindTakesAWholeNameAsTheListShowsIt)
{
    WriteBook("ann", {"Olaf", "Fatima", "Brown0"}, [](TContactData &c) {
        if (c.FirstName == "Olaf")
            c.MiddleName = "Fatima", c.LastName = "Brown0";
    });
    for (const bool filtered : {true, false}) {
        SCOPED_TRACE(filtered ? "filtered" : "incremental");
        SetOption(SettingId::DisplayFindResultsFiltered, filtered);
        Start();
        for (const char *text : {"Olaf Fatima Brown0", "Brown0 Olaf"}) {
            SCOPED_TRACE(text);
            Child<QLineEdit>("FindButtonedEdit")->setText(text);
            window->FindButtonedEditRightButtonClick();
            const QStringList names = Column(0);
            if (filtered)
                EXPECT_EQ(names, QStringList{"Olaf Fatima Brown0"});
            else
                EXPECT_EQ(names.value(List()->currentIndex().row()), "Olaf Fatima Brown0");
        }
    }
}

// Clearing a filter may bring back the rows it hid instead of building them
// again; whatever happened meanwhile, it must show what a rebuild shows.
TEST_F(MainWindowFixture, ClearingAFilterShowsWhatARebuildShows)
{
    // Equal names keep their book order, so a wrong order of rows shows.
    WriteBook("ann", {"Ann", "Bob", "Ann", "Cid", "Ann", "Bob"}, [](TContactData &c) {
        static int n = 0;
        c.Company = QString("Co %1").arg(n++ % 4);
        c.Title = c.FirstName == "Bob" ? "Mr." : "";
    });
    const std::vector<std::pair<const char *, std::function<void()>>> meanwhile = {
        {"nothing", [] {}},
        {"a header click", [&] { List()->header()->sectionClicked(1); }},
        {"an edited contact", [&] {
             auto *record = static_cast<TContactData *>(List()->Items().Item(0).Data);
             record->Company = "Renamed";
             window->SyncRows({record}, true);
         }},
    };
    for (const auto &[what, step] : meanwhile) {
        SCOPED_TRACE(what);
        Start();
        Child<QLineEdit>("FindButtonedEdit")->setText("co");
        window->FindButtonedEditRightButtonClick();
        step();
        window->ClearFilterSpeedButtonClick();
        const auto rows = [&] {
            QList<QStringList> texts;
            for (int row = 0; row < Rows(); ++row)
                texts.append(List()->Items().Item(row).Texts + QStringList{QString::number(
                                                                   List()->Items().Item(row).ImageIndex)});
            return texts;
        };
        const QList<QStringList> shown = rows();
        window->RebuildFromBook(true);
        EXPECT_EQ(shown, rows());
        EXPECT_EQ(Rows(), 6);
    }
}

TEST_F(MainWindowFixture, IncrementalFindStepsWithF3AndSaysWhenItIsDone)
{
    SetOption(SettingId::DisplayFindResultsFiltered, false);
    WriteBook("ann", {"Ann", "Bea", "Cid", "Dan"}, [](TContactData &c) {
        if (c.FirstName == "Bea" || c.FirstName == "Dan")
            c.HomePhone = "555 0100";
    });
    Start();
    EXPECT_FALSE(Child<QWidget>("ClearFilterSpeedButton")->isEnabled());
    auto *find = Child<QLineEdit>("FindButtonedEdit");
    find->setText("555");
    QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier); // runs the find box's search
    EXPECT_EQ(Rows(), 4); // the list is not filtered
    EXPECT_EQ(List()->currentIndex().row(), 1);

    QTest::keyClick(List(), Qt::Key_F3);
    EXPECT_EQ(List()->currentIndex().row(), 3);
    QTest::keyClick(List(), Qt::Key_F3);
    EXPECT_EQ(List()->currentIndex().row(), 3);
    EXPECT_EQ(listMessages, QStringList{"Search Results: No more instances of \"555\" found."});

    find->setText("xyz");
    window->FindButtonedEditRightButtonClick();
    EXPECT_EQ(listMessages.last(), "Search Results: Search string \"xyz\" not found.");
    EXPECT_FALSE(window->FilteredView());
}

TEST_F(MainWindowFixture, KeysOnAnEmptyListDoNothing)
{
    SetOption(SettingId::DisplayFindResultsFiltered, false);
    Start();
    Child<QLineEdit>("FindButtonedEdit")->setText("x");
    for (const auto key : {Qt::Key_F3, Qt::Key_Delete, Qt::Key_Return})
        QTest::keyClick(List(), key);
    QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(listMessages.isEmpty());
    EXPECT_FALSE(window->Modified());
}

TEST_F(MainWindowFixture, HeaderClicksSortNumbersAndDatesByValue)
{
    WriteBook("ann", {"Ann", "Bea", "Cid"}, [](TContactData &c) {
        c.Priority = c.FirstName == "Ann" ? "10" : c.FirstName == "Bea" ? "9" : "100";
        c.LastVisit = DateToSerial(c.FirstName == "Ann"   ? QDate(2024, 3, 15)
                                   : c.FirstName == "Bea" ? QDate(2023, 12, 1)
                                                          : QDate(2024, 1, 31));
    });
    Start();
    QHeaderView *header = List()->header();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(10);
    EXPECT_EQ(Column(10), (QStringList{"9", "10", "100"}));
    clickHeader(10);
    EXPECT_EQ(Column(10), (QStringList{"100", "10", "9"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(12);
    EXPECT_EQ(Column(12), (QStringList{"2023-12-01", "2024-01-31", "2024-03-15"}));
    EXPECT_EQ(header->sortIndicatorSection(), 12);

    // The chosen order outlasts a find, clearing it and a refresh.
    const QStringList byLastVisit = {"Bea", "Cid", "Ann"};
    Child<QLineEdit>("FindButtonedEdit")->setText("n"); // a query that rebuilds the rows
    window->FindButtonedEditRightButtonClick();
    EXPECT_EQ(Column(0), byLastVisit);
    window->ClearFilterSpeedButtonClick();
    EXPECT_EQ(Column(0), byLastVisit);
    window->RefreshButtonClick();
    EXPECT_EQ(Column(0), byLastVisit);
}

TEST_F(MainWindowFixture, ClosingAsksToSaveAndKeepsTheWindowWhenTheSaveFails)
{
    WriteBook("ann", {"Ann", "Bea"});
    Start();
    SelectRow(0);
    window->Delete1Click();

    // The save fails (the book's folder became a file): the window stays.
    QDir(dir.filePath("home/ann/Contacts")).removeRecursively();
    QFile blocker(dir.filePath("home/ann/Contacts"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    prompts.answerYes = true;
    EXPECT_FALSE(window->close());
    // The book went with its folder, which Apply asks about before replacing it.
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_EQ(prompts.questions[0], kSaveQuestion);
    EXPECT_TRUE(prompts.questions[1].contains("was changed or removed")) << prompts.questions[1].toStdString();
    EXPECT_TRUE(window->Modified());

    prompts.answerYes = false;
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowFixture, ClosingWithTheTrayOptionHidesUntilExit)
{
    SetOption(SettingId::IconizeToTray, true);
    WriteBook("ann", {"Ann", "Bea"});
    Start();
    window->show();
    window->SetModified(true);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(window->TrayIconVisible());
    EXPECT_TRUE(prompts.questions.isEmpty());

    window->OpenCardolinClick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TrayIconVisible());

    bool closed = false;
    QObject::connect(window.get(), &app::MainWindow::Closed, [&] { closed = true; });
    window->ExitButtonClick();
    EXPECT_TRUE(closed);
    EXPECT_EQ(prompts.questions, QStringList{kSaveQuestion});
}

TEST_F(MainWindowFixture, WithoutANotificationAreaTheWindowNeverHides)
{
    SetOption(SettingId::IconizeToTray, true);
    trayAvailable = false;
    Start();
    window->show();
    window->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(window->isHidden());
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->TrayIconVisible());
}

TEST_F(MainWindowFixture, MinimisingWithTheTrayOptionHidesTheWindow)
{
    SetOption(SettingId::IconizeToTray, true);
    Start();
    window->show();
    window->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(window->TrayIconVisible());
    window->OpenCardolinClick();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->TrayIconVisible());
}

// Half of a 1600-pixel screen, or an 800 x 600 one: every control stays
// inside the window and the list's columns scroll.
TEST_F(MainWindowFixture, TheWindowIsUsableAt800By600)
{
    WriteBook("ann", {"Alice", "Bob"});
    Start();
    EXPECT_LE(window->minimumSizeHint().width(), 800);
    EXPECT_LE(window->minimumSizeHint().height(), 600);
    window->resize(800, 600);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->width(), 800);
    const QRect inside = window->centralWidget()->rect();
    for (QAbstractButton *button : window->centralWidget()->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(window.get()) || button->parentWidget() == List()->viewport())
            continue;
        const QRect at(button->mapTo(window->centralWidget(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(inside.contains(at)) << button->objectName().toStdString();
    }
    for (auto *box : window->centralWidget()->findChildren<QComboBox *>())
        EXPECT_TRUE(inside.contains(QRect(box->mapTo(window->centralWidget(), QPoint(0, 0)), box->size())))
            << box->objectName().toStdString();
    EXPECT_TRUE(List()->horizontalScrollBar()->isVisible()); // the columns are wider than the list
}

TEST_F(MainWindowFixture, PlacementAndColumnWidthsAreKeptBetweenRuns)
{
    SetOption(SettingId::RememberColumnsSize, true);
    Start();
    window->setGeometry(40, 50, 900, 500);
    List()->setColumnWidth(0, 321);
    ASSERT_TRUE(window->close());
    EXPECT_EQ(registry.GetListViewInfo("ListViewInfo\\Main Window", QList<int>(13, 0)).value(0), 321);

    Start();
    EXPECT_EQ(window->size(), QSize(900, 500));
    EXPECT_EQ(List()->columnWidth(0), 321);

    // Exiting while minimised leaves the stored placement alone.
    window->resize(700, 400);
    window->setWindowState(Qt::WindowMinimized);
    window->ExitButtonClick();
    ASSERT_TRUE(registry.GetFormInfo("FormInfo\\Main Window", false).Info);
    EXPECT_EQ(registry.GetFormInfo("FormInfo\\Main Window", false).Info->Width, 900);

    // Without the option the widths are forgotten.
    SetOption(SettingId::RememberColumnsSize, false);
    Start();
    EXPECT_FALSE(registry.KeyExists("ListViewInfo"));
    EXPECT_EQ(List()->columnWidth(0), 250);
}

TEST(ErrorReportDialogTest, ShowsEveryErrorAndTheirCount)
{
    app::ErrorReportDialog dialog;
    EXPECT_EQ(dialog.CountText(), "0 error");
    dialog.SetReport({"line 2: bad date", "line 5: no name", "line 9: too long"});
    EXPECT_EQ(dialog.CountText(), "3 error(s)");
    EXPECT_EQ(dialog.ReportText().split('\n').size(), 3);
    EXPECT_EQ(dialog.windowTitle(), "Error Report");
}

} // namespace
