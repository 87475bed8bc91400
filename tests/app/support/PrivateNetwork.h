#pragma once

// The network a window test runs in: a namespace of the test process's own, where only
// loopback exists and 10.200.0.0/24 lies on it, so that an automatic scan finds exactly the
// devices the test starts and nothing it sends can leave the machine.

namespace apptest
{
// The computer's one address in that network; the devices take others of the /24.
inline const char* const ownAddress = "10.200.0.1";

// Moves the process into a network namespace of its own (and a user namespace, when it has
// no right to make the first alone), brings lo up and puts 10.200.0.1/24 on it. Call it
// before the process starts any thread: threads started earlier stay in the old network.
// False when no namespace can be made here; calling it again once it worked does nothing.
bool enterOwnNetwork();

// Takes the computer's one address away, or gives it back.
bool setOwnAddressPresent (bool present);

// While it lives, the calling thread cannot start threads (a start fails as when the system
// has no room for one); threads already running, and other threads, are not affected. The
// thread stays unable to start threads after the blocker has gone, so a test uses it last.
class ThreadStartBlocker
{
public:
    ThreadStartBlocker();

    // Whether a thread start from this thread now fails.
    bool blocking() const { return active; }

private:
    bool active = false;
};
}
