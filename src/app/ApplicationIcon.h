#pragma once

#include <QIcon>

namespace cardolin::app {

// The program's own icon in every drawn size, for the window, the tray and
// the About box.
QIcon ApplicationIcon();

} // namespace cardolin::app
