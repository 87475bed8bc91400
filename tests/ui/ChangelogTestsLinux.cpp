// A named pipe in the change log's place must not hang the About screen.

#include "tests/support/TestFolders.h"
#include "ui/Changelog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

TEST (ChangelogFile, PipeIsNotWaitedFor)
{
    testfolders::TemporaryFolder folder;
    const auto pipe = folder.file().getChildFile ("Changelog.txt");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);

    // Opening a pipe nobody writes to would block for ever; the bound is generous.
    auto reading = std::async (std::launch::async, [pipe] { return readChangelog (pipe); });
    const auto finished = reading.wait_for (std::chrono::seconds (30)) == std::future_status::ready;
    if (! finished)
    {
        // A writer that comes and goes releases a reader stuck in the pipe, so the test ends.
        const auto writer = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close (writer);
    }
    EXPECT_TRUE (finished);
    EXPECT_EQ (reading.get().text, "");
}
