#pragma once

#include <QString>

#include <optional>

namespace cardolin::platform {

// One line of standard input without its line end; when standard input is a
// terminal, what is typed is not shown. Null when the input ended first.
std::optional<QString> ReadHiddenLine();

// True when standard input is a terminal, where a prompt is worth showing.
bool InputIsTerminal();

} // namespace cardolin::platform
