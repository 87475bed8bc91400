// Serves simulated devices until SIGINT or SIGTERM, for trying the application by hand.

#include "tools/sim/DeviceOption.h"
#include "tools/sim/DeviceSimulator.h"

#include <boost/asio.hpp>

#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

namespace
{
    const char* const usage =
        "usage: zorv-sim --device ADDRESS[,SETTING=VALUE]... [--device ...]\n"
        "\n"
        "Serves one simulated device per --device on ADDRESS, TCP port 51000, until SIGINT or\n"
        "SIGTERM. Use loopback addresses, or run it inside a private network namespace.\n"
        "\n"
        "Record settings:\n"
        "  type=N         device type 0-8 (default 0); it brings the type's standard boards\n"
        "  name=TEXT      device name, at most 31 bytes\n"
        "  mac=XX:XX:XX:XX:XX:XX\n"
        "  ip=A.B.C.D     address in the record (default: ADDRESS)\n"
        "  status=N       status byte\n"
        "  option=N       option word; for type 1, bit value 2 fits boards 1 and 2, 8 boards 3 and 4\n"
        "  fader=N        motorised fader word (type 0 default: 1 with master=motorised, else 0)\n"
        "  master=manual|motorised|none\n"
        "                 type 0: the master fader board fitted (default motorised; manual\n"
        "                 leaves out boards 20-23, motorised board 19, none boards 19 and 23)\n"
        "\n"
        "Board settings, for every board, or with .I for board index I only:\n"
        "  version[.I]=N  firmware version it runs (default: the release version)\n"
        "  new[.I]=N      version it runs once programmed (default: the release version)\n"
        "  variant[.I]=N|none\n"
        "                 processor variant (default 0 on PIC boards; none: no answer)\n"
        "  restart[.I]=MS restart time in milliseconds (default 100)\n"
        "  erase[.I]=MS   erase time in milliseconds (default 20)\n"
        "  absent=I       board I does not answer (repeatable)\n"
        "  bootmode=I     board I starts in boot mode (repeatable)\n"
        "\n"
        "Numbers may be decimal or 0x-prefixed hexadecimal. Example:\n"
        "  zorv-sim --device 127.0.0.2,type=0,name=FOH,master=manual,version.4=12,restart=2000";

    int fail (const std::string& message)
    {
        std::cerr << "zorv-sim: " << message << "\n" << usage << "\n";
        return 2;
    }

    void waitForTermination()
    {
        boost::asio::io_context io;
        boost::asio::signal_set signals (io, SIGINT, SIGTERM);
        signals.async_wait ([] (const boost::system::error_code&, int) {});
        io.run();
    }
}

int main (int argc, char** argv)
{
    std::vector<std::unique_ptr<zsim::DeviceSimulator>> devices;

    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp (argv[i], "--help") == 0)
        {
            std::cout << usage << "\n";
            return 0;
        }
        if (std::strcmp (argv[i], "--device") != 0 || i + 1 == argc)
            return fail (std::string ("unexpected argument: ") + argv[i]);

        std::string error;
        const auto option = zsim::parseDeviceOption (argv[++i], error);
        if (! option)
            return fail (error);

        devices.push_back (std::make_unique<zsim::DeviceSimulator> (option->setup, option->address));
        if (! devices.back()->start())
        {
            std::cerr << "zorv-sim: cannot listen on " << option->address << ":" << devices.back()->port() << "\n";
            return 1;
        }
        std::cout << "zorv-sim: serving " << option->address << ":" << devices.back()->port()
                  << " (type " << option->setup.identity.deviceType << ", " << devices.back()->boardCount() << " boards)" << std::endl;
    }

    if (devices.empty())
        return fail ("no device given");

    waitForTermination();
    return 0;
}
