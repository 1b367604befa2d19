#include "platform/TerminalInput.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <string>

namespace cardolin::platform {

namespace {

// Turns echo off for its lifetime when standard input is a terminal.
class EchoOff
{
public:
    EchoOff()
    {
        if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        m_active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (!m_active)
            return;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
        // The Enter the user typed was not echoed either.
        std::cerr << std::endl;
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

} // namespace

std::optional<QString> ReadHiddenLine()
{
    const EchoOff quiet;
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

bool InputIsTerminal()
{
    return ::isatty(STDIN_FILENO) != 0;
}

} // namespace cardolin::platform
