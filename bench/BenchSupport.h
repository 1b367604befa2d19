#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

namespace cardolin::bench {

// How busy the machine was (1-minute load average), to read the figures by.
QString LoadAverage();
// Processor time of this process so far, in seconds.
double CpuSeconds();

inline double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Median wall time of an outside program over the same input, the yardstick a
// figure is divided by so that runs on busy or slow machines stay comparable.
// 0 when the program is missing or fails.
double ReferenceSeconds(const QString &program, const QStringList &arguments, int runs = 3);
// The usual yardsticks: libxml2's streaming parser over a book, and Python's csv
// module splitting a CSV file into records.
double XmllintStreamSeconds(const QString &path);
double PythonCsvSeconds(const QString &path);
// Python decoding a text file and cutting each line at its first colon: the
// least a reader of vCard or LDIF does.
double PythonSplitSeconds(const QString &path);
// Python running the script with the path as its argument.
double PythonSeconds(const QString &script, const QString &path);

// Prints one line per measured figure with its goal and, when a yardstick was
// measured, the figure as a multiple of it; counts the goals missed.
class GoalTable
{
public:
    void Title(const QString &title);
    // limit 0: no goal. reference 0: no ratio.
    void Row(const QString &label, double value, const char *unit, double limit = 0, double reference = 0,
             const QString &referenceName = {});
    int Missed() const { return m_missed; }
    // "All goals met." or "Some goals were MISSED."; returns the exit status.
    int Finish() const;

private:
    int m_missed = 0;
};

} // namespace cardolin::bench
