#include "cli/Console.h"

#include <cstdio>

namespace cardolin::cli {

namespace {
void Write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}
} // namespace

void WriteStdout(const QString &text)
{
    Write(stdout, text);
}

void WriteStderr(const QString &text)
{
    Write(stderr, text);
    std::fflush(stderr);
}

bool FlushStdout()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

} // namespace cardolin::cli
