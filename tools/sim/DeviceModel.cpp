#include "tools/sim/DeviceModel.h"

#include <algorithm>

namespace zsim
{
namespace
{
    enum Command : uint16_t
    {
        discoverCommand = 0,
        setUserNameCommand = 1,
        identifyCommand = 2
    };

    std::vector<uint8_t> asReply (const std::array<uint8_t, wire::recordSize>& record)
    {
        return { record.begin(), record.end() };
    }
}

std::array<uint8_t, 31> DeviceIdentity::nameField (std::string_view text)
{
    std::array<uint8_t, 31> field {};
    std::copy_n (text.begin(), std::min (text.size(), field.size()), field.begin());
    return field;
}

DeviceModel::DeviceModel (DeviceIdentity identity, std::array<uint8_t, 4> address)
    : current (std::move (identity)), boundAddress (address)
{
}

DeviceIdentity DeviceModel::identity() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return current;
}

void DeviceModel::setIdentity (const DeviceIdentity& identity)
{
    const std::lock_guard<std::mutex> lock (mutex);
    current = identity;
}

std::array<uint8_t, wire::recordSize> DeviceModel::record (uint16_t command) const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return wire::encodeRecord (current, command, boundAddress);
}

Reply DeviceModel::answer (const std::vector<uint8_t>& request)
{
    const auto header = wire::decodeHeader (request.data());
    if (header.magic != wire::magic)
        return {};

    switch (header.command)
    {
        case discoverCommand:       return discover (header);
        case setUserNameCommand:    return setUserName (header, request);
        case identifyCommand:       return {};   // the device shows itself; nothing goes back
        default:                    return {};
    }
}

Reply DeviceModel::discover (const wire::Header& header)
{
    return asReply (record (header.command));
}

// A rename carries exactly one name field; anything else is not understood and changes nothing.
Reply DeviceModel::setUserName (const wire::Header& header, const std::vector<uint8_t>& request)
{
    if (header.payloadLength != wire::nameSize)
        return {};

    {
        const std::lock_guard<std::mutex> lock (mutex);
        std::copy_n (request.begin() + wire::headerSize, wire::nameSize, current.name.begin());
    }
    return asReply (record (header.command));
}
}
