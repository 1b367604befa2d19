// Times the export and the import of generated contacts in every CSV layout and
// records the peak memory of each step. Every step runs in a fresh copy of this
// program, so one step's memory never shows up in the next one's high-water mark.
//
//   bench_csv [--count 100000] [--layouts google,nokia]

#include "BenchSteps.h"
#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"
#include "formats/TextFiles.h"

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
    int rejected = 0, records = 0;
    contacts.OnError = [&](TQorContacts *, const QString &, const QString &, const QString &, int) { ++rejected; };
    contacts.OnProgress = [&](TQorContacts *, int, int max, int) { records = max; };
    QElapsedTimer timer;
    timer.start();
    const int added = (contacts.*layout.importer)(path);
    const double seconds = Seconds(timer);
    return Report({{QStringLiteral("count"), double(added)},
                   {QStringLiteral("rejected"), double(rejected)},
                   {QStringLiteral("records"), double(records)},
                   {QStringLiteral("import"), seconds},
                   {QStringLiteral("peak"), PeakRss()}});
}

constexpr double kMB = 1e6;
constexpr double kGoalSeconds = 0.6;
constexpr double kGoalMB = 1000;

// The yardstick: Python's csv module splitting the same file into records. A
// file not in UTF-8 is handed over as a UTF-8 copy of its text, so that Python
// too only splits.
double PythonSeconds(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return 0;
    if (in.peek(3) == "\xEF\xBB\xBF")
        return PythonCsvSeconds(path);
    const QString copy = path + QStringLiteral(".utf8");
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly))
        return 0;
    out.write(textfile::DecodeText(in.readAll()).toUtf8());
    out.close();
    const double seconds = PythonCsvSeconds(copy);
    QFile::remove(copy);
    return seconds;
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
    std::printf("locale %s; load average %s; MB = 1,000,000 bytes; export peak includes generating the contacts\n",
                qPrintable(QLocale().name()), qPrintable(LoadAverage()));
    GoalTable table;
    int lost = 0;
    for (const QString &word : words) {
        const QString path = dir.filePath(word + QStringLiteral(".csv"));
        const auto out = RunStep({QStringLiteral("--export"), word, QString::number(count), path});
        const auto in = out ? RunStep({QStringLiteral("--import"), word, path}) : std::nullopt;
        const double python = in ? PythonSeconds(path) : 0;
        QFile::remove(path);
        if (!in)
            return Fail(QStringLiteral("%1: a step failed").arg(word));
        const QString yardstick = QStringLiteral("Python csv");
        // A contact with nothing in the layout's columns makes a record of empty
        // fields, which the importer skips.
        const double records = in->value(QStringLiteral("records")), added = in->value(QStringLiteral("count"));
        const double rejected = in->value(QStringLiteral("rejected"));
        table.Title(QStringLiteral("%1 (%2 MB, %3 records: %4 read back, %5 rejected, %6 empty)")
                        .arg(word)
                        .arg(out->value(QStringLiteral("bytes")) / kMB, 0, 'f', 1)
                        .arg(records)
                        .arg(added)
                        .arg(rejected)
                        .arg(records - added - rejected));
        table.Row(QStringLiteral("export"), out->value(QStringLiteral("export")), "s", kGoalSeconds, python, yardstick);
        table.Row(QStringLiteral("import"), in->value(QStringLiteral("import")), "s", kGoalSeconds, python, yardstick);
        table.Row(QStringLiteral("export peak"), out->value(QStringLiteral("peak")) / kMB, "MB", kGoalMB);
        table.Row(QStringLiteral("import peak"), in->value(QStringLiteral("peak")) / kMB, "MB", kGoalMB);
        lost += records != count || rejected > 0;
    }
    if (lost)
        std::printf("\n%d layout(s) did not read back every record.\n", lost);
    return table.Finish() || lost ? 1 : 0;
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
