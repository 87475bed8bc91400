// The per-user single-instance lock: one holder at a time, whichever open of the file asks.

#include "app/Platform.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

TEST (InstanceLock, OneHolderAtATime)
{
    testfolders::TemporaryFolder folder;
    const auto lockFile = folder.file().getChildFile ("ZorvUpdater.lock");

    EXPECT_EQ (platform::lockForProcessLifetime (lockFile), platform::InstanceLock::taken);
    EXPECT_TRUE (lockFile.existsAsFile());
    EXPECT_EQ (platform::lockForProcessLifetime (lockFile), platform::InstanceLock::heldElsewhere)
        << "a second claim on the file finds the first";
    EXPECT_EQ (platform::lockForProcessLifetime (folder.file().getChildFile ("other.lock")), platform::InstanceLock::taken)
        << "another file is another lock";
}

TEST (InstanceLock, AMissingFolderIsNoLock)
{
    testfolders::TemporaryFolder folder;
    const auto lockFile = folder.file().getChildFile ("missing/ZorvUpdater.lock");
    EXPECT_EQ (platform::lockForProcessLifetime (lockFile), platform::InstanceLock::unavailable);
    EXPECT_FALSE (lockFile.getParentDirectory().exists()) << "the folder is not made";
}
