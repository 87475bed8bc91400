#include "updater/ZorvUpdater.h"
#include "updater/BoardTables.h"
#include "updater/DeviceMessages.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace
{
    namespace fs = std::filesystem;

    // No board's flash holds more than a few MiB; anything larger is not a firmware file.
    constexpr std::uintmax_t maxFirmwareFileSize = 64u * 1024 * 1024;

    // Variants 0, 5 and 8 and an unknown variant take the catalogue file itself.
    bool hasOwnFile (uint8_t variant)
    {
        switch (variant)
        {
            case 1: case 2: case 3: case 4: case 6: case 7: case 9: case 10: case 11:
                return true;
            default:
                return false;
        }
    }

    // Absent covers a missing file or folder and a name the file system will not take;
    // any other failure (no permission, a loop of links) is the file system's error.
    bool pathExists (const fs::path& path)
    {
        std::error_code error;
        const auto status = fs::status (path, error);
        if (fs::status_known (status))
            return fs::exists (status);

        if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory
            || error == std::errc::filename_too_long || error == std::errc::invalid_argument)
            return false;
        throw fs::filesystem_error ("Cannot test firmware file", path, error);
    }
}

bool ZorvUpdater::isShortfallOfLineEnds (const std::string& path, std::streamoff shortfall)
{
    std::ifstream file (fs::u8path (path), std::ios::in | std::ios::binary);
    std::streamoff pairs = 0;
    char previous = 0, c = 0;
    while (file.get (c))
    {
        if (previous == '\r' && c == '\n')
            ++pairs;
        previous = c;
    }
    return ! file.bad() && file.eof() && pairs == shortfall;
}

FirmwareFileInfo ZorvUpdater::getFirmwareFile (const DeviceRecord& record, uint8_t boardIndex)
{
    const int deviceType = record.deviceType;
    if (deviceType < 0 || deviceType >= (int) firmwareFiles.size() || boardIndex >= firmwareFiles[(size_t) deviceType].size())
        throw std::out_of_range ("No firmware entry for board " + std::to_string (boardIndex)
                                 + " of device type " + std::to_string (deviceType));

    const auto address = getPanelAddress (deviceType, boardIndex);
    // A narrow path would be read in the code page on Windows, where folder names such as
    // a user's Downloads folder often hold letters beyond it.
    auto path = fs::u8path (baseDirectory) / "HexFiles" / fs::u8path (firmwareFiles[(size_t) deviceType][boardIndex]);

    if (path.extension().u8string() == ".bin")
        return { pathExists (path), true, enPICTypes_Max, path.u8string() };

    const auto variant = getPICType (record, address);
    if (hasOwnFile (variant))
        path.replace_filename (fs::u8path (path.stem().u8string() + "_" + picPartNames[variant] + ".hex"));

    return { pathExists (path), false, variant, path.u8string() };
}

uint8_t ZorvUpdater::getPICType (const DeviceRecord& record, const PanelAddress& address)
{
    // A console has one of the two master fader boards, which share their address but for
    // the Type: the absent one is not asked ten times.
    const auto index = findPanelIndex (record, address);
    if (index == 19 || index == 23)
    {
        TagReplyHead head;
        if (readDeviceId (record, address, head, timing.connectTimeoutMs, timing.replyTimeoutMs) != DeviceResult::Success)
            return enPICTypes_Max;
    }

    for (int attempt = 0; attempt < 10 && ! cancel; ++attempt)
    {
        TagBytes reply {};
        if (! readWriteGenTags (record, address, tagMessage::processorSubCommand, reply,
                                timing.connectTimeoutMs, timing.replyTimeoutMs))
            continue;

        const auto variant = tagMessage::processorVariant (reply, address);
        if (variant != enPICTypes_Max)
            return variant;
    }
    return enPICTypes_Max;
}

// Intel HEX files are read as text, images in binary. A text read that comes up short at
// the end of the file is whole only when the platform's text mode turned exactly the
// file's CR LF pairs into LF (the HEX reader skips line ends either way); any other
// shortfall, such as a text mode that stops at an end-of-file character, is a failed read.
std::vector<uint8_t> ZorvUpdater::readFirmwareFile (const std::string& path, bool binary)
{
    const auto filePath = fs::u8path (path);
    std::error_code error;
    if (! fs::is_regular_file (filePath, error) || fs::file_size (filePath, error) > maxFirmwareFileSize || error)
        return {};

    std::ifstream file (filePath, std::ios::in | std::ios::ate | (binary ? std::ios::binary : std::ios::openmode()));
    if (! file.is_open())
        return {};

    const std::streamoff size = file.tellg();
    if (size <= 0 || (std::uintmax_t) size > maxFirmwareFileSize)
        return {};
    file.seekg (0, std::ios::beg);

    std::vector<uint8_t> bytes ((std::size_t) size, 0);
    file.read (reinterpret_cast<char*> (bytes.data()), size);
    const auto got = file.gcount();
    if (got == size)
        return bytes;
    if (binary || ! file.eof() || file.bad() || ! isShortfallOfLineEnds (path, size - got))
        return {};

    bytes.resize ((std::size_t) got);
    return bytes;
}
