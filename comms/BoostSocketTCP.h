#pragma once

#include "comms/GenericComms.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>

namespace aComms
{
// The TCP client link to one device. Its connect and its timed reads and writes complete on
// the thread that runs `context`, which belongs to the link's owner; the calling thread waits
// for them with a time-out. Blocking reads and writes run on the calling thread alone.
//
//   created --connect--> attempt pending --set-up done--> attached
//                              |                              |
//                              +--refused, failed set-up      +--failed read or write,
//                              |  --> failed attempt          |  disconnect, destruction
//                              v                              v
//                        (a new connect supersedes)      disconnected
//
// Always owned by a std::shared_ptr (made with std::make_shared): the connect completion
// holds only a weak reference, so one that arrives after the last owner has gone does nothing.
class BoostSocketTCP : public GenericCommsUnbuffered, public std::enable_shared_from_this<BoostSocketTCP>
{
public:
    static constexpr int clientMode = 0;

    BoostSocketTCP (boost::asio::io_context* context, int mode, std::string name);
    ~BoostSocketTCP() override;

    BoostSocketTCP (const BoostSocketTCP&) = delete;
    BoostSocketTCP& operator= (const BoostSocketTCP&) = delete;

    // Starts an asynchronous connect and returns false at once; the outcome arrives
    // through waitForAttach. Never throws.
    bool connect (uint16_t port, std::string address) override;

    // Cancels and closes the socket and clears the attached flag. Never throws.
    void disconnect() override;

    // Each moves exactly `length` bytes or throws; a failure disconnects the link first.
    int readData (uint8_t* buffer, int length) override;
    int writeData (const uint8_t* buffer, int length) override;
    void flushBuffers() override;

    virtual int readDataWithTimeout (uint8_t* buffer, int length, int timeoutMs);
    virtual int writeDataWithTimeout (const uint8_t* buffer, int length, int timeoutMs);

    // True once attached. Waits for the current attempt's result; once that has been taken,
    // a further call throws std::future_error (no state) unless the link is attached.
    bool waitForAttach (unsigned int timeoutMs);

    // Whether the current attempt failed because this computer had no free local port: every
    // one was still held by a recently closed connection. Such an attempt never reached the
    // device, and one made once a port has come free can succeed.
    bool lackedLocalPort() const { return noLocalPort.load(); }

private:
    friend struct BoostSocketTCPInspector;   // lets the tests read the socket's options

    void handleConnect (const boost::system::error_code& error, uint64_t id);
    bool setUpAttachedSocket();
    bool failAttempt();
    int guardedTransfer (std::recursive_mutex& mutex, int length, const std::function<int (std::size_t)>& transfer);

    bool asynchronous = true;
    boost::asio::io_context* context;
    int mode;
    std::shared_ptr<boost::asio::ip::tcp::socket> socket;
    std::shared_ptr<boost::asio::ip::tcp::endpoint> endpoint;
    std::string localAddressText = "not connected";
    std::atomic<uint64_t> attemptCounter { 0 };
    std::atomic<bool> noLocalPort { false };
    std::promise<bool> attachPromise;
    std::future<bool> attachFuture;
};

// A client link to address:port; `link` is null unless it attached within the time-out.
struct LinkAttempt
{
    std::shared_ptr<BoostSocketTCP> link;
    bool lackedLocalPort = false;
};

// Its completions run on the thread of `context`.
LinkAttempt attachLink (boost::asio::io_context& context, std::string name, uint16_t port,
                        const std::string& address, int timeoutMs);

// The link of attachLink, or null.
std::shared_ptr<BoostSocketTCP> attachedLink (boost::asio::io_context& context, std::string name, uint16_t port,
                                              const std::string& address, int timeoutMs);
}
