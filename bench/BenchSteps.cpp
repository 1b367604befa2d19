#include "BenchSteps.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace cardolin::bench {

double PeakRss()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024;
    return 0;
}

int Report(const Results &results)
{
    QString line = QStringLiteral("RESULT");
    for (auto it = results.cbegin(); it != results.cend(); ++it)
        line += QStringLiteral(" %1=%2").arg(it.key(), QString::number(it.value(), 'g', 12));
    std::printf("%s\n", qPrintable(line));
    return 0;
}

std::optional<Results> RunStep(const QStringList &arguments)
{
    QProcess step;
    step.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    step.start(QCoreApplication::applicationFilePath(), arguments);
    if (!step.waitForFinished(-1) || step.exitStatus() != QProcess::NormalExit || step.exitCode() != 0)
        return std::nullopt;
    Results results;
    for (const QByteArray &line : step.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        for (const QByteArray &pair : line.mid(7).split(' ')) {
            const qsizetype eq = pair.indexOf('=');
            results.insert(QString::fromLatin1(pair.left(eq)), pair.mid(eq + 1).toDouble());
        }
    }
    return results;
}

} // namespace cardolin::bench
