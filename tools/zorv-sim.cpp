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
        "usage: zorv-sim --device ADDRESS[,type=N][,name=TEXT][,mac=XX:XX:XX:XX:XX:XX][,ip=A.B.C.D]"
        "[,status=N][,option=N][,fader=N] [--device ...]";

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

        devices.push_back (std::make_unique<zsim::DeviceSimulator> (option->identity, option->address));
        if (! devices.back()->start())
        {
            std::cerr << "zorv-sim: cannot listen on " << option->address << ":" << devices.back()->port() << "\n";
            return 1;
        }
        std::cout << "zorv-sim: serving " << option->address << ":" << devices.back()->port() << std::endl;
    }

    if (devices.empty())
        return fail ("no device given");

    waitForTermination();
    return 0;
}
