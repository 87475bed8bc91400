#pragma once

// What the benchmarks need from the operating system: the process's memory figures, and a
// helper process to put a simulated device in, so that its memory is not counted as the
// engine's.

#include <cstddef>
#include <functional>

namespace benchplatform
{
// VmRSS and VmHWM of this process, in bytes; 0 when they cannot be read.
std::size_t residentBytes();
std::size_t peakResidentBytes();

// Forks a process that runs `serve` (which starts its service and says whether it is up)
// and then waits until this object goes. Make it before this process starts any thread.
class ChildProcess final
{
public:
    explicit ChildProcess (const std::function<bool()>& serve);
    ~ChildProcess();

    ChildProcess (const ChildProcess&) = delete;
    ChildProcess& operator= (const ChildProcess&) = delete;

    // True once the child's service is up; false when it could not start.
    bool ready() const { return up; }

private:
    int pid = -1;
    int stopWriter = -1;
    bool up = false;
};
}
