#include "tests/app/support/PrivateNetwork.h"

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

namespace apptest
{
namespace
{
bool writeProcFile (const char* path, const std::string& text)
{
    std::ofstream out (path);
    out << text;
    out.flush();
    return static_cast<bool> (out);
}

// Without the right to make a network namespace, a user namespace of the process's own
// gives it (the process is root there, mapped to its own user outside).
bool unshareNetwork()
{
    if (::unshare (CLONE_NEWNET) == 0)
        return true;
    if (errno != EPERM)
        return false;

    const auto uid = ::getuid();
    const auto gid = ::getgid();
    if (::unshare (CLONE_NEWUSER | CLONE_NEWNET) != 0)
        return false;
    return writeProcFile ("/proc/self/setgroups", "deny")
        && writeProcFile ("/proc/self/uid_map", "0 " + std::to_string (uid) + " 1")
        && writeProcFile ("/proc/self/gid_map", "0 " + std::to_string (gid) + " 1");
}

int run (const std::string& command)
{
    return std::system ((command + " >/dev/null 2>&1").c_str());
}
}

bool enterOwnNetwork()
{
    static bool entered = false;
    if (entered)
        return true;
    if (! unshareNetwork())
        return false;

    entered = run ("ip link set lo up") == 0 && setOwnAddressPresent (true);
    return entered;
}

bool setOwnAddressPresent (bool present)
{
    return run (std::string ("ip addr ") + (present ? "add " : "del ") + ownAddress + "/24 dev lo") == 0;
}

// A seccomp filter on this thread: clone3 is unknown (the C library then uses clone), and a
// clone that makes a thread fails for want of resources. Processes can still be started.
ThreadStartBlocker::ThreadStartBlocker()
{
   #if defined (__x86_64__)
    sock_filter filter[] = {
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, (unsigned) offsetof (seccomp_data, arch)),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, (unsigned) offsetof (seccomp_data, nr)),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_clone3, 0, 1),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 0, 3),
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, (unsigned) offsetof (seccomp_data, args[0])),
        BPF_JUMP (BPF_JMP | BPF_JSET | BPF_K, CLONE_THREAD, 0, 1),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program { (unsigned short) (sizeof (filter) / sizeof (filter[0])), filter };

    if (::prctl (PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl (PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        return;

    try
    {
        std::thread probe ([] {});
        probe.join();
    }
    catch (const std::system_error&)
    {
        active = true;
    }
   #endif
}
}
