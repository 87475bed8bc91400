// Times the firmware image walk over a 1 MiB image written as Intel HEX with 16-byte
// records (65,536 data records and one extended address record per 64 KiB) and over the
// same image as a raw FPGA image, and prints records (slices) per second, best of 5 runs;
// then the judgement of the whole HEX file that a board update makes before it contacts
// the board.

#include "tools/hex/HexFileWriter.h"
#include "updater/FirmwareImageWalker.h"

#include <chrono>
#include <cstdio>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr std::size_t imageSize = 1024 * 1024;
constexpr int runs = 5;

struct Timing
{
    std::size_t blocks = 0;
    double seconds = 0.0;
};

Timing bestWalk (const std::vector<uint8_t>& file, FirmwareImageWalker::Kind kind)
{
    Timing best;
    for (int run = 0; run < runs; ++run)
    {
        const auto start = Clock::now();
        FirmwareImageWalker walker (file.data(), file.size(), kind, 0x1D200000);
        std::size_t blocks = 0;
        while (walker.next() == FirmwareImageWalker::Step::Block)
            ++blocks;
        const double seconds = std::chrono::duration<double> (Clock::now() - start).count();
        if (run == 0 || seconds < best.seconds)
            best = { blocks, seconds };
    }
    return best;
}

struct Judgement
{
    bool valid = false;
    double seconds = 0.0;
};

Judgement bestJudgement (const std::vector<uint8_t>& file)
{
    Judgement best;
    for (int run = 0; run < runs; ++run)
    {
        const auto start = Clock::now();
        const bool valid = FirmwareImageWalker::isWholeFileValid (file.data(), file.size(),
                                                                  FirmwareImageWalker::Kind::IntelHex, 0x1D200000);
        const double seconds = std::chrono::duration<double> (Clock::now() - start).count();
        if (run == 0 || seconds < best.seconds)
            best = { valid, seconds };
    }
    return best;
}

void report (const char* what, std::size_t fileBytes, const Timing& timing)
{
    std::printf ("%-10s %9zu bytes  %6zu blocks  %8.2f ms  %12.0f blocks/s  %8.1f MiB/s\n", what, fileBytes,
                 timing.blocks, timing.seconds * 1000.0, double (timing.blocks) / timing.seconds,
                 double (fileBytes) / timing.seconds / (1024.0 * 1024.0));
}
}

int main()
{
    std::mt19937 random (7);
    const auto image = testhex::randomBytes (random, imageSize);

    testhex::HexFileWriter hex;
    hex.recordLength = 16;
    const auto hexFile = hex.writeBytes ({ { 0x1D000000, image } });

    report ("Intel HEX", hexFile.size(), bestWalk (hexFile, FirmwareImageWalker::Kind::IntelHex));
    report ("raw image", image.size(), bestWalk (image, FirmwareImageWalker::Kind::RawImage));

    const auto judged = bestJudgement (hexFile);
    std::printf ("%-10s %9zu bytes  %-7s  %8.2f ms\n", "judged", hexFile.size(), judged.valid ? "valid" : "INVALID",
                 judged.seconds * 1000.0);
    return judged.valid ? 0 : 1;
}
