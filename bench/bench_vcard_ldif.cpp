// Times the vCard and LDIF exchange: a generated book written to and read from
// one file of each format, and a folder of one-card files imported. Goals:
// under 2 s each way for the files, under 5 s for the folder.
//
//   bench_vcard_ldif [--contacts 100000] [--folder 10000]
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

#include <cstdio>
#include <functional>

namespace cardolin::bench {
namespace {

void Step(const char *what, double goal, const std::function<int()> &run)
{
    QElapsedTimer timer;
    timer.start();
    const int count = run();
    const double seconds = Seconds(timer);
    std::printf("%-28s %8d contacts %8.3f s (goal %.0f s: %s)  peak %.0f MiB\n", what, count, seconds, goal,
                seconds < goal ? "met" : "MISSED", PeakRss() / 1048576.0);
}

int Option(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char **argv)
{
    using namespace cardolin;
    using namespace cardolin::bench;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int contacts = Option(args, QStringLiteral("--contacts"), 100000);
    const int folderSize = Option(args, QStringLiteral("--folder"), 10000);
    std::printf("load average %s\n", qPrintable(LoadAverage()));

    cardolin::SilentPrompts prompts;
    QTemporaryDir dir;
    TQorContacts book;
    book.SetPrompts(prompts);
    ContactGenerator generator;
    generator.AddContacts(book, contacts);

    const QString vcf = dir.filePath(QStringLiteral("book.vcf")), ldif = dir.filePath(QStringLiteral("book.ldif"));
    const QString vcf3 = dir.filePath(QStringLiteral("book3.vcf"));
    Step("vCard file export", 2, [&] { return book.ExportTovCardFile(vcf); });
    Step("vCard 3.0 file export", 2, [&] { return book.ExportTovCard3File(vcf3); });
    Step("LDIF file export", 2, [&] { return book.ExportToLDIFFile(ldif); });
    const auto importInto = [&](const std::function<int(TQorContacts &)> &import) {
        TQorContacts target;
        target.SetPrompts(prompts);
        return import(target);
    };
    Step("vCard file import", 2, [&] { return importInto([&](TQorContacts &t) { return t.ImportFromvCardFile(vcf); }); });
    Step("vCard 3.0 file import", 2,
         [&] { return importInto([&](TQorContacts &t) { return t.ImportFromvCardFile(vcf3); }); });
    Step("LDIF file import", 2, [&] { return importInto([&](TQorContacts &t) { return t.ImportFromLDIFFile(ldif); }); });

    TQorContacts small;
    small.SetPrompts(prompts);
    ContactGenerator(7).AddContacts(small, folderSize);
    const QString folder = dir.filePath(QStringLiteral("cards"));
    QDir().mkpath(folder);
    Step("vCard folder export", 1e9, [&] { return small.ExportTovCardFolder(folder); });
    Step("vCard folder import", 5,
         [&] { return importInto([&](TQorContacts &t) { return t.ImportFromvCardFolder(folder); }); });
    return 0;
}
