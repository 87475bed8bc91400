#pragma once

// What the tests of a whole board update share: a console with quick boards, firmware
// files in a HexFiles tree of their own, the update run with the engine's own choice of
// file, and the events of a run written out as short lines.

#include "tests/updater/EngineFixture.h"
#include "tests/updater/ImageWalk.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"
#include "updater/BoardTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace updatetest
{
using namespace enginetest;
using Inspector = ZorvUpdaterInspector;

constexpr uint8_t interfaceIndex = 0;     // Monitor Interface, MonInterfacePIC.hex
constexpr uint8_t picIndex = 4;           // Channel Master 1-8, CentralProcessorPIC.hex
constexpr uint8_t fpgaIndex = 7;          // Channel Master FPGA 1-8, CentralProcessorFPGA.bin

// A few HEX records inside the window of either flash.
inline testhex::HexImage smallImage()
{
    std::mt19937 random (17);
    return { { imagewalk::windowStart, testhex::randomBytes (random, 40) },
             { 0x1D00FFF0, testhex::randomBytes (random, 40) } };
}

// Every event as a short line; a run of progress events is one line with their count.
inline std::vector<std::string> describe (const std::vector<Event>& events)
{
    std::vector<std::string> lines;
    int progressRun = 0;
    const auto closeRun = [&]
    {
        if (progressRun > 0)
            lines.push_back ("progress x" + std::to_string (progressRun));
        progressRun = 0;
    };
    for (const auto& e : events)
    {
        if (e.type == ZorvUpdater::Progress)
        {
            ++progressRun;
            continue;
        }
        closeRun();
        if (e.type == ZorvUpdater::LogLine)
            lines.push_back (std::to_string (e.level) + (e.replaceLastLine ? " replace " : " ") + e.text);
        else if (e.type == ZorvUpdater::ProgressBarState)
            lines.push_back (std::string ("bar ") + (e.visible ? "shown" : "hidden") + (e.resetProgress ? " reset" : "")
                             + (e.highlight ? " highlight" : ""));
        else
            lines.push_back ("event " + std::to_string (e.type));
    }
    closeRun();
    return lines;
}

inline std::vector<std::string> withoutLogLines (const std::vector<std::string>& described)
{
    std::vector<std::string> kept;
    for (const auto& line : described)
        if (line.empty() || ! std::isdigit ((unsigned char) line[0]))
            kept.push_back (line);
    return kept;
}

class BoardUpdates : public ::testing::Test
{
protected:
    BoardUpdates()
    {
        setup = zsim::consoleDevice (zsim::MasterFader::Manual);
        zsim::setBoardTimes (setup, std::chrono::milliseconds (100), std::chrono::milliseconds (20));
    }

    // The device as `setup` describes it, and an engine with `timing`.
    void start()
    {
        device = std::make_unique<zsim::DeviceSimulator> (setup, address);
        ASSERT_TRUE (device->start());
        engine = std::make_unique<ZorvUpdater> (baseFolder.getFullPathName().toStdString(), timing);
    }

    std::filesystem::path consoleFolder() const
    {
        return std::filesystem::u8path (baseFolder.getFullPathName().toStdString()) / "HexFiles" / "K470";
    }

    void writeFirmware (const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::filesystem::create_directories (consoleFolder());
        std::ofstream (consoleFolder() / name, std::ios::binary).write ((const char*) bytes.data(), (std::streamsize) bytes.size());
    }

    // The catalogue files of the PIC and FPGA boards used most.
    void writeSmallFirmware() const
    {
        writeFirmware ("CentralProcessorPIC.hex", testhex::HexFileWriter().writeBytes (smallImage()));
        writeFirmware ("MonInterfacePIC.hex", testhex::HexFileWriter().writeBytes (smallImage()));
        std::mt19937 random (23);
        writeFirmware ("CentralProcessorFPGA.bin", testhex::randomBytes (random, 200));
    }

    int update (uint8_t boardIndex, const UpdaterEventCallback& callback, bool verbose = true)
    {
        const auto file = Inspector::getFirmwareFile (*engine, console, boardIndex);
        return update (boardIndex, file, callback, verbose);
    }

    int update (uint8_t boardIndex, const FirmwareFileInfo& file, const UpdaterEventCallback& callback, bool verbose = true)
    {
        return Inspector::updatePanelFirmware (*engine, console, getPanelAddress (0, boardIndex), file, verbose, callback);
    }

    testfolders::TemporaryFolder base;
    juce::File baseFolder = base.file();   // the engine's folder, which holds HexFiles
    zsim::DeviceSetup setup;
    UpdaterTiming timing = compressedTiming();
    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device;
    std::unique_ptr<ZorvUpdater> engine;
    DeviceRecord console = recordFor (address, 0);
};
}
