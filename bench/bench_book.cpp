// Times saving and loading contacts books of several sizes and records the peak
// memory of each step. Every step runs in a fresh copy of this program, so one
// step's memory never shows up in the next one's high-water mark.
//
//   bench_book [--sizes 10000,100000] [--big-mib 100] [--runs 3]
//
// --big-mib 0 leaves out the large book; the other options are for the copies.

#include "BenchSteps.h"
#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>


namespace cardolin::bench {
namespace {

int Fail(const QString &why)
{
    std::fprintf(stderr, "bench_book: %s\n", qPrintable(why));
    return 1;
}

double Save(TQorContacts &book, const QString &path, double &seconds, double &cpuSeconds)
{
    QElapsedTimer timer;
    const double cpuBefore = CpuSeconds();
    timer.start();
    const int saved = book.SaveToXMLFile(path);
    seconds = Seconds(timer);
    cpuSeconds = CpuSeconds() - cpuBefore;
    return saved == int(book.ContactDataList().size()) ? double(QFileInfo(path).size()) : -1;
}

// Step: generate a book of count contacts, or, with count 0, one whose file is at
// least minBytes, and save it.
int GenerateStep(int count, qint64 minBytes, const QString &path)
{
    TQorContacts book;
    ContactGenerator generator;
    QElapsedTimer timer;
    double generateSeconds = 0, saveSeconds = 0, saveCpu = 0, bytes = 0;

    timer.start();
    generator.AddContacts(book, count > 0 ? count : 10000);
    generateSeconds += Seconds(timer);
    if (count == 0) {
        // Grow from a sample's bytes per contact until the file is large enough.
        while ((bytes = Save(book, path, saveSeconds, saveCpu)) >= 0 && bytes < double(minBytes)) {
            const double perContact = bytes / double(book.ContactDataList().size());
            const int more = std::max(1000, int((double(minBytes) - bytes) / perContact * 1.01));
            timer.start();
            generator.AddContacts(book, more);
            generateSeconds += Seconds(timer);
        }
    } else {
        bytes = Save(book, path, saveSeconds, saveCpu);
    }
    if (bytes < 0)
        return Fail(QStringLiteral("cannot save %1").arg(path));
    return Report({{QStringLiteral("count"), double(book.ContactDataList().size())},
                   {QStringLiteral("generate"), generateSeconds},
                   {QStringLiteral("save"), saveSeconds},
                   {QStringLiteral("save-cpu"), saveCpu},
                   {QStringLiteral("bytes"), bytes},
                   {QStringLiteral("peak"), PeakRss()}});
}

// Step: load the book into a fresh collection.
int LoadStep(const QString &path)
{
    TQorContacts book;
    QElapsedTimer timer;
    const double cpuBefore = CpuSeconds();
    timer.start();
    const int count = book.LoadFromXMLFile(path);
    const double seconds = Seconds(timer);
    const double cpuSeconds = CpuSeconds() - cpuBefore;
    if (!book.LastError().isEmpty())
        return Fail(book.LastError());
    return Report({{QStringLiteral("count"), double(count)},
                   {QStringLiteral("load"), seconds},
                   {QStringLiteral("load-cpu"), cpuSeconds},
                   {QStringLiteral("peak"), PeakRss()}});
}

// ---- the driver ------------------------------------------------------------------

constexpr double kMB = 1e6;

// Goals hold for the 100,000-contact book on the reference machine (2 cores).
constexpr int kGoalCount = 100000;

// Several runs of one step: times are medians, peaks the largest seen.
class Samples
{
public:
    void Add(const Results &results) { m_runs.append(results); }
    double Median(const QString &key) const
    {
        QList<double> values;
        for (const Results &run : m_runs)
            values.append(run.value(key));
        std::sort(values.begin(), values.end());
        return values.isEmpty() ? 0 : values[values.size() / 2];
    }
    double Max(const QString &key) const
    {
        double most = 0;
        for (const Results &run : m_runs)
            most = std::max(most, run.value(key));
        return most;
    }

private:
    QList<Results> m_runs;
};

// Goals for the 100,000-contact book on the reference machine (2 cores).
constexpr double kLoadGoalSeconds = 0.5;
constexpr double kSaveGoalSeconds = 0.4;
constexpr double kLoadGoalMB = 250;

bool MeasureBook(GoalTable &table, const QString &title, const QStringList &generateArguments, const QString &path,
                 int runs, bool withGoals)
{
    Samples saved, loaded;
    double xmllint = 0; // libxml2's streaming parser over the same file, the yardstick
    for (int run = 0; run < runs; ++run) {
        const auto save = RunStep(generateArguments);
        if (save && run == 0)
            xmllint = XmllintStreamSeconds(path);
        const auto load = save ? RunStep({QStringLiteral("--load"), path}) : std::nullopt;
        QFile::remove(path);
        if (!load || load->value(QStringLiteral("count")) != save->value(QStringLiteral("count"))) {
            Fail(QStringLiteral("%1: a step failed").arg(title));
            return false;
        }
        saved.Add(*save);
        loaded.Add(*load);
    }
    const auto goal = [withGoals](double limit) { return withGoals ? limit : 0.0; };
    const QString yardstick = QStringLiteral("xmllint --stream");
    table.Title(title.arg(saved.Max(QStringLiteral("count")), 0, 'f', 0));
    table.Row(QStringLiteral("generate"), saved.Median(QStringLiteral("generate")), "s");
    table.Row(QStringLiteral("save"), saved.Median(QStringLiteral("save")), "s", goal(kSaveGoalSeconds), xmllint,
              yardstick);
    table.Row(QStringLiteral("  processor"), saved.Median(QStringLiteral("save-cpu")), "s");
    table.Row(QStringLiteral("file size"), saved.Max(QStringLiteral("bytes")) / kMB, "MB");
    table.Row(QStringLiteral("load"), loaded.Median(QStringLiteral("load")), "s", goal(kLoadGoalSeconds), xmllint,
              yardstick);
    table.Row(QStringLiteral("  processor"), loaded.Median(QStringLiteral("load-cpu")), "s");
    table.Row(QStringLiteral("peak, gen+save"), saved.Max(QStringLiteral("peak")) / kMB, "MB");
    table.Row(QStringLiteral("peak, load"), loaded.Max(QStringLiteral("peak")) / kMB, "MB", goal(kLoadGoalMB));
    return true;
}

int Drive(const QStringList &arguments)
{
    QList<int> sizes{10000, kGoalCount};
    int bigMiB = 100;
    int runs = 3;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1StringView("--sizes")) {
            sizes.clear();
            for (const QString &size : arguments[i + 1].split(QLatin1Char(','), Qt::SkipEmptyParts))
                sizes.append(size.toInt());
        } else if (arguments[i] == QLatin1StringView("--big-mib")) {
            bigMiB = arguments[i + 1].toInt();
        } else if (arguments[i] == QLatin1StringView("--runs")) {
            runs = std::max(1, arguments[i + 1].toInt());
        } else {
            return Fail(QStringLiteral("unknown option %1").arg(arguments[i]));
        }
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString path = dir.filePath(QStringLiteral("book.qcb"));

    std::printf("Contacts book: save and load, one fresh process per step, median of %d runs\n", runs);
    std::printf("locale %s, load average %s; MB = 1,000,000 bytes; peak = largest resident set\n",
                qPrintable(QLocale().name()), qPrintable(LoadAverage()));
    GoalTable table;
    bool ok = true;
    for (int size : sizes)
        ok = MeasureBook(table, QStringLiteral("%L1 contacts"),
                         {QStringLiteral("--generate"), QString::number(size), path}, path, runs,
                         size == kGoalCount)
             && ok;
    if (bigMiB > 0)
        ok = MeasureBook(table, QStringLiteral("%1 MiB book (%L2 contacts)").arg(bigMiB),
                         {QStringLiteral("--generate-bytes"), QString::number(qint64(bigMiB) << 20), path}, path,
                         runs, false)
             && ok;
    const int missed = table.Finish();
    return ok ? missed : 1;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char *argv[])
{
    using namespace cardolin::bench;
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString step = arguments.value(1);
    if (step == QLatin1StringView("--generate") && arguments.size() == 4)
        return GenerateStep(arguments[2].toInt(), 0, arguments[3]);
    if (step == QLatin1StringView("--generate-bytes") && arguments.size() == 4)
        return GenerateStep(0, arguments[2].toLongLong(), arguments[3]);
    if (step == QLatin1StringView("--load") && arguments.size() == 3)
        return LoadStep(arguments[2]);
    return Drive(arguments);
}
