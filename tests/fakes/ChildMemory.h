#pragma once

#include <QFile>

#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cardolin::testing {

struct ChildRun
{
    bool finished = false;  // false: crashed, aborted or killed
    int exitCode = -1;      // what the work returned
    qint64 growthBytes = 0; // peak resident memory above what the child started with
};

// The resident set now, from /proc (bytes).
inline qint64 ResidentBytes()
{
    QFile file(QStringLiteral("/proc/self/statm"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Runs the work in a forked copy of this process, so that a reader that runs
// away with memory or aborts cannot take the test runner down, and so that its
// peak memory is measured alone. Only for work that needs no other thread.
inline ChildRun RunInChild(const std::function<int()> &work)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        const qint64 start = ResidentBytes();
        const int code = work();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const qint64 growth = qint64(usage.ru_maxrss) * 1024 - start;
        [[maybe_unused]] const auto written = write(channel[1], &growth, sizeof growth);
        _exit(code);
    }
    close(channel[1]);
    ChildRun run;
    if (pid < 0) {
        close(channel[0]);
        return run;
    }
    qint64 growth = 0;
    const bool reported = read(channel[0], &growth, sizeof growth) == sizeof growth;
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.finished = reported && WIFEXITED(status);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.growthBytes = growth;
    return run;
}

} // namespace cardolin::testing
