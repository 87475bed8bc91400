// A connection's life in the simulator (Listener.cpp accepts, Connection.cpp runs it):
//
//   accepted --CloseAfterAccept--> closing --+    closing: FIN sent, the peer's bytes are
//      |  \---ResetAfterAccept---> reset     |    read and dropped until it closes too
//      v                                     |
//   reading header --peer gone/error-------> ended (partial bytes recorded)
//      |  \---payloadLength > 4096---------> ended (header recorded)
//      v
//   reading payload --peer gone/error------> ended (partial bytes recorded)
//      v
//   request complete: the device acts on it, then it is recorded (a restarting interface
//      |              board closes the listener until its restart time has passed)
//      +-- holding? ----------------------> reading header (nothing is answered)
//      v
//   the script (or a board fault in its place) plans the answer:
//                                 [wait delay] -> [write bytes] -> then
//      then = read next   -> reading header
//             hold        -> reading header, holding from now on
//             close       -> closing
//             reset       -> reset (SO_LINGER 0 and close: the peer sees ECONNRESET)
//
// Everything runs on one network thread; the public accessors reach the shared state
// (device, scripts, request log) under their own locks.

#include "tools/sim/DeviceSimulator.h"
#include "tools/sim/BoardLayouts.h"
#include "tools/sim/DottedQuad.h"
#include "tools/sim/Listener.h"

#include <future>
#include <mutex>
#include <thread>

namespace zsim
{
namespace
{
    std::optional<boost::asio::ip::address_v4> parseAddress (const std::string& text)
    {
        const auto bytes = parseDottedQuad (text);
        if (! bytes)
            return {};
        return boost::asio::ip::address_v4 (*bytes);
    }
}

struct DeviceSimulator::Impl
{
    Impl (DeviceSetup setup, std::string text, uint16_t wantedPort)
        : address (std::move (text)),
          ipv4 (parseAddress (address)),
          port (wantedPort),
          device (std::move (setup), ipv4 ? ipv4->to_bytes() : std::array<uint8_t, 4> {})
    {
    }

    bool start();
    void stop();
    bool setReachability (Reachability);

    const std::string address;
    const std::optional<boost::asio::ip::address_v4> ipv4;
    uint16_t port;
    bool served = false;                // started once: the address was ours

    DeviceModel device;
    RequestLog log;
    ScriptQueue scripts;

    std::mutex control;                 // serialises start, stop and reachability changes
    Reachability reachability = Reachability::Accepting;
    std::unique_ptr<boost::asio::io_context> io;
    std::unique_ptr<Listener> listener;
    std::thread thread;
};

bool DeviceSimulator::Impl::start()
{
    const std::lock_guard<std::mutex> lock (control);
    if (io != nullptr)
        return true;
    if (! ipv4)
        return false;

    io = std::make_unique<boost::asio::io_context>();
    listener = std::make_unique<Listener> (*io, boost::asio::ip::tcp::endpoint (*ipv4, port), device, log, scripts, served);

    if (! listener->start (reachability))
    {
        listener.reset();
        io.reset();
        return false;
    }
    port = listener->port();
    served = true;

    thread = std::thread ([context = io.get()]
                          {
                              const auto guard = boost::asio::make_work_guard (*context);
                              context->run();
                          });
    return true;
}

void DeviceSimulator::Impl::stop()
{
    const std::lock_guard<std::mutex> lock (control);
    if (io == nullptr)
        return;

    boost::asio::post (*io, [this]
                       {
                           listener->closeAll();
                           io->stop();
                       });
    thread.join();

    // Connections still held by abandoned handlers go with the context.
    listener.reset();
    io.reset();
}

bool DeviceSimulator::Impl::setReachability (Reachability wanted)
{
    const std::lock_guard<std::mutex> lock (control);
    reachability = wanted;
    if (io == nullptr)
        return true;

    std::promise<bool> applied;
    boost::asio::post (*io, [&] { applied.set_value (listener->apply (wanted)); });
    return applied.get_future().get();
}

DeviceSimulator::DeviceSimulator (DeviceSetup setup, std::string address, uint16_t port)
    : impl (std::make_unique<Impl> (std::move (setup), std::move (address), port))
{
}

DeviceSimulator::DeviceSimulator (DeviceIdentity identity, std::string address, uint16_t port)
    : DeviceSimulator (DeviceSetup { identity, standardBoards (identity) }, std::move (address), port)
{
}

DeviceSimulator::~DeviceSimulator()
{
    stop();
}

bool DeviceSimulator::start()                       { return impl->start(); }
void DeviceSimulator::stop()                        { impl->stop(); }
bool DeviceSimulator::setReachability (Reachability r) { return impl->setReachability (r); }

void DeviceSimulator::scriptConnections (std::vector<ConnectionScript> scripts)
{
    impl->scripts.replace (std::move (scripts));
}

void DeviceSimulator::setDefaultBehaviour (ConnectionScript script)
{
    impl->scripts.setDefault (std::move (script));
}

std::vector<RecordedRequest> DeviceSimulator::requests() const
{
    return impl->log.all();
}

std::size_t DeviceSimulator::connectionCount() const
{
    return impl->scripts.accepted();
}

bool DeviceSimulator::waitForRequests (std::size_t count, std::chrono::milliseconds timeout) const
{
    return impl->log.waitFor (count, timeout);
}

DeviceIdentity DeviceSimulator::identity() const
{
    return impl->device.identity();
}

void DeviceSimulator::setIdentity (const DeviceIdentity& identity)
{
    impl->device.setIdentity (identity);
}

std::array<uint8_t, 123> DeviceSimulator::record() const
{
    return impl->device.record (0);
}

std::size_t DeviceSimulator::boardCount() const
{
    return impl->device.boardCount();
}

BoardReport DeviceSimulator::board (std::size_t index) const
{
    return impl->device.board (index);
}

void DeviceSimulator::setBoardPresent (std::size_t index, bool present)
{
    impl->device.setBoardPresent (index, present);
}

void DeviceSimulator::addFault (std::size_t index, const BoardFault& fault)
{
    impl->device.addFault (index, fault);
}

void DeviceSimulator::clearFaults (std::size_t index)
{
    impl->device.clearFaults (index);
}

const std::string& DeviceSimulator::address() const
{
    return impl->address;
}

uint16_t DeviceSimulator::port() const
{
    return impl->port;
}
}
