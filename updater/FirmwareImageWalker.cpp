#include "updater/FirmwareImageWalker.h"
#include "updater/HexByte.h"

#include <algorithm>
#include <cstring>

namespace
{
// Counts below 16 that are no multiple of 4 are rounded up with zero bytes, because the
// boot loader writes whole 32-bit words.
uint8_t paddedCount (uint8_t count)
{
    if (count < 16 && count % 4 != 0)
        return static_cast<uint8_t> ((count + 3) & ~3);
    return count;
}

uint8_t byteSum (const uint8_t* first, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += first[i];
    return static_cast<uint8_t> (sum);
}
}

FirmwareImageWalker::FirmwareImageWalker (const uint8_t* fileBytes, std::size_t fileSize, Kind kindToWalk, uint32_t limit)
    : bytes (fileBytes), size (fileSize), kind (kindToWalk), flashLimit (limit)
{
    current.address = { 0xFF, 0xFF, 0x00, 0x00 };
    current.recordType = 0xFF;
    current.data.fill (0xFF);
}

bool FirmwareImageWalker::isWholeFileValid (const uint8_t* fileBytes, std::size_t fileSize, Kind kind, uint32_t limit)
{
    FirmwareImageWalker walker (fileBytes, fileSize, kind, limit);
    auto step = walker.next();
    while (step == Step::Block)
        step = walker.next();
    return step == Step::End;
}

FirmwareImageWalker::Step FirmwareImageWalker::next()
{
    if (finished)
        return finalStep;

    const auto step = kind == Kind::IntelHex ? nextRecord() : nextSlice();
    if (step != Step::Block)
    {
        finished = true;
        finalStep = step;
    }
    return step;
}

FirmwareImageWalker::Step FirmwareImageWalker::nextSlice()
{
    // An empty image would leave the erased board empty while reporting success.
    if (size == 0)
        return Step::InvalidFile;
    if (position >= size)
        return Step::End;

    const auto count = std::min<std::size_t> (ProgramBlock::maxCount, size - position);
    std::copy_n (bytes + position, count, current.data.begin());
    current.count = static_cast<uint8_t> (count);
    current.checksum = byteSum (current.data.data(), count);
    position += count;
    setProgress (position);
    return Step::Block;
}

FirmwareImageWalker::Step FirmwareImageWalker::nextRecord()
{
    for (;;)
    {
        if (position >= size)
            return Step::End;
        const auto* colon = static_cast<const uint8_t*> (std::memchr (bytes + position, ':', size - position));
        if (colon == nullptr)
            return Step::End;
        position = std::size_t (colon - bytes) + 1;

        switch (readRecord())
        {
            case RecordOutcome::Send:    return Step::Block;
            case RecordOutcome::Skip:    break;
            case RecordOutcome::Invalid: return Step::InvalidFile;
        }
    }
}

// Reads the record that starts at position (just past its ':') into the block. Every
// character of the record must be a hexadecimal digit and the record must end inside the
// file; a count above what the block holds, a wrong checksum or an extended linear address
// record without exactly two data bytes make the file invalid.
FirmwareImageWalker::RecordOutcome FirmwareImageWalker::readRecord()
{
    uint8_t count = 0, addressHigh = 0, addressLow = 0, type = 0;
    if (! readHexByte (count) || count > ProgramBlock::maxCount)
        return RecordOutcome::Invalid;
    if (! readHexByte (addressHigh) || ! readHexByte (addressLow) || ! readHexByte (type))
        return RecordOutcome::Invalid;

    std::fill_n (current.data.begin(), 16, uint8_t (0));
    for (int i = 0; i < count; ++i)
        if (! readHexByte (current.data[std::size_t (i)]))
            return RecordOutcome::Invalid;

    const auto checksumPosition = position;
    uint8_t checksum = 0;
    if (! readHexByte (checksum))
        return RecordOutcome::Invalid;
    const auto sum = static_cast<uint8_t> (count + addressHigh + addressLow + type + byteSum (current.data.data(), count));
    if (static_cast<uint8_t> (sum + checksum) != 0)
        return RecordOutcome::Invalid;

    if (type == 4)
    {
        if (count != 2)
            return RecordOutcome::Invalid;
        current.address[3] = current.data[0];
        current.address[2] = current.data[1];
    }

    current.count = paddedCount (count);
    current.address[0] = addressLow;
    current.address[1] = addressHigh;
    current.recordType = type;
    current.checksum = static_cast<uint8_t> (current.count + byteSum (current.address.data(), current.address.size())
                                             + current.recordType + byteSum (current.data.data(), current.count));
    setProgress (checksumPosition);

    if (type != 0 || count == 0)
        return RecordOutcome::Skip;
    return placeRecord (count);
}

// A data record is sent when all of it, padding included, lies inside the window, and
// skipped when none of its data does. A record across either edge would have to be
// written past the window or lose data inside it: the file is treated as invalid.
FirmwareImageWalker::RecordOutcome FirmwareImageWalker::placeRecord (uint8_t rawCount) const
{
    const uint64_t start = uint64_t (current.address[0]) | uint64_t (current.address[1]) << 8
                         | uint64_t (current.address[2]) << 16 | uint64_t (current.address[3]) << 24;
    const auto dataEnd = start + rawCount;
    const auto blockEnd = start + current.count;

    if (dataEnd <= flashStart || start >= flashLimit)
        return RecordOutcome::Skip;
    if (start >= flashStart && blockEnd <= flashLimit)
        return RecordOutcome::Send;
    return RecordOutcome::Invalid;
}

bool FirmwareImageWalker::readHexByte (uint8_t& value)
{
    if (size - position < 2)
        return false;
    const auto ok = parseHexByte (reinterpret_cast<const char*> (bytes + position), value);
    position += 2;
    return ok;
}

void FirmwareImageWalker::setProgress (std::size_t done)
{
    progressAfterBlock = std::min (1.0, double (done) / double (size));
}
