#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace cardolin::testing {

struct CliResult
{
    int exitCode = -1; // -1: it did not end normally in time
    QString out;
    QString err;
};

// Runs a program to its end with the environment and standard input given,
// blocking: for tests whose servers are other processes.
inline CliResult RunProcess(const QString &program, const QStringList &arguments,
                            const QProcessEnvironment &environment, const QByteArray &input = {},
                            int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace cardolin::testing
