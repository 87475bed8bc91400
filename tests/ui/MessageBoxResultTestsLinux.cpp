// On Linux the framework draws the box itself, and its result codes are not button indexes:
// the first buttons give 1, 2, ..., the last gives 0, and so do Escape and the close box.
// Every code means one button, and a code that names none means the last.

#include "ui/Platform.h"

#include <gtest/gtest.h>

TEST (MessageBoxes, LinuxResultCodesMeanOneButtonEach)
{
    struct Case
    {
        int buttons;
        int result;
        int index;
    };
    for (const auto& c : { Case { 1, 0, 0 },
                           Case { 2, 1, 0 }, Case { 2, 0, 1 },
                           Case { 3, 1, 0 }, Case { 3, 2, 1 }, Case { 3, 0, 2 },
                           Case { 1, 1, 0 }, Case { 2, 7, 1 }, Case { 3, -1, 2 } })
        EXPECT_EQ (platform::buttonIndexForResult (c.result, c.buttons), c.index) << c.buttons << " buttons, result " << c.result;
}
