#pragma once

#include <cstddef>
#include <thread>

namespace cardolin {

// Runs work(begin, end) over [0, mid) on this thread and [mid, count) on a
// second one, where the machine has a second core and the job is big enough
// to pay for a thread; otherwise over [0, count) here. work must only write
// what belongs to its range, so the result never depends on the timing.
template <typename Work>
void ForTwoHalves(std::size_t count, std::size_t minimumForThread, Work work)
{
    if (count < minimumForThread || std::thread::hardware_concurrency() < 2) {
        work(std::size_t(0), count);
        return;
    }
    const std::size_t mid = count / 2;
    std::thread second([&work, mid, count] { work(mid, count); });
    work(std::size_t(0), mid);
    second.join();
}

} // namespace cardolin
