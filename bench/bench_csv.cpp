// Times the export and the import of generated contacts in every CSV layout and
// records the peak memory of each step. Every step runs in a fresh copy of this
// program, so one step's memory never shows up in the next one's high-water mark.
//
//   bench_csv [--count 100000] [--layouts google,nokia]

#include "BenchSteps.h"
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

#include <cstdio>
#include <optional>

namespace cardolin::bench {
namespace {

using Operation = int (TQorContacts::*)(const QString &);

struct Layout
{
    const char *word;
    Operation exporter, importer;
};

const Layout kLayouts[] = {
    {"windows-contacts", &TQorContacts::ExportToWindowsContactsCSVFile,
     &TQorContacts::ImportFromWindowsContactsCSVFile},
    {"outlook", &TQorContacts::ExportToOutlookCSVFile, &TQorContacts::ImportFromOutlookCSVFile},
    {"outlook-french", &TQorContacts::ExportToOutlookFrenchCSVFile, &TQorContacts::ImportFromOutlookFrenchCSVFile},
    {"google", &TQorContacts::ExportToGoogleCSVFile, &TQorContacts::ImportFromGoogleCSVFile},
    {"google-deprecated", &TQorContacts::ExportToGoogleDeprecatedCSVFile,
     &TQorContacts::ImportFromGoogleDeprecatedCSVFile},
    {"nokia", &TQorContacts::ExportToNokiaCSVFile, &TQorContacts::ImportFromNokiaCSVFile},
    {"yahoo", &TQorContacts::ExportToYahooCSVFile, &TQorContacts::ImportFromYahooCSVFile},
    {"blackberry", &TQorContacts::ExportToBlackBerryCSVFile, &TQorContacts::ImportFromBlackBerryCSVFile},
    {"google-contacts", &TQorContacts::ExportToGoogleContactsCSVFile,
     &TQorContacts::ImportFromGoogleContactsCSVFile},
    {"thunderbird", &TQorContacts::ExportToThunderbirdCSVFile, &TQorContacts::ImportFromThunderbirdCSVFile},
};

const Layout *FindLayout(const QString &word)
{
    for (const Layout &layout : kLayouts)
        if (word == QLatin1StringView(layout.word))
            return &layout;
    return nullptr;
}

double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

int Fail(const QString &why)
{
    std::fprintf(stderr, "bench_csv: %s\n", qPrintable(why));
    return 1;
}

// Step: generate count contacts and export them.
int ExportStep(const Layout &layout, int count, const QString &path)
{
    TQorContacts contacts;
    ContactGenerator generator;
    generator.AddContacts(contacts, count);
    QElapsedTimer timer;
    timer.start();
    const int written = (contacts.*layout.exporter)(path);
    const double seconds = Seconds(timer);
    if (written != count)
        return Fail(QStringLiteral("%1: wrote %2 of %3").arg(QLatin1StringView(layout.word)).arg(written).arg(count));
    return Report({{QStringLiteral("count"), double(written)},
                   {QStringLiteral("export"), seconds},
                   {QStringLiteral("bytes"), double(QFileInfo(path).size())},
                   {QStringLiteral("peak"), PeakRss()}});
}

// Step: import the file into a fresh collection.
int ImportStep(const Layout &layout, const QString &path)
{
    TQorContacts contacts;
    int rejected = 0;
    contacts.OnError = [&](TQorContacts *, const QString &, const QString &, const QString &, int) { ++rejected; };
    QElapsedTimer timer;
    timer.start();
    const int added = (contacts.*layout.importer)(path);
    const double seconds = Seconds(timer);
    return Report({{QStringLiteral("count"), double(added)},
                   {QStringLiteral("rejected"), double(rejected)},
                   {QStringLiteral("import"), seconds},
                   {QStringLiteral("peak"), PeakRss()}});
}

constexpr double kMB = 1e6;
constexpr double kGoalSeconds = 2.0;
constexpr double kGoalMB = 1000;

const char *Verdict(double seconds, double peak)
{
    return seconds < kGoalSeconds && peak / kMB < kGoalMB ? "ok" : "MISSED";
}

int Drive(const QStringList &arguments)
{
    int count = 100000;
    QStringList words;
    for (const Layout &layout : kLayouts)
        words.append(QLatin1StringView(layout.word));
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1StringView("--count"))
            count = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1StringView("--layouts"))
            words = arguments[i + 1].split(QLatin1Char(','), Qt::SkipEmptyParts);
        else
            return Fail(QStringLiteral("unknown option %1").arg(arguments[i]));
    }
    QTemporaryDir dir;
    std::printf("CSV export and import of %d generated contacts, one fresh process per step\n", count);
    std::printf("locale %s; MB = 1,000,000 bytes; peak = largest resident set (export includes generation)\n",
                qPrintable(QLocale().name()));
    std::printf("goals: under %.0f s each way, under %.0f MB\n\n", kGoalSeconds, kGoalMB);
    std::printf("  %-18s %9s %9s %9s %8s %9s %8s %9s\n", "layout", "file MB", "export s", "peak MB", "", "import s",
                "peak MB", "rejected");
    int missed = 0;
    for (const QString &word : words) {
        const QString path = dir.filePath(word + QStringLiteral(".csv"));
        const auto out = RunStep({QStringLiteral("--export"), word, QString::number(count), path});
        const auto in = out ? RunStep({QStringLiteral("--import"), word, path}) : std::nullopt;
        QFile::remove(path);
        if (!in)
            return Fail(QStringLiteral("%1: a step failed").arg(word));
        const double exportSeconds = out->value(QStringLiteral("export"));
        const double importSeconds = in->value(QStringLiteral("import"));
        const double exportPeak = out->value(QStringLiteral("peak")), importPeak = in->value(QStringLiteral("peak"));
        const char *exportVerdict = Verdict(exportSeconds, exportPeak);
        const char *importVerdict = Verdict(importSeconds, importPeak);
        missed += (exportVerdict[0] == 'M') + (importVerdict[0] == 'M')
                  + (in->value(QStringLiteral("count")) != count);
        std::printf("  %-18s %9.1f %9.2f %9.0f %8s %9.2f %8.0f %9.0f %s\n", qPrintable(word),
                    out->value(QStringLiteral("bytes")) / kMB, exportSeconds, exportPeak / kMB, exportVerdict,
                    importSeconds, importPeak / kMB, in->value(QStringLiteral("rejected")), importVerdict);
        std::fflush(stdout);
    }
    std::printf("\n%s\n", missed ? "Some goals were MISSED." : "All goals met.");
    return missed ? 1 : 0;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char *argv[])
{
    using namespace cardolin::bench;
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString step = arguments.value(1);
    const Layout *layout = FindLayout(arguments.value(2));
    if (step == QLatin1StringView("--export") && layout && arguments.size() == 5)
        return ExportStep(*layout, arguments[3].toInt(), arguments[4]);
    if (step == QLatin1StringView("--import") && layout && arguments.size() == 4)
        return ImportStep(*layout, arguments[3]);
    return Drive(arguments);
}
