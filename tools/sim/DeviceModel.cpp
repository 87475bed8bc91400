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

    std::optional<ConnectionScript> shapeOf (const Board::Outcome& outcome)
    {
        if (outcome.close)
            return ConnectionScript { Behaviour::CloseAfterRequest };
        if (outcome.shortLength)
            return ConnectionScript { Behaviour::ShortReplyClose, *outcome.shortLength };
        return {};
    }
}

std::array<uint8_t, 31> DeviceIdentity::nameField (std::string_view text)
{
    std::array<uint8_t, 31> field {};
    std::copy_n (text.begin(), std::min (text.size(), field.size()), field.begin());
    return field;
}

DeviceModel::DeviceModel (DeviceSetup setup, std::array<uint8_t, 4> address)
    : current (std::move (setup.identity)),
      boards (setup.boards.begin(), setup.boards.end()),
      boundAddress (address)
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

std::vector<uint8_t> DeviceModel::recordReply (uint16_t command) const
{
    const auto bytes = wire::encodeRecord (current, command, boundAddress);
    return { bytes.begin(), bytes.end() };
}

Answer DeviceModel::answer (const std::vector<uint8_t>& request)
{
    const auto header = wire::decodeHeader (request.data());
    if (header.magic != wire::magic)
        return {};

    const auto now = Clock::now();
    const std::lock_guard<std::mutex> lock (mutex);
    if (offline (now))
        return {};

    switch (header.command)
    {
        case discoverCommand:       return { recordReply (header.command) };
        case setUserNameCommand:    return setUserName (header, request);
        case identifyCommand:       return {};   // the device shows itself; nothing goes back
        case wire::tagCommand:      return exchangeTag (request, now);
        default:                    return {};
    }
}

// A rename carries exactly one name field; anything else is not understood and changes nothing.
Answer DeviceModel::setUserName (const wire::Header& header, const std::vector<uint8_t>& request)
{
    if (header.payloadLength != wire::nameSize)
        return {};

    std::copy_n (request.begin() + wire::headerSize, wire::nameSize, current.name.begin());
    return { recordReply (header.command) };
}

// A tag for no board of this device, or not one tag long, is not understood: no answer.
// The reply carries the device's own type as its parameter, as the record does.
Answer DeviceModel::exchangeTag (const std::vector<uint8_t>& request, Clock::time_point now)
{
    const auto tag = wire::decodeTagRequest (request);
    if (! tag)
        return {};
    const auto board = std::find_if (boards.begin(), boards.end(),
                                     [&] (const Board& b) { return b.setup().address == tag->address; });
    if (board == boards.end())
        return {};

    const auto outcome = board->handle (*tag, (uint16_t) current.deviceType, now);
    Answer answer;
    if (outcome.reply)
        answer.reply = wire::encodeTagReply (*outcome.reply);
    answer.delay = outcome.delay;
    answer.shape = shapeOf (outcome);
    if (outcome.restartingUntil && board->setup().interface)
        answer.outage = Outage { *outcome.restartingUntil, Reachability::Refusing };
    else if (outcome.unresponsiveUntil)
        answer.outage = Outage { *outcome.unresponsiveUntil, Reachability::Unresponsive };
    return answer;
}

// While an interface board restarts, the device's network interface is down with it.
bool DeviceModel::offline (Clock::time_point now)
{
    return std::any_of (boards.begin(), boards.end(),
                        [&] (Board& b) { return b.setup().interface && b.restarting (now); });
}

std::size_t DeviceModel::boardCount() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return boards.size();
}

BoardReport DeviceModel::board (std::size_t index)
{
    const std::lock_guard<std::mutex> lock (mutex);
    return boards.at (index).report (Clock::now());
}

void DeviceModel::setBoardPresent (std::size_t index, bool present)
{
    const std::lock_guard<std::mutex> lock (mutex);
    boards.at (index).setPresent (present);
}

void DeviceModel::addFault (std::size_t index, const BoardFault& fault)
{
    const std::lock_guard<std::mutex> lock (mutex);
    boards.at (index).faults().add (fault);
}

void DeviceModel::clearFaults (std::size_t index)
{
    const std::lock_guard<std::mutex> lock (mutex);
    boards.at (index).faults().clear();
}
}
