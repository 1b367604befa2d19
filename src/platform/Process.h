#pragma once

#include <QString>

namespace cardolin::platform {

// File name (no folder) of the running executable, e.g. "Quillet".
QString ExecutableFileName();

} // namespace cardolin::platform
