#pragma once

#include "discovery/DiscoveryTypes.h"
#include "discovery/LocalAddresses.h"

#include <boost/asio/io_context.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// Finds the devices on the local networks or at manual addresses, keeps one record per
// MAC address, and sends the whole-device commands identify and set user name.
// Scans run on a thread of their own in passes of parallel probes; the single-device
// operations block their caller for up to their time-outs.
class NetworkDiscovery
{
public:
    using AddressSource = std::function<std::vector<std::string>()>;

    // localAddresses gives the computer's own addresses whose /24 networks an automatic
    // scan probes.
    explicit NetworkDiscovery (AddressSource localAddresses = getLocalIPv4Addresses);

    // Lets a running pass finish, starts no further one, then stops the network thread.
    virtual ~NetworkDiscovery();

    NetworkDiscovery (const NetworkDiscovery&) = delete;
    NetworkDiscovery& operator= (const NetworkDiscovery&) = delete;

    // Starts a scan and returns true; onComplete runs on the scan thread once it has ended
    // and the discovery is idle again. It must neither start the next scan nor release the
    // discovery. A busy discovery returns false and drops onComplete; zero passes call it
    // at once and return false.
    bool startDiscovery (bool manualMode, const std::vector<bool>& manualEnabled,
                         const std::vector<std::string>& manualAddresses, int passes,
                         std::function<void()> onComplete);

    // Each sends its request on a connection of its own and stores a full 123-byte reply.
    bool discoverDevice (std::string address);
    bool setUserName (std::string address, const std::string& name, int parameter);

    // Sends the identify request; no reply is read.
    bool Identify (std::string address, int parameter);

    bool isIdle() const { return idle.load(); }
    std::vector<DeviceRecord> getDevices() const;

    // What a scan's duration is estimated from.
    int getPasses() const { return passes; }
    int getPauseMs() const { return pauseMs; }
    int getTimeoutMs() const { return timeoutMs; }

private:
    bool storeDevice (const DeviceRecord& record);

    void scanThread();
    void runPasses();
    std::size_t runPass (bool& allStarted);
    void pauseBetweenPasses();

    bool requestRecord (const std::string& linkName, const std::string& address, const uint8_t* request, int length);

    AddressSource localAddresses;

    std::function<void()> onComplete;
    std::atomic<bool> idle { true };
    uint16_t port = devicePort;

    boost::asio::io_context ioContext;
    std::shared_ptr<std::thread> ioThread;
    std::shared_ptr<std::thread> scanWorker;

    std::vector<DeviceRecord> devices;
    mutable std::mutex devicesMutex;

    std::vector<std::string> targets;
    bool manualMode = false;
    std::vector<bool> manualEnabled;
    std::vector<std::string> manualAddresses;
    int passes = 1;
    int pauseMs = 1000;
    std::unordered_map<std::string, std::atomic<bool>> foundByAddress;
    std::atomic<bool> cancel { false };
    int timeoutMs = 2500;
};
