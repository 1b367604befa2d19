#pragma once

#include <QStringList>

namespace cardolin::cli {

enum ExitCode : int {
    ExitOk = 0,
    ExitRejected = 1, // finished, but some records were left out
    ExitFailed = 2,
};

// "error: MESSAGE" on stderr; returns ExitFailed.
int ReportFailure(const QString &message);
// Writes text to stdout: ExitOk, or ExitFailed (after saying so) when it was lost.
int PrintResult(const QString &text);

// Runs one command line, given without the program's name.
int Run(const QStringList &arguments);

} // namespace cardolin::cli
