// Times the main window over a large book: the first Refresh until the list is
// painted, a filtered find, clearing it, a header sort, scrolling, two Options
// changes that touch every row and a file dropped on the window for import,
// with the peak memory of the window's process; then the program's start-up.
//
//   bench_window [--count 100000] [--runs 3]
//
// The book is generated first; the window runs in fresh copies of this program
// (offscreen unless QT_QPA_PLATFORM says otherwise), so generating it does not
// count in the window's memory. Last, the real program is started over a small
// book until it has painted its list, against an empty Qt window of this one.

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
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

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

double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The yardstick of a find: a plain case-blind scan over every display name.
double NameScanSeconds(const TQorContacts &contacts, const QString &term)
{
    QStringList names;
    for (const auto &contact : contacts.ContactDataList())
        names.append(contacts.GetDisplayNameFromContactData(contact.get(), dtInherited));
    std::vector<double> times;
    int found = 0;
    for (int run = 0; run < 5; ++run)
        times.push_back(TimeIt([&] {
            found = int(std::count_if(names.cbegin(), names.cend(),
                                      [&](const QString &name) { return name.contains(term, Qt::CaseInsensitive); }));
        }));
    return found >= 0 ? MedianOf(times) : 0;
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
    // The bare load of the same book in this process, the part of a Refresh
    // that is not the window's.
    results[QStringLiteral("load_s")] = TimeIt([&] {
        TQorContacts bare;
        bare.LoadFromXMLFile(home + QStringLiteral("/Contacts/bench.qcb"));
    });
    results[QStringLiteral("refresh_s")] = TimeIt([&] {
        window.FirstLoad({});
        list->viewport()->repaint();
    });
    results[QStringLiteral("rows")] = list->Items().Count();
    results[QStringLiteral("rebuild_s")] = TimeIt([&] {
        window.RebuildFromBook(true);
        list->viewport()->repaint();
    });
    results[QStringLiteral("name_scan_s")] = NameScanSeconds(window.QorContacts1(), term);
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

// Seconds from starting a program until it says that it has painted, which
// includes the process start itself; 0 when it never says so.
double SecondsUntilPainted(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    QByteArray said;
    while (!said.contains("painted") && process.waitForReadyRead(20000))
        said += process.readAllStandardOutput();
    const double seconds = Seconds(timer);
    if (!process.waitForFinished(20000))
        process.kill();
    return said.contains("painted") ? seconds : 0;
}

// The yardstick of a start: an empty Qt window of this program, shown and painted.
class BareWindow final : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QTimer::singleShot(0, qApp, [] {
            std::puts("painted");
            std::fflush(stdout);
            QApplication::exit(0);
        });
    }
};

int BareWindowStep()
{
    BareWindow window;
    window.resize(400, 300);
    window.show();
    return QApplication::exec();
}

// Starts of the real program over a home whose book holds count contacts,
// after one start that writes its settings; median seconds, and of the bare window.
std::pair<double, double> MeasureStarts(const QString &scratch, int count)
{
    // The account is named after the home folder.
    const QString home = scratch + QStringLiteral("/start/home/starter");
    QDir().mkpath(home + QStringLiteral("/Contacts"));
    {
        TQorContacts book;
        ContactGenerator generator;
        generator.AddContacts(book, count);
        book.SaveToXMLFile(home + QStringLiteral("/Contacts/starter.qcb"));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch + QStringLiteral("/start/config"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CARDOLIN_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    const QString program = QStringLiteral(CARDOLIN_PROGRAM);
    constexpr int kStarts = 5;
    std::vector<double> starts, bare;
    SecondsUntilPainted(program, {}, environment);
    for (int run = 0; run < kStarts; ++run) {
        starts.push_back(SecondsUntilPainted(program, {}, environment));
        bare.push_back(SecondsUntilPainted(QCoreApplication::applicationFilePath(), {QStringLiteral("--bare-window")},
                                           environment));
    }
    if (std::count(starts.begin(), starts.end(), 0.0) > 0)
        return {0, 0};
    return {MedianOf(starts), MedianOf(bare)};
}

// Runs the window step a few times; times are medians, the peak the largest.
std::optional<Results> MeasureWindow(const QString &home, int runs)
{
    QList<Results> samples;
    for (int run = 0; run < runs; ++run) {
        // A surname that a few hundred contacts share, the usual kind of search.
        const auto figures = RunStep({QStringLiteral("--window-step"), home, QStringLiteral("Martin")});
        if (!figures)
            return std::nullopt;
        samples.append(*figures);
    }
    Results medians;
    for (const QString &key : samples.first().keys()) {
        std::vector<double> values;
        for (const Results &sample : samples)
            values.push_back(sample.value(key));
        medians[key] = key == QStringLiteral("peak_mb") ? *std::max_element(values.begin(), values.end())
                                                        : MedianOf(values);
    }
    return medians;
}

int Fail(const char *why)
{
    std::fprintf(stderr, "bench_window: %s\n", why);
    return 1;
}

int Drive(int count, int runs)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home/bench"));
    const QString book = home + QStringLiteral("/Contacts/bench.qcb");
    QDir().mkpath(home + QStringLiteral("/Contacts"));
    {
        TQorContacts contacts;
        ContactGenerator generator;
        generator.AddContacts(contacts, count);
        if (contacts.SaveToXMLFile(book) != count)
            return Fail("cannot save the book");
        for (const auto &contact : contacts.ContactDataList())
            contact->Exportable = true;
        contacts.ExportToOutlookCSVFile(home + QStringLiteral("/import.csv"));
    }
    const auto r = MeasureWindow(home, runs);
    if (!r)
        return Fail("the window step failed");
    const auto at = [&r](const char *key) { return r->value(QLatin1StringView(key)); };
    const double xmllint = XmllintStreamSeconds(book);
    const QString xmllintName = QStringLiteral("xmllint --stream");
    const QString scanName = QStringLiteral("name scan");

    GoalTable table;
    table.Title(QStringLiteral("The main window, %1 contacts, offscreen (medians of %2 runs; load %3)")
                    .arg(count)
                    .arg(runs)
                    .arg(LoadAverage()));
    table.Row(QStringLiteral("book load alone"), at("load_s"), "s", 0, xmllint, xmllintName);
    table.Row(QStringLiteral("Refresh until painted"), at("refresh_s"), "s", 1.0, xmllint, xmllintName);
    table.Row(QStringLiteral("  rows rebuilt and painted"), at("rebuild_s"), "s", 0, at("load_s"), QStringLiteral("load"));
    table.Row(QStringLiteral("filtered find (%1 found)").arg(at("found")), at("find_s"), "s", 0.1, at("name_scan_s"),
              scanName);
    table.Row(QStringLiteral("clearing the find"), at("clear_s"), "s", 0.1, at("name_scan_s"), scanName);
    table.Row(QStringLiteral("sort by a column"), at("sort_s"), "s");
    table.Row(QStringLiteral("scroll to a page"), at("scroll_page_ms"), "ms");
    table.Row(QStringLiteral("Options: new display type"), at("options_names_s"), "s");
    table.Row(QStringLiteral("Options: formatting on"), at("options_format_s"), "s");
    table.Row(QStringLiteral("import dropped on the window"), at("window_import_s"), "s", 0, at("core_import_s"),
              QStringLiteral("bare import"));
    table.Row(QStringLiteral("  progress bar moves"), at("import_progress_moves"), "");
    table.Row(QStringLiteral("peak memory"), at("peak_mb"), "MB");

    constexpr int kStartCount = 2000;
    const auto [start, bare] = MeasureStarts(dir.path(), kStartCount);
    if (start <= 0)
        return Fail("the program did not paint its list");
    table.Title(QStringLiteral("Start-up of the program over %1 contacts, offscreen, process start included "
                               "(medians of 5)")
                    .arg(kStartCount));
    table.Row(QStringLiteral("start until the list is painted"), start, "s", 0.3, bare,
              QStringLiteral("bare Qt window"));
    return table.Finish();
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
    if (arguments.value(0) == QStringLiteral("--bare-window"))
        return BareWindowStep();
    const auto option = [&arguments](const char *name, int fallback) {
        const qsizetype at = arguments.indexOf(QLatin1StringView(name));
        const int value = at >= 0 ? arguments.value(at + 1).toInt() : 0;
        return value > 0 ? value : fallback;
    };
    return Drive(option("--count", 100000), option("--runs", 3));
}
