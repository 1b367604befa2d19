#pragma once

#include <QCoreApplication>

namespace cardolin::testing {

// Tests that use sockets or timers need an application object; one is made the
// first time and kept for the rest of the run.
inline void EnsureCoreApplication()
{
    static int argc = 1;
    static char name[] = "cardolin_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

} // namespace cardolin::testing
