#pragma once

#include <cstddef>
#include <thread>

namespace cardolin {

// True when a job that is big enough may take a second thread: the machine
// has a second core to run it on.
inline bool SecondThreadPays(bool bigEnough)
{
    return bigEnough && std::thread::hardware_concurrency() > 1;
}

// Runs first() here and second() on a second thread when useThread is set,
// otherwise first() then second() here. Each must only write what is its own,
// so the result never depends on the timing.
template <typename First, typename Second>
void RunBoth(First &&first, Second &&second, bool useThread)
{
    if (!useThread) {
        first();
        second();
        return;
    }
    std::thread helper([&second] { second(); });
    first();
    helper.join();
}

// Runs work(begin, end) over [0, mid) on this thread and [mid, count) on a
// second one, where the machine has a second core and the job is big enough
// to pay for a thread; otherwise over [0, count) here. work must only write
// what belongs to its range, so the result never depends on the timing.
template <typename Work>
void ForTwoHalves(std::size_t count, std::size_t minimumForThread, Work work)
{
    if (!SecondThreadPays(count >= minimumForThread)) {
        work(std::size_t(0), count);
        return;
    }
    const std::size_t mid = count / 2;
    RunBoth([&] { work(std::size_t(0), mid); }, [&] { work(mid, count); }, true);
}

} // namespace cardolin
