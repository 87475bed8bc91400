#pragma once

// What the operation and version-scan tests share: a simulated device with quick boards,
// firmware files for every board of the device types that have them, an engine whose waits
// are compressed further than the exchange tests need (the restart waits count thousands
// of ticks), a recorder that answers message boxes as the window does, and the narrative
// of an operation as a short table of rows.

#include "tests/updater/EngineFixture.h"
#include "tools/hex/HexFileWriter.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestNet.h"
#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace optest
{
using enginetest::Event;

// A restart wait of 1875 ticks lasts about 0.2 s; an interface board is probed from about
// 0.16 s on, after the simulated board (20 ms) is long back.
UpdaterTiming operationTiming();

enum class Kind
{
    Clear,
    Section,
    Line,       // a log line that adds a line
    Replace,    // a log line that replaces the last one
    Box,        // value: the icon
    Controls,   // value: 1 enabled, 0 disabled
    Finished    // value: 1 success, 0 failure
};

// One event of an operation's narrative, progress left out. A text that ends in '*'
// stands for every text that begins with what comes before the '*'.
struct Row
{
    Kind kind;
    int value = 0;
    std::string text;
};

std::ostream& operator<< (std::ostream& out, const Row& row);

std::vector<Row> narrative (const std::vector<Event>& events);
::testing::AssertionResult sameNarrative (const std::vector<Row>& expected, const std::vector<Row>& actual);

// Polls the condition until it holds or the time is up: for what no event announces.
bool eventually (std::function<bool()> condition, std::chrono::milliseconds timeout = std::chrono::seconds (60));

// The frame every operation puts around its own rows.
std::vector<Row> framed (std::vector<Row> body, const std::string& finishedText, bool success = true);

// Every event in order. A message box with an answer slot is answered the way the window
// would, with the next answer of the list (none left: left unanswered), at once or from
// another thread after a delay. `joinAnswers` must run before the engine goes.
class Recorder
{
public:
    struct Answer
    {
        int code = 0;
        std::chrono::milliseconds delay { 0 };
    };

    ~Recorder();

    void answerWith (std::vector<Answer> list);
    // Called on the worker with each event once it is recorded (and its answer on its
    // way); may throw.
    void onEvent (std::function<void (const Event&)> hook);

    UpdaterEventCallback callback();
    bool waitFor (std::function<bool (const std::vector<Event>&)> condition,
                  std::chrono::milliseconds timeout = std::chrono::seconds (60));
    bool waitForFinish();
    std::vector<Event> all() const;
    std::vector<Row> rows() const { return narrative (all()); }
    void joinAnswers();

private:
    void record (const Event& event);

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<Event> events;
    std::vector<Answer> answers;
    std::function<void (const Event&)> hook;
    std::vector<std::thread> answerThreads;
};

// The HEX image every PIC firmware file holds, and the bytes of every FPGA image.
const testhex::HexImage& picImage();
const std::vector<uint8_t>& fpgaImage();

class OperationTest : public ::testing::Test
{
protected:
    OperationTest();
    ~OperationTest() override;

    // Starts the device with quick boards; its record is what a discover request gets.
    void startDevice (zsim::DeviceSetup setup);
    DeviceRecord record() const;
    zsim::BoardReport board (std::size_t index) const { return device->board (index); }

    // The board's memory holds exactly the firmware file's image.
    bool holdsFirmware (std::size_t index) const;

    testfolders::TemporaryFolder base;
    const std::string address = testnet::loopbackAddress (0);
    std::unique_ptr<zsim::DeviceSimulator> device;
    Recorder recorder;
    std::unique_ptr<ZorvUpdater> engine;
};
}
