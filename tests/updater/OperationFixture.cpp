#include "tests/updater/OperationFixture.h"
#include "updater/DeviceCatalogue.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace optest
{
namespace
{
namespace fs = std::filesystem;

const char* kindName (Kind kind)
{
    switch (kind)
    {
        case Kind::Clear:    return "Clear";
        case Kind::Section:  return "Section";
        case Kind::Line:     return "Line";
        case Kind::Replace:  return "Replace";
        case Kind::Box:      return "Box";
        case Kind::Controls: return "Controls";
        case Kind::Finished: return "Finished";
    }
    return "?";
}

bool matches (const Row& expected, const Row& actual)
{
    if (expected.kind != actual.kind || expected.value != actual.value)
        return false;
    const auto& pattern = expected.text;
    if (! pattern.empty() && pattern.back() == '*')
        return actual.text.compare (0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return pattern == actual.text;
}

std::string listed (const std::vector<Row>& rows)
{
    std::ostringstream out;
    for (const auto& row : rows)
        out << "    " << row << "\n";
    return out.str();
}

void writeFile (const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories (path.parent_path());
    std::ofstream (path, std::ios::binary).write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
}

// Every board of the device types that have firmware files: the same small image for all.
void writeFirmwareFiles (const fs::path& baseFolder)
{
    const auto catalogue = toStdDeviceCatalogue();
    const auto hex = testhex::HexFileWriter().writeBytes (picImage());
    for (int type = 0; type <= 4; ++type)
        for (const auto& entry : catalogue.firmwareFiles[(size_t) type])
        {
            const auto path = baseFolder / "HexFiles" / entry;
            writeFile (path, path.extension() == ".bin" ? fpgaImage() : hex);
        }
}
}

UpdaterTiming operationTiming()
{
    auto timing = enginetest::compressedTiming();
    timing.tickMs = 0.1;
    return timing;
}

std::ostream& operator<< (std::ostream& out, const Row& row)
{
    return out << "{ " << kindName (row.kind) << ", " << row.value << ", \"" << row.text << "\" }";
}

std::vector<Row> narrative (const std::vector<Event>& events)
{
    std::vector<Row> rows;
    for (const auto& e : events)
    {
        switch (e.type)
        {
            case ZorvUpdater::ClearLog:          rows.push_back ({ Kind::Clear }); break;
            case ZorvUpdater::NewLogSection:     rows.push_back ({ Kind::Section }); break;
            case ZorvUpdater::LogLine:           rows.push_back ({ e.replaceLastLine ? Kind::Replace : Kind::Line, e.level, e.text }); break;
            case ZorvUpdater::MessageBox:        rows.push_back ({ Kind::Box, e.icon, e.text }); break;
            case ZorvUpdater::ControlsEnabled:   rows.push_back ({ Kind::Controls, e.enabled ? 1 : 0 }); break;
            case ZorvUpdater::OperationFinished: rows.push_back ({ Kind::Finished, e.success ? 1 : 0, e.text }); break;
            default: break;
        }
    }
    return rows;
}

::testing::AssertionResult sameNarrative (const std::vector<Row>& expected, const std::vector<Row>& actual)
{
    bool same = expected.size() == actual.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i)
        same = matches (expected[i], actual[i]);
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected:\n" << listed (expected) << "actual:\n" << listed (actual);
}

bool eventually (std::function<bool()> condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (! condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    }
    return true;
}

std::vector<Row> framed (std::vector<Row> body, const std::string& finishedText, bool success)
{
    std::vector<Row> rows { { Kind::Controls, 0 } };
    rows.insert (rows.end(), body.begin(), body.end());
    if (success)
        rows.push_back ({ Kind::Controls, 1 });
    rows.push_back ({ Kind::Finished, success ? 1 : 0, finishedText });
    return rows;
}

Recorder::~Recorder()
{
    joinAnswers();
}

void Recorder::answerWith (std::vector<Answer> list)
{
    const std::lock_guard<std::mutex> lock (mutex);
    answers = std::move (list);
}

void Recorder::onEvent (std::function<void (const Event&)> newHook)
{
    const std::lock_guard<std::mutex> lock (mutex);
    hook = std::move (newHook);
}

UpdaterEventCallback Recorder::callback()
{
    return [this] (const Event& event) { record (event); };
}

void Recorder::record (const Event& event)
{
    std::function<void (const Event&)> eventHook;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        events.push_back (event);
        eventHook = hook;
        if (event.type == ZorvUpdater::MessageBox && event.answer != nullptr && ! answers.empty())
        {
            const auto answer = answers.front();
            answers.erase (answers.begin());
            auto* slot = event.answer;
            if (answer.delay.count() == 0)
                slot->exchange (answer.code);
            else
                answerThreads.emplace_back ([slot, answer]
                {
                    std::this_thread::sleep_for (answer.delay);
                    slot->exchange (answer.code);
                });
        }
        changed.notify_all();
    }
    if (eventHook)
        eventHook (event);
}

bool Recorder::waitFor (std::function<bool (const std::vector<Event>&)> condition, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock (mutex);
    return changed.wait_for (lock, timeout, [&] { return condition (events); });
}

bool Recorder::waitForFinish()
{
    return waitFor ([] (const std::vector<Event>& all)
    {
        return std::any_of (all.begin(), all.end(), [] (const Event& e) { return e.type == ZorvUpdater::OperationFinished; });
    });
}

std::vector<Event> Recorder::all() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return events;
}

void Recorder::joinAnswers()
{
    std::vector<std::thread> threads;
    {
        const std::lock_guard<std::mutex> lock (mutex);
        threads.swap (answerThreads);
    }
    for (auto& thread : threads)
        thread.join();
}

const testhex::HexImage& picImage()
{
    static const testhex::HexImage image = []
    {
        std::mt19937 random (470);
        return testhex::HexImage { { 0x1D000000u, testhex::randomBytes (random, 48) } };
    }();
    return image;
}

const std::vector<uint8_t>& fpgaImage()
{
    static const std::vector<uint8_t> image = []
    {
        std::mt19937 random (518);
        return testhex::randomBytes (random, 100);
    }();
    return image;
}

OperationTest::OperationTest()
{
    writeFirmwareFiles (fs::u8path (base.file().getFullPathName().toStdString()));
    engine = std::make_unique<ZorvUpdater> (base.file().getFullPathName().toStdString(), operationTiming());
}

// Answers still on their way are stored before the engine, which owns their slots, goes;
// the engine goes before the device, so that no exchange of its outlives the device.
OperationTest::~OperationTest()
{
    recorder.joinAnswers();
    engine.reset();
}

void OperationTest::startDevice (zsim::DeviceSetup setup)
{
    zsim::setBoardTimes (setup, std::chrono::milliseconds (20), std::chrono::milliseconds (5));
    setup.identity.name = zsim::DeviceIdentity::nameField ("Engine Test");
    setup.identity.mac = { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E };
    device = std::make_unique<zsim::DeviceSimulator> (setup, address);
    ASSERT_TRUE (device->start()) << "cannot bind " << address;
}

DeviceRecord OperationTest::record() const
{
    DeviceRecord result {};
    const auto bytes = device->record();
    std::memcpy (&result, bytes.data(), bytes.size());
    return result;
}

bool OperationTest::holdsFirmware (std::size_t index) const
{
    const auto report = device->board (index);
    if (! report.fpgaStream.empty() || report.picMemory.empty())
        return report.fpgaStream == fpgaImage();

    std::vector<uint8_t> programmed;
    for (const auto& [blockAddress, data] : report.picMemory)
        programmed.insert (programmed.end(), data.begin(), data.end());
    return report.picMemory.begin()->first == picImage().begin()->first && programmed == picImage().begin()->second;
}
}
