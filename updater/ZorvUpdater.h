#pragma once

#include "updater/UpdaterTiming.h"
#include "updater/UpdaterTypes.h"

#include <boost/asio/io_context.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <ios>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The firmware update engine. It runs at most one operation at a time, each on a worker
// thread of its own, and reports everything through the events of the callback handed to
// that operation. Every device exchange completes on the engine's own network thread.
//
//   idle --launch admitted--> running --body's last step--> idle
//     ^                          |
//     +--- a launch while running is refused silently; the next launch joins the
//          finished worker, the destructor joins the last one.
class ZorvUpdater
{
public:
    enum UpdaterEventType : int
    {
        ClearLog = 1,
        NewLogSection = 2,
        LogLine = 3,
        ProgressBarState = 4,
        Progress = 5,
        SecondProgressBarState = 6,
        SecondProgress = 7,
        ControlsEnabled = 8,
        MessageBox = 9,
        OperationFinished = 10
    };

    enum class UpdaterOperation : int
    {
        GetVersions = 1,
        AutoUpdate = 2,
        Update = 3,
        Check = 4,
        Reset = 5
    };

    struct UpdaterEvent
    {
        int type = 0;
        std::string text;
        int level = 0;                        // 1 information, 2 success, 3 warning, 4 error
        bool replaceLastLine = false;
        bool enabled = true;
        bool visible = false;
        float progress = 0.0f;
        bool resetProgress = false;
        bool highlight = false;
        std::string title;
        int icon = 0;
        int buttons = 0;
        std::atomic<int>* answer = nullptr;   // owned by the asking operation
        bool success = false;
    };

    using UpdaterEventCallback = std::function<void (const UpdaterEvent&)>;

    // Production passes the folder only; tests pass shorter waits.
    explicit ZorvUpdater (std::string baseDirectory, UpdaterTiming timing = {});

    // Cancels the running operation, whose waits then end early, and returns once it ends.
    virtual ~ZorvUpdater();

    ZorvUpdater (const ZorvUpdater&) = delete;
    ZorvUpdater& operator= (const ZorvUpdater&) = delete;

    static bool isFPGABoard (int deviceType, uint8_t type);
    static bool isIntfBoard (int deviceType, const PanelAddress& address);

    // The six operations. Each returns at once; a launch while an operation runs is dropped
    // without a word. The board index counts in catalogue order within the record's type.
    void startGetVersions (DeviceRecord record, UpdaterEventCallback callback);
    void startAutoUpdate (DeviceRecord record, bool forceAll, UpdaterEventCallback callback);
    void startUpdatePanel (DeviceRecord record, uint8_t boardIndex, UpdaterEventCallback callback);
    void startCheckPanel (DeviceRecord record, uint8_t boardIndex, bool forceProcessorQuery, UpdaterEventCallback callback);
    void startResetPanel (DeviceRecord record, uint8_t boardIndex, UpdaterEventCallback callback);
    void startBootModeControl (DeviceRecord record, uint8_t boardIndex, bool enter, UpdaterEventCallback callback);

private:
    friend struct ZorvUpdaterInspector;   // lets the tests drive the private operations

    // What an operation does between disabling and enabling the window's controls.
    using OperationBody = std::function<void (const UpdaterEventCallback&)>;
    using WorkerStarter = std::function<std::shared_ptr<std::thread> (std::function<void()>)>;

    struct OperationTexts
    {
        std::string success;
        std::string failure;
    };

    // Operations.
    void launchOperation (OperationTexts texts, UpdaterEventCallback callback, OperationBody body);
    bool tryBeginOperation();
    void runOperation (const OperationTexts& texts, const UpdaterEventCallback& callback, const OperationBody& body);
    static void reportFailure (const UpdaterEventCallback& callback, const std::exception& e, const std::string& failureText);
    void runIoContext();

    // Waits. The statistics of the precise sleep are shared by every engine of the process.
    struct SleepStatistics
    {
        double estimate;   // seconds one 1 ms sleep is expected to take: mean plus one deviation
        double mean;
        double m2;
        int64_t count;
    };

    void preciseSleep (double ms);
    void operationStartPause();
    static SleepStatistics sleepStatistics();

    // Events.
    static void sendEvent (const UpdaterEventCallback& callback, const UpdaterEvent& event);
    static void sendClearLog (const UpdaterEventCallback& callback);
    static void sendNewLogSection (const UpdaterEventCallback& callback);
    static void sendLogLine (const UpdaterEventCallback& callback, int level, const std::string& text, bool replaceLastLine);
    static void sendProgressBarState (const UpdaterEventCallback& callback, bool visible, bool resetProgress, bool highlight);
    static void showProgressBar (const UpdaterEventCallback& callback, bool show);
    static void sendProgress (const UpdaterEventCallback& callback, float progress);
    static void sendSecondProgressBarState (const UpdaterEventCallback& callback, bool show);
    static void sendControlsEnabled (const UpdaterEventCallback& callback, bool enabled);
    static void sendMessageBox (const UpdaterEventCallback& callback, int icon, const std::string& text,
                                const std::string& title, int buttons, std::atomic<int>* answer);
    static void sendOperationFinished (const UpdaterEventCallback& callback, bool success, const std::string& text);
    static void failOperation (const UpdaterEventCallback& callback, const std::exception& e, const std::string& failureText);

    // Device commands: each exchange uses a connection of its own and never throws.
    bool readWriteGenTags (const DeviceRecord& record, const PanelAddress& address, uint8_t subCommand,
                           TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs);
    bool readWriteDownloadTags (const DeviceRecord& record, uint8_t tagId, const PanelAddress& address,
                                uint8_t dataLength, uint8_t firstByte, uint8_t secondByte, const ProgramBlock* block,
                                TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs);
    // Success, TransportFailed, or NoLocalPort when the connect could not leave this computer.
    DeviceResult downloadExchange (const DeviceRecord& record, uint8_t tagId, const PanelAddress& address,
                                   uint8_t dataLength, uint8_t firstByte, uint8_t secondByte, const ProgramBlock* block,
                                   TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult exchangeTag (const DeviceRecord& record, const TagBytes& requestTag, bool replyExpected,
                              const char* linkName, TagBytes& reply, int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult readDeviceId (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head,
                               int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult sendEnterBootMode (const DeviceRecord& record, const PanelAddress& address,
                                    int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult eraseDevice (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head,
                              int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult programDevice (const DeviceRecord& record, const PanelAddress& address, uint8_t dataLength,
                                const ProgramBlock& block, TagReplyHead& head, int connectTimeoutMs, int replyTimeoutMs);
    DeviceResult sendProgramComplete (const DeviceRecord& record, const PanelAddress& address,
                                      int connectTimeoutMs, int replyTimeoutMs);
    DeviceProbeResult discoverDevice (const std::string& ipText, int32_t expectedDeviceType,
                                      int connectTimeoutMs, int replyTimeoutMs);

    // Firmware files.
    FirmwareFileInfo getFirmwareFile (const DeviceRecord& record, uint8_t boardIndex);
    uint8_t getPICType (const DeviceRecord& record, const PanelAddress& address);
    static std::vector<uint8_t> readFirmwareFile (const std::string& path, bool binary);
    static bool isShortfallOfLineEnds (const std::string& path, std::streamoff shortfall);

    // Board procedures. They run on the worker inside an operation, write log lines only
    // when asked to, and end every wait and loop early once cancel is set.
    bool checkPanelInternal (const DeviceRecord& record, const PanelAddress& address, bool& bootMode, uint8_t& version);
    void waitForDeviceRunning (const DeviceRecord& record, uint8_t boardIndex, int timeoutMs, bool showProgress,
                               const UpdaterEventCallback& callback);
    bool enterBootMode (const DeviceRecord& record, const PanelAddress& address, const UpdaterEventCallback& callback);
    void verifyBootModeExit (const DeviceRecord& record, const PanelAddress& address, bool& bootMode, bool& responded,
                             TagReplyHead& lastAnswer);
    int updatePanelFirmware (const DeviceRecord& record, const PanelAddress& address, const FirmwareFileInfo& file,
                             bool verbose, const UpdaterEventCallback& callback);
    static void logIfVerbose (const UpdaterEventCallback& callback, const std::string& text, bool verbose, int level);
    std::vector<uint8_t> loadFirmware (const FirmwareFileInfo& file, uint8_t build, bool verbose,
                                       const UpdaterEventCallback& callback);
    static void logInvalidFirmwareFile (const UpdaterEventCallback& callback, bool verbose);
    bool readyForBlocks (const DeviceRecord& record, const PanelAddress& address, bool bootMode, bool verbose,
                         const UpdaterEventCallback& callback);
    bool eraseWithRetries (const DeviceRecord& record, const PanelAddress& address, const UpdaterEventCallback& callback);
    void settleAfterFpgaErase (const UpdaterEventCallback& callback);
    bool programAndComplete (const DeviceRecord& record, const PanelAddress& address, const std::vector<uint8_t>& bytes,
                             uint32_t flashLimit, bool verbose, const UpdaterEventCallback& callback);
    bool completeProgramming (const DeviceRecord& record, const PanelAddress& address, bool verbose,
                              const UpdaterEventCallback& callback);
    int restartAndCheck (const DeviceRecord& record, const PanelAddress& address, bool verbose,
                         const UpdaterEventCallback& callback);
    DeviceResult readIdentity (const DeviceRecord& record, const PanelAddress& address, TagReplyHead& head);
    void sweepProgressToEnd (double fraction, bool showProgress, const UpdaterEventCallback& callback);

    // Programming. Sends the blocks of one firmware file to a board that is ready for them,
    // each block up to 65 times, not counting tries that found no free local port to connect
    // from; false when a block never got through, the file is not a valid firmware file, or
    // the operation was cancelled.
    bool programFirmwareImage (const DeviceRecord& record, const PanelAddress& address, const std::vector<uint8_t>& file,
                               bool fpga, uint32_t flashLimit, bool verbose, const UpdaterEventCallback& callback);
    struct LocalPortWait
    {
        std::optional<std::chrono::steady_clock::time_point> since;   // the current request's first try without a port
        bool announced = false;                                         // the log has said so: once per image, once for program complete
    };

    bool sendProgramBlock (const DeviceRecord& record, const PanelAddress& address, const ProgramBlock& block,
                           uint8_t dataLength, bool verbose, const UpdaterEventCallback& callback, LocalPortWait& portWait);
    bool awaitLocalPort (LocalPortWait& portWait, bool verbose, const UpdaterEventCallback& callback);

    // Operation bodies: what each launcher runs inside the common frame.
    void bootModeControl (const DeviceRecord& record, uint8_t boardIndex, bool enter, const UpdaterEventCallback& callback);
    void resetPanel (const DeviceRecord& record, uint8_t boardIndex, const UpdaterEventCallback& callback);
    void checkPanel (const DeviceRecord& record, uint8_t boardIndex, bool forceProcessorQuery, const UpdaterEventCallback& callback);
    void updatePanel (const DeviceRecord& record, uint8_t boardIndex, const UpdaterEventCallback& callback);
    void getVersions (const DeviceRecord& record, const UpdaterEventCallback& callback);
    void autoUpdate (const DeviceRecord& record, bool forceAll, const UpdaterEventCallback& callback);
    void leaveBootMode (const DeviceRecord& record, uint8_t boardIndex, const PanelAddress& address,
                        const UpdaterEventCallback& callback);
    static void requireDeviceType (int deviceType);
    const std::string& boardName (int deviceType, uint8_t boardIndex) const;

    // Version scan and auto update.
    struct ScanPlan
    {
        int boardCount = 0;                  // boards 0 to boardCount - 1 are scanned
        std::vector<bool> notInstalled;      // by board index
    };

    // The rest of the update pass learns from the device's record after its Monitor
    // Interface board has restarted: which master fader board the console really has.
    struct MasterFaderProbe
    {
        bool rediscovered = false;
        int masterFaderBoard = noMasterFader;
    };

    static constexpr int noMasterFader = 24;
    static constexpr const char* autoUpdateTitle = "Auto Update";

    void getVersionsAutoUpdateAllInternal (const DeviceRecord& record, bool versionsOnly, bool clearLog,
                                           bool interactive, bool forceAll, const UpdaterEventCallback& callback);
    ScanPlan planVersionScan (const DeviceRecord& record);
    void openVersionScan (const DeviceRecord& record, bool versionsOnly, bool clearLog, const UpdaterEventCallback& callback);
    bool scanBoards (const DeviceRecord& record, const ScanPlan& plan, bool forceAll,
                     std::vector<PanelScanEntry>& entries, const UpdaterEventCallback& callback);
    bool countEntries (const std::vector<PanelScanEntry>& entries, const std::vector<int>& excluded, int& count) const;
    bool reportPending (const DeviceRecord& record, int pending, bool versionsOnly, bool interactive,
                        const UpdaterEventCallback& callback);
    void runUpdatePass (const DeviceRecord& record, std::vector<PanelScanEntry>& entries, int pending,
                        bool interactive, bool forceAll, const UpdaterEventCallback& callback);
    bool updateScannedBoard (const DeviceRecord& record, PanelScanEntry& entry, bool forceAll,
                             MasterFaderProbe& probe, const UpdaterEventCallback& callback);
    void reportBoardUpdate (const DeviceRecord& record, const PanelScanEntry& entry, int64_t ms,
                            const UpdaterEventCallback& callback);
    MasterFaderProbe probeAfterMonitorInterface (const DeviceRecord& record);
    void closeAutoUpdate (const std::vector<PanelScanEntry>& entries, std::chrono::steady_clock::time_point start,
                          bool interactive, const UpdaterEventCallback& callback);
    int getMasterFaderPanelType (const DeviceRecord& record);
    int getPanelFirmwareStatus (const DeviceRecord& record, PanelScanEntry& entry);
    std::string formatPanelVersionLine (const DeviceRecord& record, const PanelScanEntry& entry) const;
    bool processPanelUpdate (const DeviceRecord& record, PanelScanEntry& entry, const UpdaterEventCallback& callback);

    // Message boxes. A box goes out with a slot of its own for the answer, which stays
    // allocated until the answer has been read or, when it never is, until the engine goes.
    struct AnswerSlot
    {
        std::atomic<int> value { 0 };
        bool inUse = false;                  // touched by the worker only
    };

    int askAndWait (const UpdaterEventCallback& callback, int icon, const std::string& text, const std::string& title,
                    int buttons, int answerWithoutReceiver);
    AnswerSlot& freeAnswerSlot();

    boost::asio::io_context ioContext;
    std::shared_ptr<std::thread> ioThread;
    std::atomic<bool> cancel { false };
    std::atomic<bool> busy { false };
    std::shared_ptr<std::thread> workerThread;
    std::string baseDirectory;
    uint16_t port = devicePort;
    const UpdaterTiming timing;
    std::vector<std::vector<std::string>> boardNames;      // [device type][board index]
    std::vector<std::vector<std::string>> firmwareFiles;   // [device type][board index]
    WorkerStarter startWorker;
    std::vector<std::unique_ptr<AnswerSlot>> answerSlots;   // worker thread only
};

using UpdaterEventCallback = ZorvUpdater::UpdaterEventCallback;

// " [h hrs, m mins, s secs]" with the leading parts left out while they are zero; empty
// below one second.
std::string formatDuration (int64_t ms);

// The log level of a board result: success for updated or up to date, a warning for
// still pending, an error otherwise.
int updateResultLogLevel (int result);

// Whether a board this one depends on is in boot mode or reported version 0; entries are
// indexed by board index, and a prerequisite beyond them counts as not yet heard from.
bool hasPendingDependency (int deviceType, int boardIndex, const std::vector<PanelScanEntry>& entries);
