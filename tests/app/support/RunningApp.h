#pragma once

// The application as a separate process on the X display DISPLAY names, and a look at its
// windows from outside, as a user's desktop would see them. Shared by the application's
// tests and its start-up benchmark.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

namespace apptest
{
// Starts the executable with HOME pointed at the given folder; a process still running
// when the object goes is killed.
class RunningApp
{
public:
    RunningApp (const std::string& executable, const std::string& home, const std::vector<std::string>& arguments = {});
    ~RunningApp();

    RunningApp (const RunningApp&) = delete;
    RunningApp& operator= (const RunningApp&) = delete;

    bool started() const { return pid > 0; }
    pid_t processId() const { return pid; }

    // The exit code once the process has ended (or 128 + signal); empty on time-out.
    std::optional<int> waitForExit (std::chrono::milliseconds timeout);

private:
    pid_t pid = -1;
    std::optional<int> exitCode;
};

// One connection to the X server, with an error handler that lets a request on a window
// that has just gone fail quietly instead of ending the process. Make it before the
// application starts, so that the application finds the window manager's atoms.
class XDisplayProbe
{
public:
    XDisplayProbe();
    ~XDisplayProbe();

    XDisplayProbe (const XDisplayProbe&) = delete;
    XDisplayProbe& operator= (const XDisplayProbe&) = delete;

    bool connected() const { return display != nullptr; }

    // The mapped windows of the process whose title is exactly the given text.
    std::vector<unsigned long> windowsOf (pid_t process, const std::string& title);

    struct Geometry
    {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Geometry geometry (unsigned long window);
    Geometry screen();

    // The window's pixel as 0xRRGGBB, empty when it cannot be read.
    std::optional<unsigned long> pixel (unsigned long window, int x, int y);

    // What a window manager sends when the user presses the close button.
    void requestClose (unsigned long window);

private:
    ::_XDisplay* display = nullptr;
};

// Waits until the condition holds, checking every millisecond; false on time-out.
template <typename Condition>
bool waitUntil (Condition condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (! condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
    return true;
}
}
