#pragma once

// What the benchmark programs share: each step runs in a fresh copy of the
// program and reports its figures as one line that the driver reads back.

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace cardolin::bench {

using Results = QMap<QString, double>;

// The high-water mark of resident memory, in bytes.
double PeakRss();
// Prints the step's figures as one line of key=value pairs; returns 0.
int Report(const Results &results);
// Runs this program again with the arguments and reads the figures it reports;
// empty when the step failed.
std::optional<Results> RunStep(const QStringList &arguments);

} // namespace cardolin::bench
