// Times the main window over a large book: the first Refresh until the list is
// painted, a filtered find, clearing it, a header sort, scrolling, two Options
// changes that touch every row and a file dropped on the window for import,
// with the peak memory of the window's process.
//
//   bench_window [--count 100000]
//
// The book is generated first; the window runs in a fresh copy of this program
// (offscreen unless QT_QPA_PLATFORM says otherwise), so generating it does not
// count in the window's memory.

#include "BenchSteps.h"
#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "app/MainWindow.h"
#include "app/listview/QorListView.h"
#include "app/options/OptionsCommand.h"
#include "app/options/OptionsDialog.h"
#include "contacts/BookLocation.h"
#include "contacts/QorContacts.h"
#include "platform/UserAccounts.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace cardolin::bench {
namespace {

// One account, "bench", whose profile is the given folder.
class BenchUsers final : public platform::UserDatabase
{
public:
    explicit BenchUsers(QString home) : m_home(std::move(home)) {}
    QString HomeFolder() const override { return m_home; }
    QString LogonName() const override { return QStringLiteral("bench"); }
    QString FullName(const QString &) const override { return {}; }

private:
    QString m_home;
};

double TimeIt(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();
    return Seconds(timer);
}

void ImportThroughWindow(app::MainWindow &window, const QString &home, Results &results);

int WindowStep(const QString &home, const QString &term)
{
    BenchUsers users(home);
    TUserAccounts accounts(users);
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry(store);
    registry.SetKey(kProgramSettingsKey);
    app::MainWindow window({registry, accounts, SilentPrompts::Instance()});
    window.FormCreate();
    window.ActivateOptions();
    window.show();
    QApplication::processEvents();
    app::TQorListView *list = window.QorListView1();

    Results results;
    results[QStringLiteral("refresh_s")] = TimeIt([&] {
        window.FirstLoad({});
        list->viewport()->repaint();
    });
    results[QStringLiteral("rows")] = list->Items().Count();
    auto *find = window.findChild<QLineEdit *>(QStringLiteral("FindButtonedEdit"));
    find->setText(term);
    results[QStringLiteral("find_s")] = TimeIt([&] {
        window.FindButtonedEditRightButtonClick();
        list->viewport()->repaint();
    });
    results[QStringLiteral("found")] = list->Items().Count();
    results[QStringLiteral("clear_s")] = TimeIt([&] {
        window.ClearFilterSpeedButtonClick();
        list->viewport()->repaint();
    });
    results[QStringLiteral("sort_s")] = TimeIt([&] {
        list->Sort(2, true);
        list->viewport()->repaint();
    });
    constexpr int kPages = 200;
    QScrollBar *bar = list->verticalScrollBar();
    Random random(7);
    results[QStringLiteral("scroll_page_ms")] = 1000 * TimeIt([&] {
        for (int page = 0; page < kPages; ++page) {
            bar->setValue(random.Below(bar->maximum() + 1));
            list->viewport()->repaint();
        }
    }) / kPages;
    // Confirming the Options dialog with a new display type re-captions and
    // sorts every row; switching formatting on formats every contact.
    app::OptionsCommand &options = window.OptionsDialogCommand();
    const auto confirm = [&](SettingId id, const QVariant &value) {
        options.ShowDialog = [&](app::TForm2 &form) {
            app::TOptionsValues values = form.Values();
            values.Settings[id] = value;
            form.ShowValues(values);
            return true;
        };
        options.OptionsSpeedButtonClick();
        list->viewport()->repaint();
    };
    results[QStringLiteral("options_names_s")] = TimeIt([&] { confirm(SettingId::DisplayType, 3); });
    results[QStringLiteral("options_format_s")] = TimeIt([&] { confirm(SettingId::FormatContacts, true); });
    ImportThroughWindow(window, home, results);
    results[QStringLiteral("peak_mb")] = PeakRss() / 1e6;
    return Report(results);
}

// A file dropped on the window against the bare import of the same file, and
// how often the progress bar moved meanwhile.
void ImportThroughWindow(app::MainWindow &window, const QString &home, Results &results)
{
    const QString file = home + QStringLiteral("/import.csv");
    results[QStringLiteral("core_import_s")] = TimeIt([&] {
        TQorContacts bare;
        bare.ImportFromCSVFile(file);
    });
    int moves = 0;
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    QObject::connect(bar, &QProgressBar::valueChanged, [&moves] { ++moves; });
    app::TQorListView *list = window.QorListView1();
    results[QStringLiteral("window_import_s")] = TimeIt([&] {
        window.ImportExport().QorFileDrag1Drop({file});
        list->viewport()->repaint();
    });
    results[QStringLiteral("import_progress_moves")] = moves;
    results[QStringLiteral("rows_after_import")] = list->Items().Count();
}

int Drive(int count)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home/bench"));
    QDir().mkpath(home + QStringLiteral("/Contacts"));
    {
        TQorContacts book;
        ContactGenerator generator;
        generator.AddContacts(book, count);
        if (book.SaveToXMLFile(home + QStringLiteral("/Contacts/bench.qcb")) != count) {
            std::fputs("bench_window: cannot save the book\n", stderr);
            return 1;
        }
        for (const auto &contact : book.ContactDataList())
            contact->Exportable = true;
        book.ExportToOutlookCSVFile(home + QStringLiteral("/import.csv"));
    }
    // A surname that a few hundred contacts share, the usual kind of search.
    const auto figures = RunStep({QStringLiteral("--window-step"), home, QStringLiteral("Martin")});
    if (!figures) {
        std::fputs("bench_window: the window step failed\n", stderr);
        return 1;
    }
    std::printf("contacts %d\n", count);
    for (auto it = figures->cbegin(); it != figures->cend(); ++it)
        std::printf("  %-16s %.3f\n", qPrintable(it.key()), it.value());
    return 0;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char *argv[])
{
    using namespace cardolin::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.value(0) == QStringLiteral("--window-step"))
        return WindowStep(arguments.value(1), arguments.value(2));
    const int count = arguments.value(0) == QStringLiteral("--count") ? arguments.value(1).toInt() : 100000;
    return Drive(count > 0 ? count : 100000);
}
