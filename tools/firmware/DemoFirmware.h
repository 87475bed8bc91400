#pragma once

// Firmware files for simulated devices: a HexFiles tree with a valid file for every board
// of the device types that have firmware, and the check that a simulated board holds what
// its file carries. Shared by the demo, the window's end-to-end tests and the benchmarks.

#include "tools/hex/HexFileWriter.h"
#include "tools/sim/BoardTypes.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace demofirmware
{
// One image for every PIC file (in the program flash, from its start) and one for every
// FPGA file. A PIC image is a whole number of 16-byte records, so that a board stores it
// without padding.
struct FirmwareImages
{
    testhex::HexImage pic;
    std::vector<uint8_t> fpga;
};

// Images of about the given size, the same for every call with that size.
FirmwareImages makeImages (std::size_t bytes);

// Writes baseFolder/HexFiles/<type folder>/<file> for every firmware file of the catalogue:
// Intel HEX for the PIC boards, the raw image for the FPGA boards.
void writeHexFilesTree (const std::filesystem::path& baseFolder, const FirmwareImages& images);

// The board's memory holds exactly the image its kind of file carries.
bool holdsImage (const zsim::BoardReport& board, const FirmwareImages& images);
}
