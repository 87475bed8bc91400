#include "tests/app/support/RunningApp.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace apptest
{
RunningApp::RunningApp (const std::string& executable, const std::string& home, const std::vector<std::string>& arguments)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp (*entry, "HOME=", 5) != 0)
            environment.emplace_back (*entry);
    environment.push_back ("HOME=" + home);

    std::vector<char*> envp, argv { const_cast<char*> (executable.c_str()) };
    for (auto& entry : environment)
        envp.push_back (entry.data());
    envp.push_back (nullptr);
    for (const auto& argument : arguments)
        argv.push_back (const_cast<char*> (argument.c_str()));
    argv.push_back (nullptr);

    if (posix_spawn (&pid, executable.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
}

RunningApp::~RunningApp()
{
    if (started() && ! exitCode)
    {
        ::kill (pid, SIGKILL);
        ::waitpid (pid, nullptr, 0);
    }
}

std::optional<int> RunningApp::waitForExit (std::chrono::milliseconds timeout)
{
    if (! started() || exitCode)
        return exitCode;

    waitUntil ([this]
    {
        int status = 0;
        if (::waitpid (pid, &status, WNOHANG) != pid)
            return false;
        exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
        return true;
    }, timeout);
    return exitCode;
}

namespace
{
int ignoreXErrors (Display*, XErrorEvent*)
{
    return 0;
}

std::string titleOf (Display* display, Window window)
{
    XTextProperty property {};
    if (! XGetWMName (display, window, &property) || property.value == nullptr)
        return {};
    std::string title ((const char*) property.value, property.nitems);
    XFree (property.value);
    return title;
}

std::optional<unsigned long> processOf (Display* display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const auto atom = XInternAtom (display, "_NET_WM_PID", True);
    if (atom == None || XGetWindowProperty (display, window, atom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                            &remaining, &data) != Success)
        return {};

    std::optional<unsigned long> pid;
    if (data != nullptr && type == XA_CARDINAL && format == 32 && count == 1)
        pid = *reinterpret_cast<unsigned long*> (data);
    if (data != nullptr)
        XFree (data);
    return pid;
}

void collectWindows (Display* display, Window window, pid_t process, const std::string& title,
                     std::vector<unsigned long>& found)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes (display, window, &attributes) && attributes.map_state == IsViewable
        && processOf (display, window) == (unsigned long) process && titleOf (display, window) == title)
        found.push_back (window);

    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree (display, window, &root, &parent, &children, &count))
    {
        for (unsigned int i = 0; i < count; ++i)
            collectWindows (display, children[i], process, title, found);
        if (children != nullptr)
            XFree (children);
    }
}
}

XDisplayProbe::XDisplayProbe()
{
    XSetErrorHandler (ignoreXErrors);
    display = XOpenDisplay (nullptr);

    // A bare X server has none of the atoms a window manager makes, and a client that does
    // not find them at its start takes no part in the close protocol.
    if (display != nullptr)
        for (const auto* name : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING" })
            XInternAtom (display, name, False);
}

XDisplayProbe::~XDisplayProbe()
{
    if (display != nullptr)
        XCloseDisplay (display);
}

std::vector<unsigned long> XDisplayProbe::windowsOf (pid_t process, const std::string& title)
{
    std::vector<unsigned long> found;
    collectWindows (display, DefaultRootWindow (display), process, title, found);
    return found;
}

XDisplayProbe::Geometry XDisplayProbe::geometry (unsigned long window)
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry (display, window, &root, &x, &y, &width, &height, &border, &depth);
    XTranslateCoordinates (display, window, root, 0, 0, &x, &y, &child);
    return { x, y, (int) width, (int) height };
}

XDisplayProbe::Geometry XDisplayProbe::screen()
{
    return { 0, 0, DisplayWidth (display, DefaultScreen (display)), DisplayHeight (display, DefaultScreen (display)) };
}

std::optional<unsigned long> XDisplayProbe::pixel (unsigned long window, int x, int y)
{
    auto* image = XGetImage (display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    const auto value = XGetPixel (image, 0, 0) & 0xffffff;
    XDestroyImage (image);
    return value;
}

void XDisplayProbe::requestClose (unsigned long window)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (display, window, False, NoEventMask, &event);
    XFlush (display);
}
}
