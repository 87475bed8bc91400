#include "tools/firmware/DemoFirmware.h"

#include "updater/DeviceCatalogue.h"
#include "updater/FirmwareImageWalker.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace demofirmware
{
namespace
{
constexpr std::size_t recordLength = 16;

void writeFile (const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories (path.parent_path());
    std::ofstream out (path, std::ios::binary);
    out.write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
    if (! out)
        throw std::runtime_error ("cannot write " + path.string());
}
}

FirmwareImages makeImages (std::size_t bytes)
{
    const auto picBytes = std::max (recordLength, bytes / recordLength * recordLength);
    std::mt19937 random ((std::mt19937::result_type) bytes);
    FirmwareImages images;
    images.pic = { { FirmwareImageWalker::flashStart, testhex::randomBytes (random, picBytes) } };
    images.fpga = testhex::randomBytes (random, std::max<std::size_t> (1, bytes));
    return images;
}

void writeHexFilesTree (const std::filesystem::path& baseFolder, const FirmwareImages& images)
{
    testhex::HexFileWriter writer;
    writer.recordLength = (int) recordLength;
    const auto hex = writer.writeBytes (images.pic);

    for (const auto& files : toStdDeviceCatalogue().firmwareFiles)
        for (const auto& entry : files)
        {
            const auto path = baseFolder / "HexFiles" / entry;
            if (path.extension() == ".hex")
                writeFile (path, hex);
            else if (path.extension() == ".bin")
                writeFile (path, images.fpga);
        }
}

bool holdsImage (const zsim::BoardReport& board, const FirmwareImages& images)
{
    if (! board.fpgaStream.empty())
        return board.fpgaStream == images.fpga;
    if (board.picMemory.empty())
        return false;

    std::vector<uint8_t> stored;
    for (const auto& [address, data] : board.picMemory)
        stored.insert (stored.end(), data.begin(), data.end());
    const auto& [start, image] = *images.pic.begin();
    return board.picMemory.begin()->first == start && stored == image;
}
}
