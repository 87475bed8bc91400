// libFuzzer target for the firmware image walk. Every input is walked as Intel HEX with
// both flash limits and as a raw image; besides the sanitizers' findings, a block that
// could put a wrong image on a board aborts the run.

#include "updater/FirmwareImageWalker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
void require (bool condition, const char* what)
{
    if (! condition)
    {
        std::fprintf (stderr, "firmware image walk: %s\n", what);
        std::abort();
    }
}

uint8_t sum (const uint8_t* first, std::size_t count)
{
    unsigned total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += first[i];
    return static_cast<uint8_t> (total);
}

void checkProgress (double progress, double& previous)
{
    require (progress > 0.0 && progress <= 1.0, "progress outside (0, 1]");
    require (progress >= previous, "progress went back");
    previous = progress;
}

void walkHex (const uint8_t* data, std::size_t size, uint32_t flashLimit)
{
    FirmwareImageWalker walker (data, size, FirmwareImageWalker::Kind::IntelHex, flashLimit);
    double previous = 0.0;
    std::size_t blocks = 0;
    while (walker.next() == FirmwareImageWalker::Step::Block)
    {
        // The shortest record that yields a block, ":01AAAA00DDCC", has 13 characters.
        require (++blocks <= size / 13, "more blocks than records");
        const auto& block = walker.block();
        require (block.count >= 1 && block.count <= ProgramBlock::maxCount, "count outside 1 to 49");
        require (block.count >= 16 || block.count % 4 == 0, "short count not padded");
        require (walker.dataLength() == block.count + 11, "data length is not count + 11");
        require (block.recordType == 0, "a record other than data was sent");

        const uint64_t start = uint64_t (block.address[0]) | uint64_t (block.address[1]) << 8
                             | uint64_t (block.address[2]) << 16 | uint64_t (block.address[3]) << 24;
        require (start >= FirmwareImageWalker::flashStart && start + block.count <= flashLimit, "block outside the window");

        const auto expected = static_cast<uint8_t> (block.count + sum (block.address.data(), 4) + block.recordType
                                                     + sum (block.data.data(), block.count));
        require (block.checksum == expected, "block checksum wrong");
        checkProgress (walker.progress(), previous);
    }
}

void walkRaw (const uint8_t* data, std::size_t size)
{
    FirmwareImageWalker walker (data, size, FirmwareImageWalker::Kind::RawImage, 0x1D200000);
    double previous = 0.0;
    std::size_t done = 0;
    FirmwareImageWalker::Step step;
    while ((step = walker.next()) == FirmwareImageWalker::Step::Block)
    {
        const auto& block = walker.block();
        require (block.count >= 1 && block.count <= ProgramBlock::maxCount, "slice count outside 1 to 49");
        require (block.count == ProgramBlock::maxCount || done + block.count == size, "short slice before the end");
        require (done + block.count <= size, "slice past the end of the image");
        require (std::memcmp (block.data.data(), data + done, block.count) == 0, "slice differs from the image");
        require (block.checksum == sum (block.data.data(), block.count), "slice checksum wrong");
        require (walker.dataLength() == block.count + 11, "data length is not count + 11");
        done += block.count;
        checkProgress (walker.progress(), previous);
    }
    require (step == (size == 0 ? FirmwareImageWalker::Step::InvalidFile : FirmwareImageWalker::Step::End), "wrong ending");
    require (done == size, "image not sent whole");
    require (size == 0 || previous == 1.0, "progress does not end at 1");
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, std::size_t size)
{
    walkHex (data, size, 0x1D100000);
    walkHex (data, size, 0x1D200000);
    walkRaw (data, size);
    return 0;
}
