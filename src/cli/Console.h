#pragma once

#include <QString>

namespace cardolin::cli {

// Both streams carry UTF-8 whatever the locale says, so JSON and names with
// accents come out the same on every machine.
void WriteStdout(const QString &text);
void WriteStderr(const QString &text);

// False when anything written to stdout was lost (a full disk, a closed pipe):
// a listing that did not arrive must not be reported as done.
bool FlushStdout();

} // namespace cardolin::cli
