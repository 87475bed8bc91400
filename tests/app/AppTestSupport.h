#pragma once

#include "tests/app/support/RunningApp.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace apptest
{
inline const char* const windowTitle = "Zorv Updater  [7.48]";

inline bool haveDisplay()
{
    const char* display = std::getenv ("DISPLAY");
    return display != nullptr && *display != 0;
}
}

// Skips the calling test when no X display is named: the test command gives one.
#define ZORV_REQUIRE_DISPLAY()                                                             \
    do {                                                                                   \
        if (! apptest::haveDisplay())                                                      \
            GTEST_SKIP() << "this test puts a window on an X display; DISPLAY names none " \
                            "(run it through scripts/test, which starts Xvfb)";            \
    } while (false)
