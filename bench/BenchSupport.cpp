#include "BenchSupport.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

namespace cardolin::bench {

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine().split(' ').value(0)) : QString();
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ReferenceSeconds(const QString &program, const QStringList &arguments, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return 0;
        times.push_back(Seconds(timer));
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

double XmllintStreamSeconds(const QString &path)
{
    return ReferenceSeconds(QStringLiteral("xmllint"), {QStringLiteral("--stream"), QStringLiteral("--noout"), path});
}

double PythonCsvSeconds(const QString &path)
{
    static const QString script = QStringLiteral("import csv, sys\n"
                                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                                 "    for record in csv.reader(f):\n"
                                                 "        pass\n");
    return PythonSeconds(script, path);
}

double PythonSplitSeconds(const QString &path)
{
    static const QString script = QStringLiteral("import sys\n"
                                                 "with open(sys.argv[1], encoding='utf-8-sig') as f:\n"
                                                 "    for line in f.read().splitlines():\n"
                                                 "        line.split(':', 1)\n");
    return PythonSeconds(script, path);
}

double PythonSeconds(const QString &script, const QString &path)
{
    return ReferenceSeconds(QStringLiteral("python3"), {QStringLiteral("-c"), script, path});
}

void GoalTable::Title(const QString &title)
{
    std::printf("\n%s\n", qPrintable(title));
}

void GoalTable::Row(const QString &label, double value, const char *unit, double limit, double reference,
                    const QString &referenceName)
{
    const int decimals = value >= 100 ? 0 : value >= 10 ? 1 : 3;
    QString line = QStringLiteral("  %1 %2 %3").arg(label, -34).arg(value, 9, 'f', decimals).arg(QLatin1StringView(unit), -2);
    if (limit > 0) {
        const bool met = value <= limit;
        line += QStringLiteral("   goal <= %1 %2 %3").arg(limit).arg(QLatin1StringView(unit)).arg(met ? QStringLiteral("met") : QStringLiteral("MISSED"), -6);
        if (!met)
            ++m_missed;
    }
    if (reference > 0)
        line += QStringLiteral("   %1x %2 (%3 s)")
                    .arg(value / reference, 0, 'f', 2)
                    .arg(referenceName.isEmpty() ? QStringLiteral("reference") : referenceName)
                    .arg(reference, 0, 'f', 3);
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int GoalTable::Finish() const
{
    std::printf("\n%s\n", m_missed ? "Some goals were MISSED." : "All goals met.");
    return m_missed ? 1 : 0;
}

} // namespace cardolin::bench
