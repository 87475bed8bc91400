#pragma once

#include "tests/support/TestFolders.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace testfolders
{
// For the life of the object the calling thread, and the processes it starts, see a
// password database in which the process's own account has the given home folder, or no
// entry at all when the folder is empty. The rest of the process sees the system's own.
// It lives in a mount namespace of the thread's own, so it needs the right to make one
// (a private network namespace of scripts/in-netns gives it).
class AccountHome final
{
public:
    explicit AccountHome (const juce::File& home);
    ~AccountHome();

    // False when the database could not be replaced; the test then skips.
    bool active() const { return replaced; }

private:
    bool bindOver (const juce::File& standIn, const char* target);

    TemporaryFolder files;
    std::vector<const char*> covered;
    bool replaced = false;
    JUCE_DECLARE_NON_COPYABLE (AccountHome)
};
}

// Skips the calling test unless the AccountHome named is in force.
#define ZORV_REQUIRE_ACCOUNT_HOME(account)                                               \
    do {                                                                                 \
        if (! (account).active())                                                        \
            GTEST_SKIP() << "no mount namespace of the test's own can be made here "     \
                            "(run it through scripts/in-netns)";                         \
    } while (false)
