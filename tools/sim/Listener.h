#pragma once

// The listening side of one simulated device: opens, closes or jams its listening socket
// to give the reachability asked for, and hands each accepted connection its script.
// Used on the simulator's network thread only (and before that thread starts).

#include "tools/sim/Connection.h"

#include <boost/asio.hpp>

#include <memory>
#include <vector>

namespace zsim
{
class Listener
{
public:
    // heldBefore: this device served the address a moment ago (a restart after a stop).
    Listener (boost::asio::io_context& io, boost::asio::ip::tcp::endpoint endpoint,
              DeviceModel& device, RequestLog& log, ScriptQueue& scripts, bool heldBefore);

    // Binds the address whatever the reachability, which tells at once whether it is ours,
    // then gives the reachability asked for; false when the address cannot be bound.
    bool start (Reachability reachability);

    // False when the address cannot be bound; the device then refuses connections. During
    // an outage the reachability is kept and applied when the outage ends. Asking for the
    // reachability in force leaves the listening socket untouched.
    bool apply (Reachability reachability);

    // Gives the outage's reachability (refusing, or letting connects time out) until its
    // end, then goes back to the reachability asked for.
    void goOffline (const Outage& outage);

    // Closes the listening socket and every connection.
    void closeAll();

    // The port bound first, kept for every later bind (it matters when 0 was asked for).
    uint16_t port() const;

private:
    bool open (Reachability reachability);
    bool isOpenAs (Reachability reachability) const;
    bool listen (int backlog);
    bool bind();
    boost::system::error_code tryBind();
    bool jam();
    void closeListening();
    void acceptNext();
    void adopt (boost::asio::ip::tcp::socket socket);

    boost::asio::ip::tcp::endpoint endpoint;
    DeviceModel& device;
    RequestLog& log;
    ScriptQueue& scripts;

    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::ip::tcp::socket filler;
    boost::asio::steady_timer retry;
    boost::asio::steady_timer outage;
    bool held;                // the address was ours before: a bind may wait for it
    bool offline = false;
    Reachability wanted = Reachability::Accepting;
    uint64_t generation = 0;  // a completion from before the last close is stale
    std::vector<std::weak_ptr<Connection>> connections;
};
}
