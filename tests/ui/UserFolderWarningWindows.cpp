// The log view's warning for a missing per-user folder names the folder Windows keeps for
// the settings and the log, not the HOME of Linux.

#include "ui/Platform.h"

#include <gtest/gtest.h>

TEST (UserFolderWarning, NamesTheRoamingFolder)
{
    const auto warning = platform::missingUserFolderWarning();
    EXPECT_TRUE (warning.contains ("roaming application data folder")) << warning;
    EXPECT_TRUE (warning.endsWith ("the settings and the log are not saved")) << warning;
    EXPECT_FALSE (warning.contains ("HOME")) << warning;
}
