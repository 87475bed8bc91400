#include "discovery/NetworkDiscovery.h"
#include "tests/discovery/SimulatedDevices.h"
#include "tests/support/TestNet.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>

// Limits of the Linux process model: the address space and the open-file limit.

using namespace discoverytest;
using std::chrono::steady_clock;

namespace
{
// The process's virtual memory size in bytes, from /proc/self/status.
rlim_t virtualMemorySize()
{
    std::ifstream status ("/proc/self/status");
    std::string line;
    while (std::getline (status, line))
        if (line.rfind ("VmSize:", 0) == 0)
            return (rlim_t) std::stoull (line.substr (7)) * 1024;
    return 0;
}

// Lowers the address-space limit for its lifetime, so that only a few more thread
// stacks fit.
class AddressSpaceLimit
{
public:
    explicit AddressSpaceLimit (rlim_t headroom)
    {
        ::getrlimit (RLIMIT_AS, &previous);
        rlimit lowered = previous;
        lowered.rlim_cur = virtualMemorySize() + headroom;
        applied = ::setrlimit (RLIMIT_AS, &lowered) == 0;
    }

    ~AddressSpaceLimit() { ::setrlimit (RLIMIT_AS, &previous); }

    bool applied = false;

private:
    rlimit previous {};
};
}

TEST (ScanResources, ProbeThreadsThatCannotStartEndTheScan)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer runtimes need address space of their own at every thread start";
#endif
    Completion done;
    const auto own = testnet::loopbackAddress (0);
    const auto first = startDevice (identity (1, "first", 0x01), testnet::loopbackAddress (1));
    const auto last = startDevice (identity (2, "last", 0x02), testnet::loopbackAddress (253));

    NetworkDiscovery discovery ([own] { return std::vector<std::string> { own }; });
    bool started = false;
    auto elapsed = steady_clock::duration();
    {
        // Room for the scan thread and a dozen probes, not for 253.
        AddressSpaceLimit limit (192u << 20);
        ASSERT_TRUE (limit.applied);
        const auto start = steady_clock::now();
        started = discovery.startDiscovery (false, {}, {}, 2, done.callback());
        if (started)
            done.waitForCall();
        elapsed = steady_clock::now() - start;
    }

    ASSERT_TRUE (started);
    ASSERT_EQ (done.count(), 1);
    EXPECT_TRUE (discovery.isIdle());
    EXPECT_EQ (first->connectionCount(), 1u);
    EXPECT_EQ (last->connectionCount(), 0u);
    EXPECT_EQ (discovery.getDevices().size(), 1u);
    // Ended with the failed pass: no pause, no second pass.
    EXPECT_LT (elapsed, std::chrono::milliseconds (900));
}

TEST (ScanResources, OpenFileLimitRaisedForHundredsOfProbes)
{
    rlimit limit {};
    ASSERT_EQ (::getrlimit (RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max <= 256)
        GTEST_SKIP() << "the hard limit leaves nothing to raise";
    limit.rlim_cur = 256;
    ASSERT_EQ (::setrlimit (RLIMIT_NOFILE, &limit), 0);

    NetworkDiscovery discovery;

    rlimit raised {};
    ASSERT_EQ (::getrlimit (RLIMIT_NOFILE, &raised), 0);
    EXPECT_EQ (raised.rlim_cur, raised.rlim_max);
}
