#include "tests/support/VethNetworks.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace testnet
{
namespace
{
const char* const nearLink = "zorvnear";
const char* const farLink = "zorvfar";

int openThreadNamespace()
{
    return ::open ("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
}

bool run (const std::string& command)
{
    return std::system ((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool bringUp (const char* link, const char* address)
{
    return run (std::string ("ip addr add ") + address + "/24 dev " + link) && run (std::string ("ip link set ") + link + " up");
}
}

VethNetworks::VethNetworks()
{
    oldNamespace = openThreadNamespace();
    if (oldNamespace < 0 || ::unshare (CLONE_NEWNET) != 0)
        return;
    up = build();
}

bool VethNetworks::build()
{
    bool farMade = false;
    std::thread ([&]
    {
        farMade = ::unshare (CLONE_NEWNET) == 0 && (farNamespace = openThreadNamespace()) >= 0 && run ("ip link set lo up");
    }).join();
    if (! farMade || ! run ("ip link set lo up"))
        return false;

    // The far end is made straight into the far namespace, named by this process's handle on it.
    const auto farPath = "/proc/" + std::to_string (::getpid()) + "/fd/" + std::to_string (farNamespace);
    if (! run (std::string ("ip link add ") + nearLink + " type veth peer name " + farLink + " netns " + farPath)
        || ! bringUp (nearLink, nearAddress))
        return false;

    bool farUp = false;
    return inFarNetwork ([&] { farUp = bringUp (farLink, farAddress); }) && farUp;
}

VethNetworks::~VethNetworks()
{
    if (oldNamespace >= 0)
    {
        ::setns (oldNamespace, CLONE_NEWNET);
        ::close (oldNamespace);
    }
    if (farNamespace >= 0)
        ::close (farNamespace);
}

bool VethNetworks::setLocalPortRange (int first, int last)
{
    std::ofstream range ("/proc/sys/net/ipv4/ip_local_port_range");
    range << first << ' ' << last << '\n';
    range.flush();
    return static_cast<bool> (range);
}

bool VethNetworks::inFarNetwork (const std::function<void()>& work) const
{
    bool entered = false;
    std::thread ([&]
    {
        entered = farNamespace >= 0 && ::setns (farNamespace, CLONE_NEWNET) == 0;
        if (entered)
            work();
    }).join();
    return entered;
}
}
