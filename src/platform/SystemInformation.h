#pragma once

#include <QString>

namespace cardolin::platform {

// The operating system as a bug report wants it: the distribution's name,
// the kernel with its version and the processor architecture, and the
// desktop session ("Debian GNU/Linux 12 (bookworm); Linux 6.1.0-18-amd64
// x86_64; GNOME on wayland").
QString OperatingSystemDescription();

} // namespace cardolin::platform
