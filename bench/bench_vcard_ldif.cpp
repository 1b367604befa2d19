// Times the vCard and LDIF exchange: a generated book written to and read from
// one file of each format, and a folder of one-card files imported. Each import
// is the median of three runs and is also given as a multiple of a yardstick on
// the same file: Python decoding it, splitting it into lines and each line at
// its first colon, which is the least any reader of these formats has to do.
//
//   bench_vcard_ldif [--contacts 100000] [--folder 10000]
//   bench_vcard_ldif --write FOLDER [--contacts N]  (writes the three files and stops)
//   bench_vcard_ldif --import FILE [--runs 5]       (imports one file, for a profiler)
//
// Peak memory is the process's high-water mark after each step, so it only
// grows from one line to the next.

#include "BenchSteps.h"
#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"
#include "support/UserPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace cardolin::bench {
namespace {

constexpr double kExportGoal = 2, kVCardImportGoal = 0.5, kLdifImportGoal = 2, kFolderGoal = 5;

int Option(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

// Median wall time of runs of the work, each into a fresh collection.
double Median(int runs, const std::function<int(TQorContacts &)> &work, int &count)
{
    SilentPrompts prompts;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        TQorContacts target;
        target.SetPrompts(prompts);
        QElapsedTimer timer;
        timer.start();
        count = work(target);
        times.push_back(Seconds(timer));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int ProfileImport(const QString &path, int runs)
{
    int count = 0;
    const bool ldif = path.endsWith(QLatin1StringView(".ldif"));
    const double seconds = Median(runs, [&](TQorContacts &t) {
        return ldif ? t.ImportFromLDIFFile(path) : t.ImportFromvCardFile(path);
    }, count);
    std::printf("%d contacts, median %.3f s, %.3f s of processor time per run\n", count, seconds,
                CpuSeconds() / runs);
    return 0;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char **argv)
{
    using namespace cardolin;
    using namespace cardolin::bench;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--import")); at >= 0 && at + 1 < args.size())
        return ProfileImport(args[at + 1], Option(args, QStringLiteral("--runs"), 5));
    const int contacts = Option(args, QStringLiteral("--contacts"), 100000);
    const int folderSize = Option(args, QStringLiteral("--folder"), 10000);
    std::printf("vCard and LDIF exchange of %d generated contacts; load average %s\n", contacts,
                qPrintable(LoadAverage()));

    SilentPrompts prompts;
    QTemporaryDir temporary;
    const qsizetype writeAt = args.indexOf(QStringLiteral("--write"));
    const QDir dir(writeAt >= 0 ? args.value(writeAt + 1) : temporary.path());
    TQorContacts book;
    book.SetPrompts(prompts);
    ContactGenerator generator;
    generator.AddContacts(book, contacts);

    GoalTable table;
    const auto timed = [](const std::function<int()> &run, int &count) {
        QElapsedTimer timer;
        timer.start();
        count = run();
        return Seconds(timer);
    };
    const QString vcf = dir.filePath(QStringLiteral("book.vcf")), ldif = dir.filePath(QStringLiteral("book.ldif"));
    const QString vcf3 = dir.filePath(QStringLiteral("book3.vcf"));
    int count = 0;
    table.Title(QStringLiteral("Exports (one run each)"));
    table.Row(QStringLiteral("vCard 2.1 file export"), timed([&] { return book.ExportTovCardFile(vcf); }, count), "s",
              kExportGoal);
    table.Row(QStringLiteral("vCard 3.0 file export"), timed([&] { return book.ExportTovCard3File(vcf3); }, count),
              "s", kExportGoal);
    table.Row(QStringLiteral("LDIF file export"), timed([&] { return book.ExportToLDIFFile(ldif); }, count), "s",
              kExportGoal);
    if (writeAt >= 0)
        return 0;

    table.Title(QStringLiteral("Imports (median of 3; yardstick: python3 splitting lines at ':')"));
    const QString yardstick = QStringLiteral("python split");
    struct Import
    {
        const char *label;
        QString path;
        double goal;
        int (TQorContacts::*read)(const QString &);
    };
    const Import imports[] = {
        {"vCard 2.1 file import", vcf, kVCardImportGoal, &TQorContacts::ImportFromvCardFile},
        {"vCard 3.0 file import", vcf3, kVCardImportGoal, &TQorContacts::ImportFromvCardFile},
        {"LDIF file import", ldif, kLdifImportGoal, &TQorContacts::ImportFromLDIFFile},
    };
    int wrong = 0;
    for (const Import &import : imports) {
        const double seconds = Median(3, [&](TQorContacts &t) { return (t.*import.read)(import.path); }, count);
        table.Row(QString::fromLatin1(import.label), seconds, "s", import.goal, PythonSplitSeconds(import.path),
                  yardstick);
        wrong += count != contacts;
    }
    table.Row(QStringLiteral("peak memory so far"), PeakRss() / 1048576.0, "MiB");

    TQorContacts small;
    small.SetPrompts(prompts);
    ContactGenerator(7).AddContacts(small, folderSize);
    const QString folder = dir.filePath(QStringLiteral("cards"));
    QDir().mkpath(folder);
    table.Title(QStringLiteral("Folder of %1 one-card files").arg(folderSize));
    table.Row(QStringLiteral("vCard folder export"), timed([&] { return small.ExportTovCardFolder(folder); }, count),
              "s");
    table.Row(QStringLiteral("vCard folder import"), Median(1, [&](TQorContacts &t) {
        return t.ImportFromvCardFolder(folder);
    }, count), "s", kFolderGoal);
    if (wrong)
        std::printf("\n%d imports read a different number of contacts than were written.\n", wrong);
    return table.Finish() || wrong;
}
