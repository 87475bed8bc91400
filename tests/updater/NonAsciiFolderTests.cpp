// The engine in a folder whose name has letters beyond ASCII, as a user's Downloads folder
// often has: a Latin-1 letter, a blank and a script outside Latin-1. The firmware files are
// found, read and programmed from there, and their names come back as the folder holds them.

#include "tests/updater/UpdateFixture.h"

using namespace updatetest;

namespace
{
class NonAsciiFolder : public BoardUpdates
{
protected:
    NonAsciiFolder()
    {
        baseFolder = base.file().getChildFile (juce::String::fromUTF8 ("Prüfung Ö")).getChildFile (juce::String::fromUTF8 ("Ελληνικά"));
        baseFolder.createDirectory();
    }

    juce::File consoleFile (const char* name) const
    {
        return baseFolder.getChildFile ("HexFiles").getChildFile ("K470").getChildFile (name);
    }

    std::vector<std::string> logLines (const EventLog& log) const
    {
        std::vector<std::string> lines;
        for (const auto& line : describe (log.all()))
            if (! line.empty() && std::isdigit ((unsigned char) line[0]))
                lines.push_back (line);
        return lines;
    }
};
}

TEST_F (NonAsciiFolder, FirmwareFilesAreFoundAndReadByTheirTrueNames)
{
    setup.boards[picIndex].variant = 2;
    writeSmallFirmware();
    writeFirmware ("CentralProcessorPIC_PIC32MZ1024EFG144.hex", testhex::HexFileWriter().writeBytes (smallImage()));
    start();

    struct Case { uint8_t board; const char* file; bool isImage; };
    for (const auto& c : { Case { picIndex, "CentralProcessorPIC_PIC32MZ1024EFG144.hex", false },
                           Case { fpgaIndex, "CentralProcessorFPGA.bin", true } })
    {
        SCOPED_TRACE (c.file);
        const auto info = Inspector::getFirmwareFile (*engine, console, c.board);
        EXPECT_TRUE (info.exists);
        EXPECT_EQ (info.isImage, c.isImage);
        const auto expected = consoleFile (c.file);
        EXPECT_EQ (juce::File (juce::String::fromUTF8 (info.path.c_str())), expected) << info.path;

        juce::MemoryBlock written;
        ASSERT_TRUE (expected.loadFileAsData (written));
        const auto* bytes = static_cast<const uint8_t*> (written.getData());
        EXPECT_EQ (Inspector::readFirmwareFile (info.path, c.isImage), std::vector<uint8_t> (bytes, bytes + written.getSize()));
    }
}

TEST_F (NonAsciiFolder, UpdateOperationProgramsTheBoardFromThere)
{
    setup.boards[picIndex].version = 13;
    writeSmallFirmware();
    start();

    EventLog log;
    engine->startUpdatePanel (console, picIndex, log.callback());
    ASSERT_TRUE (log.waitForFinish());

    const auto lines = logLines (log);
    EXPECT_NE (std::find (lines.begin(), lines.end(), "1 Firmware file: CentralProcessorPIC.hex (14)"), lines.end());
    ASSERT_FALSE (lines.empty());
    EXPECT_EQ (lines.back().rfind ("2 Channel Master 1-8: Update Successful! ", 0), 0u) << lines.back();
    const auto board = device->board (picIndex);
    EXPECT_EQ (board.version, 14);
    imagewalk::expectFlashHoldsImage (flashOf (board), smallImage(), imagewalk::limit2048K,
                                      board.count (zsim::BoardRequest::ProgramBlock));
}
