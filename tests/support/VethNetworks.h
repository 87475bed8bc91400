#pragma once

// Two network namespaces of a test's own, joined by a veth pair: the near one, where the
// computer under test runs, and the far one, where its devices run. Unlike loopback, a
// connection between them holds its closed local port for the whole TIME_WAIT, as on a
// real network. Nothing in either namespace can reach anything outside them.

#include <functional>

namespace testnet
{
class VethNetworks
{
public:
    static constexpr const char* nearAddress = "10.201.0.1";
    static constexpr const char* farAddress = "10.201.0.2";

    // Moves the calling thread, and the threads it starts from now on, into the near
    // namespace. Needs the right to make network namespaces (inside scripts/in-netns).
    VethNetworks();

    // Moves the calling thread back into its old namespace. Threads and sockets made in
    // the near namespace must be gone by then.
    ~VethNetworks();

    VethNetworks (const VethNetworks&) = delete;
    VethNetworks& operator= (const VethNetworks&) = delete;

    // Whether both namespaces and the pair between them are up.
    bool ready() const { return up; }

    // The near namespace's ephemeral ports, first to last.
    bool setLocalPortRange (int first, int last);

    // Runs `work` on a thread inside the far namespace and returns once it is done; the
    // threads it starts and the sockets it opens stay there. False when it could not enter.
    bool inFarNetwork (const std::function<void()>& work) const;

private:
    bool build();

    int oldNamespace = -1;
    int farNamespace = -1;
    bool up = false;
};
}
