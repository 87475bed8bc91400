#pragma once

// How a connection's script turns the device's answer into what goes on the wire. It knows
// nothing of commands: any reply of any command is delayed, cut, padded or spoilt alike.

#include "tools/sim/DeviceModel.h"

namespace zsim
{
struct AnswerPlan
{
    enum class Then
    {
        ReadNext,   // read the next request
        Hold,       // keep reading (and handling) requests, but answer none of them
        Close,      // end the connection in order (FIN)
        Reset       // abort the connection (RST)
    };

    std::chrono::milliseconds delay { 0 };
    std::vector<uint8_t> bytes;
    Then then = Then::ReadNext;
};

AnswerPlan planAnswer (const ConnectionScript& script, Reply reply);
}
