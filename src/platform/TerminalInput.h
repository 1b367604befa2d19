#pragma once

#include <QString>

#include <optional>

namespace cardolin::platform {

// One line of standard input without its line end; when standard input is a
// terminal, what is typed is not shown. Null when the input ended first.
std::optional<QString> ReadHiddenLine();

} // namespace cardolin::platform
