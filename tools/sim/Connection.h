#pragma once

// One accepted connection: reads requests, records them, lets the device answer and the
// script shape the answer. Lives on the simulator's network thread only; it is kept alive
// by its own pending operations and ends when the last of them completes.

#include "tools/sim/DeviceModel.h"
#include "tools/sim/Faults.h"
#include "tools/sim/Ledger.h"

#include <boost/asio.hpp>

#include <functional>
#include <memory>

namespace zsim
{
// Called when the device takes no new connection for a while (an interface board restarts,
// or a fault says so), so that the listening side gives the outage's reachability meanwhile.
using OutageHook = std::function<void (const Outage&)>;

class Connection : public std::enable_shared_from_this<Connection>
{
public:
    Connection (boost::asio::ip::tcp::socket socket, ScriptQueue::Assignment assignment,
                DeviceModel& device, RequestLog& log, OutageHook outage);

    void start();

    // Drops the connection at once (the simulator is stopping).
    void abandon();

private:
    void readHeader();
    void readPayload();
    void endMidRequest (const boost::system::error_code& error, std::size_t received);
    void onRequest();
    void carryOut (AnswerPlan plan);
    void proceed (AnswerPlan::Then then);
    void closeInOrder();
    void drain();
    void reset();

    boost::asio::ip::tcp::socket socket;
    boost::asio::steady_timer timer;
    const uint64_t number;
    const ConnectionScript script;
    DeviceModel& device;
    RequestLog& log;
    const OutageHook outage;
    bool answering = true;
    std::vector<uint8_t> request;
    std::vector<uint8_t> outgoing;
    std::array<uint8_t, 512> scratch {};
};
}
