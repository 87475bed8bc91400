#include "tools/sim/Listener.h"

#include <algorithm>
#include <thread>

namespace zsim
{
namespace
{
    using boost::system::error_code;
    using boost::asio::ip::tcp;

    // After an accept fails for want of resources (file handles), try again a little later
    // instead of spinning.
    constexpr std::chrono::milliseconds acceptRetry { 20 };

    // An address this device gave up a moment ago can stay taken while its closed socket
    // winds down a pending accept (seen under Wine, for some milliseconds under load): a bind
    // of such an address waits for it this long before the device refuses instead.
    constexpr std::chrono::milliseconds rebindWait { 2000 };
    constexpr std::chrono::milliseconds rebindPoll { 5 };
}

Listener::Listener (boost::asio::io_context& context, tcp::endpoint where,
                    DeviceModel& d, RequestLog& l, ScriptQueue& s, bool heldBefore)
    : endpoint (where), device (d), log (l), scripts (s),
      acceptor (context), filler (context), retry (context), outage (context), held (heldBefore)
{
}

bool Listener::start (Reachability reachability)
{
    wanted = reachability;
    if (reachability != Reachability::Refusing)
        return open (reachability);
    const bool bound = bind();
    closeListening();
    return bound;
}

bool Listener::apply (Reachability reachability)
{
    // A listener that already gives what is asked stays as it is: closing and binding the
    // same address again at once is not reliable everywhere (a closed listener with an accept
    // pending may keep its address for a while).
    const bool unchanged = reachability == wanted && isOpenAs (reachability);
    wanted = reachability;
    if (offline || unchanged)
        return true;
    return open (reachability);
}

bool Listener::isOpenAs (Reachability reachability) const
{
    return (reachability == Reachability::Refusing) != acceptor.is_open();
}

void Listener::goOffline (const Outage& coming)
{
    if (offline && outage.expiry() >= coming.until)
        return;
    offline = true;
    if (coming.meanwhile == Reachability::Refusing)
        closeListening();
    else
        open (coming.meanwhile);
    outage.expires_at (coming.until);
    outage.async_wait ([this] (const error_code& error)
                       {
                           if (error)
                               return;
                           offline = false;
                           open (wanted);
                       });
}

bool Listener::open (Reachability reachability)
{
    closeListening();
    switch (reachability)
    {
        case Reachability::Accepting:
            if (! listen (boost::asio::socket_base::max_listen_connections))
                return false;
            acceptNext();
            return true;
        case Reachability::Refusing:
            return true;
        case Reachability::Unresponsive:
            return listen (0) && jam();
    }
    return false;
}

void Listener::closeAll()
{
    outage.cancel();
    closeListening();
    for (auto& weak : connections)
        if (auto connection = weak.lock())
            connection->abandon();
    connections.clear();
}

uint16_t Listener::port() const
{
    return endpoint.port();
}

bool Listener::listen (int backlog)
{
    error_code error;
    if (bind())
        acceptor.listen (backlog, error);
    if (error)
        closeListening();
    return acceptor.is_open();
}

bool Listener::bind()
{
    const auto giveUp = std::chrono::steady_clock::now() + rebindWait;
    for (;;)
    {
        const error_code error = tryBind();
        if (! error)
        {
            held = true;
            return true;
        }
        if (! held || error != boost::asio::error::address_in_use
            || std::chrono::steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for (rebindPoll);
    }
}

error_code Listener::tryBind()
{
    error_code error;
    acceptor.open (endpoint.protocol(), error);
   #if ! defined (_WIN32)
    // Lets the address be bound again while connections of the last listener wait out their
    // close. On Windows the option would instead let another socket take a port in use, and
    // a port is free again there without it.
    if (! error)
        acceptor.set_option (tcp::acceptor::reuse_address (true), error);
   #endif
    if (! error)
        acceptor.bind (endpoint, error);
    if (! error)
        endpoint.port (acceptor.local_endpoint (error).port());

    if (error)
        closeListening();
    return error;
}

// A listener with backlog 0 that never accepts still completes one handshake into its
// queue. The simulator takes that single place itself; the kernel then drops every further
// SYN, so a client's connect neither succeeds nor is refused: it times out.
bool Listener::jam()
{
    error_code error;
    filler.connect (endpoint, error);
    if (error)
        closeListening();
    return ! error;
}

void Listener::closeListening()
{
    ++generation;
    error_code ignored;
    retry.cancel();
    acceptor.close (ignored);
    filler.close (ignored);
}

void Listener::acceptNext()
{
    acceptor.async_accept ([this, current = generation] (const error_code& error, tcp::socket socket)
                           {
                               if (current != generation)
                                   return;
                               if (! error)
                               {
                                   adopt (std::move (socket));
                                   acceptNext();
                                   return;
                               }
                               retry.expires_after (acceptRetry);
                               retry.async_wait ([this, current] (const error_code& waited)
                                                 {
                                                     if (! waited && current == generation)
                                                         acceptNext();
                                                 });
                           });
}

void Listener::adopt (tcp::socket socket)
{
    connections.erase (std::remove_if (connections.begin(), connections.end(),
                                       [] (const std::weak_ptr<Connection>& weak) { return weak.expired(); }),
                       connections.end());

    auto connection = std::make_shared<Connection> (std::move (socket), scripts.next(), device, log,
                                                    [this] (const Outage& outage) { goOffline (outage); });
    connections.push_back (connection);
    connection->start();
}
}
