// Destroying the engine while a board update waits: whatever the update is waiting for, the
// wait ends at once and the update ends without success. Each case stretches the wait it
// cancels far beyond the bound the destruction is given.

#include "tests/updater/UpdateFixture.h"

#include <future>
#include <optional>

using namespace updatetest;
using zsim::BoardFault;
using zsim::BoardRequest;
using zsim::Fault;

namespace
{
constexpr auto generous = std::chrono::seconds (20);
constexpr auto promptly = std::chrono::seconds (10);

struct Phase
{
    const char* name;
    uint8_t board;
    bool bootMode;                                  // the board waits in its boot loader from the start
    std::function<void (UpdaterTiming&)> stretch;   // makes the phase last 25 s or more
    std::optional<BoardFault> fault;
    std::string trigger;                            // the event (as described) just before the phase
    int occurrence;
};

void PrintTo (const Phase& phase, std::ostream* out)
{
    *out << phase.name;
}

void realTicks (UpdaterTiming& timing)
{
    timing.tickMs = UpdaterTiming::nominalTickMs;
}

const std::vector<Phase> phases = {
    { "EnterBootModeWait", picIndex, false, realTicks, std::nullopt, "bar shown reset", 1 },
    { "EraseRetries", picIndex, true, realTicks, BoardFault { Fault::EraseFails, BoardRequest::Erase, 0, BoardFault::always },
      "1 Erasing device...", 1 },
    { "FpgaSettling", fpgaIndex, false, [] (UpdaterTiming& t) { t.fpgaSettleStepMs = 100; }, std::nullopt, "bar shown reset", 1 },
    { "BlockRetries", picIndex, true, [] (UpdaterTiming& t) { t.blockRetryPauseMs = 1000; },
      BoardFault { Fault::ChecksumError, BoardRequest::ProgramBlock, 0, BoardFault::always },
      "3 Checksum error during programming, retrying...", 1 },
    { "RestartWait", picIndex, true, realTicks, std::nullopt, "1 Exiting Boot Mode...", 1 },
    { "InterfaceRestartWait", interfaceIndex, true, realTicks, std::nullopt, "1 Exiting Boot Mode and reconnecting...", 1 },
    { "BootModeExitCheck", picIndex, true,
      [] (UpdaterTiming& t) { t.bootModePollMs = 60000; t.finalCheckPauseMs = 60000; },
      BoardFault { Fault::StayInBootMode, BoardRequest::ProgramComplete }, "1 Contacting device...", 2 },
};

class UpdateCancellation : public BoardUpdates, public ::testing::WithParamInterface<Phase>
{
};
}

TEST_P (UpdateCancellation, DestroyingTheEngineEndsTheWait)
{
    const auto& phase = GetParam();
    setup.boards[phase.board].bootMode = phase.bootMode;
    phase.stretch (timing);
    writeSmallFirmware();
    start();
    if (phase.fault)
        device->addFault (phase.board, *phase.fault);

    auto& updater = *engine;
    const auto file = Inspector::getFirmwareFile (updater, console, phase.board);
    std::promise<void> reached;
    int seen = 0;
    std::atomic<int> result { -1 };
    const auto callback = [&] (const Event& e)
    {
        if (describe ({ e }).front() == phase.trigger && ++seen == phase.occurrence)
            reached.set_value();
    };
    Inspector::launch (updater, callback, [&] (const UpdaterEventCallback& c)
    {
        result = Inspector::updatePanelFirmware (updater, console, getPanelAddress (0, phase.board), file, true, c);
    });

    ASSERT_EQ (reached.get_future().wait_for (generous), std::future_status::ready);
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    const auto destroyStarted = std::chrono::steady_clock::now();
    engine.reset();
    EXPECT_LT (std::chrono::steady_clock::now() - destroyStarted, promptly);
    EXPECT_NE (result, -1) << "the update has ended";
    EXPECT_NE (result, UpdateSuccessful);
}

INSTANTIATE_TEST_SUITE_P (Phases, UpdateCancellation, ::testing::ValuesIn (phases),
                          [] (const ::testing::TestParamInfo<Phase>& info) { return std::string (info.param.name); });
