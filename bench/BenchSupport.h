#pragma once

#include <QElapsedTimer>
#include <QString>

namespace cardolin::bench {

// The high-water mark of this process's resident memory, in bytes.
double PeakRss();
// How busy the machine was (1-minute load average), to read the figures by.
QString LoadAverage();
// Processor time of this process so far, in seconds.
double CpuSeconds();

inline double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace cardolin::bench
