#include "bench/Platform.h"

#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace benchplatform
{
namespace
{
    std::size_t statusField (const std::string& name)
    {
        std::ifstream status ("/proc/self/status");
        std::string line;
        while (std::getline (status, line))
            if (line.compare (0, name.size() + 1, name + ":") == 0)
                return std::stoul (line.substr (name.size() + 1)) * 1024;   // the figure is in kB
        return 0;
    }
}

std::size_t residentBytes()
{
    return statusField ("VmRSS");
}

std::size_t peakResidentBytes()
{
    return statusField ("VmHWM");
}

// Two pipes: the child writes one byte when its service is up (or closes the pipe when it
// failed); it then reads the other until this process closes it, and exits.
ChildProcess::ChildProcess (const std::function<bool()>& serve)
{
    int readyPipe[2], stopPipe[2];
    if (::pipe (readyPipe) != 0)
        return;
    if (::pipe (stopPipe) != 0)
    {
        ::close (readyPipe[0]);
        ::close (readyPipe[1]);
        return;
    }

    pid = ::fork();
    if (pid == 0)
    {
        ::close (readyPipe[0]);
        ::close (stopPipe[1]);
        const char flag = serve() ? 1 : 0;
        if (flag == 1 && ::write (readyPipe[1], &flag, 1) == 1)
        {
            char ignored;
            while (::read (stopPipe[0], &ignored, 1) > 0)
                ;
        }
        ::_exit (0);
    }

    ::close (readyPipe[1]);
    ::close (stopPipe[0]);
    stopWriter = stopPipe[1];
    char flag = 0;
    up = pid > 0 && ::read (readyPipe[0], &flag, 1) == 1 && flag == 1;
    ::close (readyPipe[0]);
}

ChildProcess::~ChildProcess()
{
    if (stopWriter >= 0)
        ::close (stopWriter);
    if (pid > 0)
    {
        int status = 0;
        ::waitpid (pid, &status, 0);
    }
}
}
