#pragma once

// The device behind the connections: its identity and how it answers each command. Every
// command is handled here and only here; the connections know nothing of commands.

#include "tools/sim/DeviceSimulator.h"
#include "tools/sim/Wire.h"

#include <mutex>
#include <optional>
#include <vector>

namespace zsim
{
// The bytes a request gets back; empty when the command sends no answer.
using Reply = std::optional<std::vector<uint8_t>>;

class DeviceModel
{
public:
    DeviceModel (DeviceIdentity identity, std::array<uint8_t, 4> boundAddress);

    DeviceIdentity identity() const;
    void setIdentity (const DeviceIdentity&);
    std::array<uint8_t, wire::recordSize> record (uint16_t command) const;

    // Acts on one complete request (header and payload) and gives its answer. A request
    // with a wrong magic number is no request of this protocol and is ignored.
    Reply answer (const std::vector<uint8_t>& request);

private:
    Reply discover (const wire::Header&);
    Reply setUserName (const wire::Header&, const std::vector<uint8_t>& request);

    mutable std::mutex mutex;
    DeviceIdentity current;
    const std::array<uint8_t, 4> boundAddress;
};
}
