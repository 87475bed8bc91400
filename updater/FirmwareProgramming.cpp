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
    LocalPortWait portWait;

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
                const bool sent = sendProgramBlock (record, address, walker.block(), walker.dataLength(), verbose, callback,
                                                    portWait);
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
                                    uint8_t dataLength, bool verbose, const UpdaterEventCallback& callback,
                                    LocalPortWait& portWait)
{
    portWait.since.reset();
    for (int attempt = 0; attempt < blockTries && ! cancel;)
    {
        TagReplyHead head;
        const auto result = programDevice (record, address, dataLength, block, head, timing.connectTimeoutMs,
                                           timing.replyTimeoutMs);
        if (result == DeviceResult::Success)
            return true;
        if (result == DeviceResult::NoLocalPort && awaitLocalPort (portWait, verbose, callback))
            continue;

        if (result == DeviceResult::DownloadError)
            logIfVerbose (callback, "Checksum error during programming, retrying...", verbose, logLevel::warning);
        else if (result == DeviceResult::DownloadInvalidResponse)
            logIfVerbose (callback, "Invalid response from device, retrying...", verbose, logLevel::warning);
        ++attempt;
        preciseSleep (timing.blockRetryPauseMs);
    }
    return false;
}

// Every block is a connection of its own, which this side closes first, so each leaves its
// local port held for the system's TIME_WAIT (60 s on Linux, up to 240 s on Windows): a large
// image can use up every port. A try that could not connect for that reason never reached
// the board and costs none of the block's tries; it is repeated after a short pause until a
// port has come free, for at most localPortWaitMs from the block's first such try. False
// once that time is over: the try then counts like any other.
bool ZorvUpdater::awaitLocalPort (LocalPortWait& portWait, bool verbose, const UpdaterEventCallback& callback)
{
    const auto now = std::chrono::steady_clock::now();
    if (! portWait.since)
        portWait.since = now;
    if (now - *portWait.since >= std::chrono::duration<double, std::milli> (timing.localPortWaitMs))
        return false;

    if (! portWait.announced)
        logIfVerbose (callback, "No free network port on this computer, waiting for one...", verbose, logLevel::warning);
    portWait.announced = true;
    preciseSleep (timing.localPortPollMs);
    return true;
}
