#include "discovery/NetworkDiscovery.h"
#include "discovery/ContextRunner.h"
#include "discovery/Platform.h"
#include "discovery/ScanTargets.h"

#include "comms/BoostSocketTCP.h"

#include <chrono>
#include <cstring>

NetworkDiscovery::NetworkDiscovery (AddressSource addressSource)
    : localAddresses (std::move (addressSource))
{
    platform::raiseOpenFileLimit();
    ioThread = std::make_shared<std::thread> ([this] { runContextUntilStopped (ioContext); });
}

NetworkDiscovery::~NetworkDiscovery()
{
    cancel.store (true);
    if (scanWorker != nullptr && scanWorker->joinable())
        scanWorker->join();

    // Only now: the last pass's connects and reads complete on the network thread.
    ioContext.stop();
    ioThread->join();
}

bool NetworkDiscovery::startDiscovery (bool newManualMode, const std::vector<bool>& newManualEnabled,
                                       const std::vector<std::string>& newManualAddresses, int newPasses,
                                       std::function<void()> newOnComplete)
{
    if (! idle.load())
        return false;

    if (newPasses == 0)
    {
        if (newOnComplete)
            newOnComplete();
        return false;
    }

    // Checked and claimed in one step, so that of two callers racing here only one scans.
    bool expected = true;
    if (! idle.compare_exchange_strong (expected, false))
        return false;

    // The previous scan is idle but may still be inside its callback.
    if (scanWorker != nullptr && scanWorker->joinable())
        scanWorker->join();
    scanWorker.reset();

    {
        const std::lock_guard<std::mutex> lock (devicesMutex);
        devices.clear();
    }
    foundByAddress.clear();

    manualMode = newManualMode;
    manualEnabled = newManualEnabled;
    manualAddresses = newManualAddresses;
    passes = newPasses;
    pauseMs = 1000;
    onComplete = std::move (newOnComplete);

    try
    {
        scanWorker = std::make_shared<std::thread> ([this] { scanThread(); });
        return true;
    }
    catch (const std::exception&)
    {
        idle.exchange (true);
        if (onComplete)
            onComplete();
        return false;
    }
}

void NetworkDiscovery::scanThread()
{
    try
    {
        targets = manualMode ? manualScanTargets (manualEnabled, manualAddresses)
                             : automaticScanTargets (localAddresses());
        runPasses();
    }
    catch (...)
    {
        // A scan that fails still ends: idle again and the caller called back.
    }

    idle.exchange (true);
    if (onComplete)
        onComplete();
}

void NetworkDiscovery::runPasses()
{
    for (int pass = 1; pass <= passes && ! cancel.load(); ++pass)
    {
        bool allStarted = true;
        const auto started = runPass (allStarted);
        if (started == 0 || ! allStarted)
            return;
        if (pass < passes)
            pauseBetweenPasses();
    }
}

std::size_t NetworkDiscovery::runPass (bool& allStarted)
{
    std::vector<std::shared_ptr<std::thread>> probes;
    probes.reserve (targets.size());

    try
    {
        for (const auto& target : targets)
        {
            auto& found = foundByAddress.try_emplace (target, false).first->second;
            if (found.load())
                continue;

            probes.push_back (std::make_shared<std::thread> ([this, target, &found]
            {
                if (! found.load() && discoverDevice (target))
                    found.exchange (true);
            }));
        }
    }
    catch (const std::exception&)
    {
        // Out of threads or memory: the probes already running still end this pass.
        allStarted = false;
    }

    for (const auto& probe : probes)
        probe->join();
    return probes.size();
}

void NetworkDiscovery::pauseBetweenPasses()
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    for (int step = 1; step <= pauseMs / 10 && ! cancel.load(); ++step)
        std::this_thread::sleep_until (start + std::chrono::milliseconds (10 * step));
}

bool NetworkDiscovery::discoverDevice (std::string address)
{
    const auto request = makeDiscoverRequest();
    return requestRecord ("Zorv Discovery: discoverDevice", address, request.data(), (int) request.size());
}

bool NetworkDiscovery::setUserName (std::string address, const std::string& name, int parameter)
{
    const auto request = makeSetUserNameRequest (name, (uint16_t) parameter);
    return requestRecord ("Zorv Discovery: setUserName", address, request.data(), (int) request.size());
}

bool NetworkDiscovery::Identify (std::string address, int parameter)
{
    try
    {
        const auto link = aComms::attachedLink (ioContext, "Zorv Discovery: Identify", port, address, timeoutMs);
        if (link == nullptr)
            return false;

        const auto request = makeIdentifyRequest ((uint16_t) parameter);
        link->writeData (request.data(), (int) request.size());
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::vector<DeviceRecord> NetworkDiscovery::getDevices() const
{
    const std::lock_guard<std::mutex> lock (devicesMutex);
    return devices;
}

bool NetworkDiscovery::storeDevice (const DeviceRecord& record)
{
    const std::lock_guard<std::mutex> lock (devicesMutex);
    for (auto& existing : devices)
    {
        if (existing.macAddress == record.macAddress)
        {
            existing = record;
            return true;
        }
    }
    devices.push_back (record);
    return false;
}

// One exchange whose reply is a device record; only a whole record is stored.
bool NetworkDiscovery::requestRecord (const std::string& linkName, const std::string& address,
                                      const uint8_t* request, int length)
{
    try
    {
        const auto link = aComms::attachedLink (ioContext, linkName, port, address, timeoutMs);
        if (link == nullptr)
            return false;

        link->writeData (request, length);

        std::array<uint8_t, deviceRecordSize> reply {};
        if (link->readDataWithTimeout (reply.data(), (int) reply.size(), timeoutMs) != (int) reply.size())
            return false;

        DeviceRecord record;
        std::memcpy (&record, reply.data(), reply.size());
        storeDevice (record);
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}
