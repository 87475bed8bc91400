#include "updater/ZorvUpdater.h"
#include "updater/FirmwareImageWalker.h"

namespace
{
    constexpr int blockTries = 65;
}

// The walk yields the blocks of the file; this side sends them, reports the progress after
// each and stops at the first block that does not get through. Blocks sent before a fault
// in the file stay on the board: the caller reports the update as failed.
bool ZorvUpdater::programFirmwareImage (const DeviceRecord& record, const PanelAddress& address,
                                        const std::vector<uint8_t>& file, bool fpga, uint32_t flashLimit, bool verbose,
                                        const UpdaterEventCallback& callback)
{
    using Walker = FirmwareImageWalker;
    Walker walker (file.data(), file.size(), fpga ? Walker::Kind::RawImage : Walker::Kind::IntelHex, flashLimit);

    while (! cancel)
    {
        switch (walker.next())
        {
            case Walker::Step::End:
                return true;

            case Walker::Step::InvalidFile:
                logInvalidFirmwareFile (callback, verbose);
                return false;

            case Walker::Step::Block:
            {
                const bool sent = sendProgramBlock (record, address, walker.block(), walker.dataLength(), verbose, callback);
                sendProgress (callback, (float) walker.progress());
                if (! sent)
                    return false;
                break;
            }
        }
    }
    return false;
}

// A board that answers with its checksum-error code, or with any other code, is told again
// after a pause, as is one that gave no usable answer at all.
bool ZorvUpdater::sendProgramBlock (const DeviceRecord& record, const PanelAddress& address, const ProgramBlock& block,
                                    uint8_t dataLength, bool verbose, const UpdaterEventCallback& callback)
{
    for (int attempt = 0; attempt < blockTries && ! cancel; ++attempt)
    {
        TagReplyHead head;
        switch (programDevice (record, address, dataLength, block, head, timing.connectTimeoutMs, timing.replyTimeoutMs))
        {
            case DeviceResult::Success:
                return true;
            case DeviceResult::DownloadError:
                logIfVerbose (callback, "Checksum error during programming, retrying...", verbose, logLevel::warning);
                break;
            case DeviceResult::DownloadInvalidResponse:
                logIfVerbose (callback, "Invalid response from device, retrying...", verbose, logLevel::warning);
                break;
            default:
                break;
        }
        preciseSleep (timing.blockRetryPauseMs);
    }
    return false;
}
