// Writes a HexFiles tree of valid firmware files for simulated devices, for trying the
// application without hardware: zorv-demo-firmware FOLDER [KiB per image, default 8].

#include "tools/firmware/DemoFirmware.h"

#include <cstdlib>
#include <exception>
#include <iostream>

int main (int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::cerr << "usage: zorv-demo-firmware FOLDER [KiB per image, default 8]\n"
                     "Writes FOLDER/HexFiles with a firmware file for every board that has one.\n";
        return 2;
    }

    const auto kib = argc == 3 ? std::strtoul (argv[2], nullptr, 10) : 8ul;
    if (kib == 0 || kib > 1000)
    {
        std::cerr << "zorv-demo-firmware: the size must be 1 to 1000 KiB\n";
        return 2;
    }

    try
    {
        demofirmware::writeHexFilesTree (argv[1], demofirmware::makeImages (kib * 1024));
    }
    catch (const std::exception& e)
    {
        std::cerr << "zorv-demo-firmware: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
