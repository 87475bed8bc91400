#include "comms/BoostSocketTCP.h"
#include "comms/GenericCommsBaseError.h"
#include "comms/Platform.h"
#include "comms/TimedTransfer.h"

#include <boost/asio/error.hpp>
#include <boost/asio/ip/address.hpp>

#include <algorithm>
#include <chrono>

namespace aComms
{
namespace
{
using boost::asio::ip::tcp;

void throwOnSocketError (const boost::system::error_code& error)
{
    if (error == boost::asio::error::eof)
        throw GenericCommsBaseError (GenericCommsBaseError::socketClosedError);
    if (error)
        throw boost::system::system_error (error);
}

// One socket call per piece until the count is done; `call` (offset, size, error) returns
// the bytes it moved.
template <typename Call>
int transferInPieces (std::size_t length, Call&& call)
{
    std::size_t total = 0;
    boost::system::error_code error;
    while (total < length)
    {
        const auto moved = call (total, std::min (length - total, timedTransfer::maxPieceSize), error);
        total += moved;
        if (error || moved == 0)
            break;
    }

    throwOnSocketError (error);
    if (total != length)
        throw GenericCommsBaseError (GenericCommsBaseError::wrongSizedData);
    return (int) total;
}

// The outcome of a finished timed transfer, or the time-out's error.
timedTransfer::Outcome awaited (std::optional<timedTransfer::Outcome> outcome, int timeoutCode)
{
    if (! outcome)
        throw GenericCommsBaseError (timeoutCode);
    throwOnSocketError (outcome->error);
    return std::move (*outcome);
}
}

BoostSocketTCP::BoostSocketTCP (boost::asio::io_context* networkContext, int linkMode, std::string linkName)
    : context (networkContext),
      mode (linkMode),
      socket (std::make_shared<tcp::socket> (*networkContext))
{
    name = std::move (linkName);
}

BoostSocketTCP::~BoostSocketTCP()
{
    disconnect();
}

bool BoostSocketTCP::connect (uint16_t newPort, std::string address)
{
    const std::lock_guard<std::recursive_mutex> lock (connectMutex);
    const auto id = ++attemptCounter;

    // The superseded attempt's promise goes unfulfilled; its late completion is ignored by id.
    attachPromise = std::promise<bool>();
    attachFuture = attachPromise.get_future();
    noLocalPort = false;

    try
    {
        host = address.empty() ? name : address;
        port = newPort;
        endpoint.reset();

        boost::system::error_code error;
        const auto target = address.empty() ? boost::asio::ip::address (boost::asio::ip::address_v4::any())
                                            : boost::asio::ip::make_address (address, error);
        if (error || mode != clientMode || ! asynchronous)
            return failAttempt();

        endpoint = std::make_shared<tcp::endpoint> (target, newPort);
        const std::weak_ptr<BoostSocketTCP> self = shared_from_this();

        if (! socket->is_open())
        {
            boost::system::error_code ignored;
            socket->open (endpoint->protocol(), ignored);
        }

        socket->async_connect (*endpoint, [self, id] (const boost::system::error_code& result)
        {
            if (const auto link = self.lock())
                link->handleConnect (result, id);
        });
        return false;
    }
    catch (const std::exception&)
    {
        return failAttempt();
    }
}

bool BoostSocketTCP::failAttempt()
{
    attachPromise.set_value (false);
    return false;
}

void BoostSocketTCP::handleConnect (const boost::system::error_code& error, uint64_t id)
{
    // Runs on the owner's network thread: nothing may escape from here.
    try
    {
        const std::lock_guard<std::recursive_mutex> lock (connectMutex);
        if (id != attemptCounter.load())
            return;

        noLocalPort = platform::meansNoLocalPort (error);
        const bool result = ! error && setUpAttachedSocket();
        attachPromise.set_value (result);
    }
    catch (const std::exception&)
    {
        // The attempt's promise is then broken or already kept; waitForAttach reads that as false.
    }
}

bool BoostSocketTCP::setUpAttachedSocket()
{
    attached = false;
    if (! socket->is_open())
    {
        localAddressText = "not Connected";
        return false;
    }

    // Attached only once every step has worked: a caller that sees the flag may start
    // reading at once, and must find a socket in blocking mode with Nagle off.
    try
    {
        socket->non_blocking (false);
        socket->set_option (tcp::no_delay (true));
        auto localText = socket->local_endpoint().address().to_string();
        auto remoteText = socket->remote_endpoint().address().to_string();
        localAddressText = std::move (localText);
        host = std::move (remoteText);
        attached = true;
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

bool BoostSocketTCP::waitForAttach (unsigned int timeoutMs)
{
    if (attached)
        return true;

    if (! attachFuture.valid())
        throw std::future_error (std::future_errc::no_state);

    if (attachFuture.wait_for (std::chrono::milliseconds (timeoutMs)) != std::future_status::ready)
        return false;

    try
    {
        return attachFuture.get();
    }
    catch (const std::exception&)
    {
        return false;
    }
}

void BoostSocketTCP::disconnect()
{
    try
    {
        const std::lock_guard<std::recursive_mutex> lock (connectMutex);

        // Cancelling a socket that is not open fails; closing it and clearing the flag must
        // happen regardless, so that a disconnected link never claims to be attached.
        boost::system::error_code ignored;
        socket->cancel (ignored);
        socket->close (ignored);
        attached = false;
        localAddressText = "not Connected";
    }
    catch (const std::exception&)
    {
        // Disconnecting is the way out of every failure; there is nobody left to tell.
    }
}

void BoostSocketTCP::flushBuffers()
{
}

int BoostSocketTCP::guardedTransfer (std::recursive_mutex& mutex, int length,
                                     const std::function<int (std::size_t)>& transfer)
{
    try
    {
        const std::lock_guard<std::recursive_mutex> lock (mutex);
        if (length < 0)
            throw GenericCommsBaseError (GenericCommsBaseError::wrongSizedData);
        if (! socket->is_open())
            throw GenericCommsBaseError (GenericCommsBaseError::socketNotOpen);
        return transfer ((std::size_t) length);
    }
    catch (const std::exception&)
    {
        // A link that failed once is not used again: whatever the peer still sends belongs
        // to an exchange that is over.
        disconnect();
        throw;
    }
}

int BoostSocketTCP::readData (uint8_t* buffer, int length)
{
    if (length == 0)
        return 0;

    return guardedTransfer (readMutex, length, [&] (std::size_t count)
    {
        return transferInPieces (count, [&] (std::size_t offset, std::size_t size, boost::system::error_code& error)
        {
            return socket->receive (boost::asio::buffer (buffer + offset, size), 0, error);
        });
    });
}

int BoostSocketTCP::writeData (const uint8_t* buffer, int length)
{
    if (length == 0)
        return 0;

    return guardedTransfer (writeMutex, length, [&] (std::size_t count)
    {
        return transferInPieces (count, [&] (std::size_t offset, std::size_t size, boost::system::error_code& error)
        {
            return socket->send (boost::asio::buffer (buffer + offset, size), 0, error);
        });
    });
}

int BoostSocketTCP::readDataWithTimeout (uint8_t* buffer, int length, int timeoutMs)
{
    if (length == 0)
        return 0;

    return guardedTransfer (readMutex, length, [&] (std::size_t count)
    {
        const auto outcome = awaited (timedTransfer::run (socket, timedTransfer::Direction::receive,
                                                          std::vector<uint8_t> (count),
                                                          std::chrono::milliseconds (timeoutMs)),
                                      GenericCommsBaseError::readTimeout);
        std::copy_n (outcome.bytes.begin(), outcome.count, buffer);
        return (int) outcome.count;
    });
}

int BoostSocketTCP::writeDataWithTimeout (const uint8_t* buffer, int length, int timeoutMs)
{
    if (length == 0)
        return 0;

    return guardedTransfer (writeMutex, length, [&] (std::size_t count)
    {
        const auto outcome = awaited (timedTransfer::run (socket, timedTransfer::Direction::send,
                                                          std::vector<uint8_t> (buffer, buffer + count),
                                                          std::chrono::milliseconds (timeoutMs)),
                                      GenericCommsBaseError::writeTimeout);
        return (int) outcome.count;
    });
}

LinkAttempt attachLink (boost::asio::io_context& context, std::string name, uint16_t port,
                        const std::string& address, int timeoutMs)
{
    auto link = std::make_shared<BoostSocketTCP> (&context, BoostSocketTCP::clientMode, std::move (name));
    link->connect (port, address);
    link->waitForAttach ((unsigned) timeoutMs);
    if (link->isAttached())
        return { link, false };
    return { nullptr, link->lackedLocalPort() };
}

std::shared_ptr<BoostSocketTCP> attachedLink (boost::asio::io_context& context, std::string name, uint16_t port,
                                              const std::string& address, int timeoutMs)
{
    return attachLink (context, std::move (name), port, address, timeoutMs).link;
}
}
