// Times the whole-book operations on contacts: a one-term search over every
// field, a search by display name, formatting every record and removing the
// duplicates. Each size runs in a fresh copy of this program so that its peak
// memory is its own.
//
//   bench_contacts [--sizes 10000,100000]

#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace cardolin::bench {
namespace {

constexpr int kGoalCount = 100000;

// Median wall time of a few runs of a fast operation.
template <typename Work> double MedianSeconds(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(Seconds(timer));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename Work> double OnceSeconds(Work work)
{
    return MedianSeconds(1, work);
}

int MeasureStep(int count)
{
    TQorContacts book;
    // First and last name only, as a user cleaning up imports would choose: the
    // generator's duplicates sometimes differ in their middle names.
    book.SetDisplayType(dtFirstLastName);
    ContactGenerator generator;
    generator.SetDistinctNames(true);
    generator.AddContacts(book, count);
    const TContactData &middle = *book.ContactDataList()[size_t(count / 2)];
    // A rare term makes the search read every field of every contact to the end.
    const QString term = QStringLiteral("zq");
    const QString name = book.GetDisplayNameFromContactData(&middle, dtInherited);

    int found = 0, named = 0, removed = 0;
    const double queryAll = MedianSeconds(5, [&] { found = book.QueryContactDataList(term, qtAll, dtInherited); });
    const double queryName =
        MedianSeconds(5, [&] { named = book.QueryContactDataList(name, qtDisplayName, dtInherited); });
    const double format = OnceSeconds([&] { book.FormatContactDataList(); });
    const double dedupe = OnceSeconds([&] { removed = book.DeduplicateContactDataList(dmMerge); });
    std::printf("RESULT %d %d %d %d %.6f %.6f %.6f %.6f %.1f\n", count, found, named, removed, queryAll, queryName,
                format, dedupe, PeakRss() / 1e6);
    return 0;
}

QString Verdict(double value, double goal, bool judged)
{
    if (!judged)
        return {};
    return value <= goal ? QStringLiteral(" (goal %1: met)").arg(goal) : QStringLiteral(" (goal %1: MISSED)").arg(goal);
}

int Drive(const QStringList &arguments)
{
    QList<int> sizes{10000, kGoalCount};
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--sizes")); at > 0 && at + 1 < arguments.size()) {
        sizes.clear();
        for (const QString &size : arguments[at + 1].split(u','))
            sizes.append(size.toInt());
    }
    std::printf("Whole-book operations, one fresh process per size; load average %s\n", qPrintable(LoadAverage()));
    bool missed = false;
    for (int size : sizes) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--size"), QString::number(size)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::fprintf(stderr, "bench_contacts: the run for %d contacts failed\n", size);
            return 1;
        }
        const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(u' ');
        if (f.size() != 10 || f[0] != u"RESULT")
            return 1;
        const bool judged = size == kGoalCount;
        const double queryAll = f[5].toDouble(), queryName = f[6].toDouble(), format = f[7].toDouble(),
                     dedupe = f[8].toDouble();
        std::printf("\n%s contacts (peak memory %s MB)\n", qPrintable(f[1]), qPrintable(f[9]));
        std::printf("  query, one term, all fields: %8.1f ms, %s found%s\n", queryAll * 1e3, qPrintable(f[2]),
                    qPrintable(Verdict(queryAll * 1e3, 150, judged)));
        std::printf("  query by display name:       %8.1f ms, %s found%s\n", queryName * 1e3, qPrintable(f[3]),
                    qPrintable(Verdict(queryName * 1e3, 20, judged)));
        std::printf("  format every contact:        %8.1f ms%s\n", format * 1e3,
                    qPrintable(Verdict(format * 1e3, 2000, judged)));
        std::printf("  remove duplicates (merge):   %8.1f ms, %s removed%s\n", dedupe * 1e3, qPrintable(f[4]),
                    qPrintable(Verdict(dedupe * 1e3, 2000, judged)));
        missed = missed || (judged && (queryAll > 0.150 || queryName > 0.020 || format > 2 || dedupe > 2));
    }
    std::printf("\n%s\n", missed ? "Some goals were MISSED." : "All goals met.");
    return missed ? 1 : 0;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == QLatin1StringView("--size"))
        return cardolin::bench::MeasureStep(arguments.value(2).toInt());
    return cardolin::bench::Drive(arguments);
}
