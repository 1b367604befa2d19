#pragma once

#include <QString>

namespace cardolin::platform {

// Full path of the running executable, e.g. "/usr/bin/Quillet".
QString ExecutableFilePath();

// File name (no folder) of the running executable, e.g. "Quillet".
QString ExecutableFileName();

} // namespace cardolin::platform
