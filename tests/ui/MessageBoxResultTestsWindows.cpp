// On Windows the framework's Task Dialog reports the pressed button's index, and its classic
// box, where the Task Dialog is missing, reports 2 for the second button of a two-button box.
// Every code means one button, and a code that names none means the last.

#include "ui/Platform.h"

#include <gtest/gtest.h>

TEST (MessageBoxes, WindowsResultCodesMeanOneButtonEach)
{
    struct Case
    {
        int buttons;
        int result;
        int index;
    };
    for (const auto& c : { Case { 1, 0, 0 },
                           Case { 2, 0, 0 }, Case { 2, 1, 1 },
                           Case { 3, 0, 0 }, Case { 3, 1, 1 }, Case { 3, 2, 2 },
                           Case { 2, 2, 1 }, Case { 1, 1, 0 }, Case { 2, 7, 1 }, Case { 3, -1, 2 } })
        EXPECT_EQ (platform::buttonIndexForResult (c.result, c.buttons), c.index) << c.buttons << " buttons, result " << c.result;
}
