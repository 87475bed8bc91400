#pragma once

// The data half of programming a board: walks the bytes of one firmware file once and
// yields, one at a time, the download blocks to send, each with the progress to report
// after it. It sends nothing, retries nothing and reports nothing itself.
//
//   Intel HEX (PIC boards): one block per data record whose bytes lie inside the program
//   flash window [flashStart, flashLimit); every record is checked first, and any fault
//   ends the walk as an invalid file.
//   Raw image (FPGA boards): one block per slice of up to 49 bytes.
//
//        next() ──► Block ──► next() ──► ... ──► End | InvalidFile (both final)

#include "updater/UpdaterTypes.h"

#include <cstddef>
#include <cstdint>

class FirmwareImageWalker final
{
public:
    enum class Kind
    {
        IntelHex,
        RawImage
    };

    enum class Step
    {
        Block,          // block(), dataLength() and progress() describe the block to send
        End,            // every block has been yielded
        InvalidFile     // a HEX record is malformed or fails its checksum; stop programming
    };

    static constexpr uint32_t flashStart = 0x1D000000;

    // The bytes stay the caller's and must outlive the walker; flashLimit is the exclusive
    // upper end of the window (only Intel HEX uses it).
    FirmwareImageWalker (const uint8_t* fileBytes, std::size_t fileSize, Kind kind, uint32_t flashLimit);

    // Walks the whole file by the same rules without yielding anything: whether a walk would
    // reach End rather than stop at an invalid record after blocks had gone to a board.
    static bool isWholeFileValid (const uint8_t* fileBytes, std::size_t fileSize, Kind kind, uint32_t flashLimit);

    Step next();

    const ProgramBlock& block() const { return current; }

    // The data length the program command takes for the current block: count + 11.
    uint8_t dataLength() const { return static_cast<uint8_t> (current.count + 11); }

    // The fraction of the file done once the current block is sent, 0 to 1.
    double progress() const { return progressAfterBlock; }

private:
    enum class RecordOutcome
    {
        Send,
        Skip,
        Invalid
    };

    Step nextRecord();
    Step nextSlice();
    RecordOutcome readRecord();
    bool readHexByte (uint8_t& value);
    RecordOutcome placeRecord (uint8_t rawCount) const;
    void setProgress (std::size_t done);

    const uint8_t* bytes;
    std::size_t size;
    Kind kind;
    uint32_t flashLimit;

    std::size_t position = 0;
    ProgramBlock current;
    double progressAfterBlock = 0.0;
    bool finished = false;
    Step finalStep = Step::End;
};
