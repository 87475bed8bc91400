#include "tools/sim/Board.h"

#include <algorithm>
#include <numeric>

namespace zsim
{
namespace
{
    constexpr uint8_t identityCode = 'j';
    constexpr uint8_t acceptedCode = 'k';
    constexpr uint8_t rejectedCode = 'm';
    constexpr uint8_t processorCode = 'o';
    constexpr uint8_t runningState = 'W';
    constexpr uint8_t bootState = 'V';
    constexpr uint8_t erasedState = 'Y';

    uint8_t sum (const uint8_t* from, const uint8_t* to)
    {
        return (uint8_t) std::accumulate (from, to, 0u);
    }
}

Board::Board (BoardSetup setup)
    : config (setup),
      state (setup.bootMode ? BoardState::BootMode : BoardState::Running),
      version (setup.version)
{
}

bool Board::restarting (Clock::time_point now)
{
    settle (now);
    return state == BoardState::Restarting;
}

void Board::settle (Clock::time_point now)
{
    if (state == BoardState::Restarting && now >= restartEnds)
        state = afterRestart;
}

// Faults are counted only against requests the board takes in: an absent or restarting
// board hears nothing of what is sent to it.
Board::Outcome Board::handle (const wire::TagRequest& request, uint16_t parameter, Clock::time_point now)
{
    settle (now);
    if (! request.request)
    {
        ++kept.malformed;
        return {};
    }
    const auto kind = *request.request;
    ++kept.received.at ((std::size_t) kind);
    if (! config.present || state == BoardState::Restarting)
        return {};

    const auto effects = faultList.take (kind);
    if (effects.drop || effects.close)
    {
        Outcome dropped;
        dropped.close = effects.close;
        return dropped;
    }

    auto outcome = act (kind, request, effects, now);
    if (effects.unresponsiveTime)
        outcome.unresponsiveUntil = now + *effects.unresponsiveTime;
    if (outcome.reply)
    {
        outcome.reply->parameter = parameter;
        outcome.reply->echo = request.address;
        effects.spoil (*outcome.reply);
        if (effects.lostReply)
            outcome.reply.reset();
        outcome.shortLength = effects.shortLength;
    }
    return outcome;
}

Board::Outcome Board::act (BoardRequest request, const wire::TagRequest& tag, const FaultEffects& effects,
                           Clock::time_point now)
{
    switch (request)
    {
        case BoardRequest::IdentityRead:    return answerWithIdentity();
        case BoardRequest::EnterBootMode:   return restart (BoardState::BootMode, effects, now);
        case BoardRequest::Erase:           return erase (effects);
        case BoardRequest::ProgramBlock:    return program (tag, effects);
        case BoardRequest::ProgramComplete: return restart (afterComplete (effects), effects, now);
        case BoardRequest::Reset:
            return restart (hasFirmware ? BoardState::Running : BoardState::BootMode, effects, now);
        case BoardRequest::ProcessorQuery:
            if (config.variant)
                return answer (processorCode, *config.variant);
            return {};
        case BoardRequest::Any:
            break;
    }
    return {};
}

Board::Outcome Board::restart (BoardState target, const FaultEffects& effects, Clock::time_point now)
{
    state = BoardState::Restarting;
    afterRestart = target;
    restartEnds = now + effects.restartTime.value_or (config.restartTime);
    ++kept.restarts;

    Outcome outcome;
    outcome.restartingUntil = restartEnds;
    return outcome;
}

Board::Outcome Board::erase (const FaultEffects& effects)
{
    if (config.kind == BoardKind::Pic && state == BoardState::Running)
        return answerWithIdentity();

    auto outcome = answer (identityCode, 0);
    outcome.delay = effects.eraseTime.value_or (config.eraseTime);
    if (effects.eraseFails)
    {
        outcome.reply->state = stateLetter();
        return outcome;
    }
    kept.picMemory.clear();
    kept.fpgaStream.clear();
    hasFirmware = false;
    state = BoardState::Erased;
    outcome.reply->state = erasedState;
    return outcome;
}

Board::Outcome Board::program (const wire::TagRequest& tag, const FaultEffects& effects)
{
    if (config.kind == BoardKind::Pic && state == BoardState::Running)
        return answerWithIdentity();

    if (effects.checksumError || ! blockIsSound (tag.tag))
    {
        ++kept.rejectedBlocks;
        return answer (rejectedCode, 0);
    }
    store (tag.tag);
    state = BoardState::Programmed;
    return answer (acceptedCode, 0);
}

BoardState Board::afterComplete (const FaultEffects& effects)
{
    if (effects.stayInBootMode)
        return BoardState::BootMode;
    if (state == BoardState::Programmed)
    {
        version = config.newVersion;
        hasFirmware = true;
    }
    return hasFirmware ? BoardState::Running : BoardState::BootMode;
}

// A block is sound when its tag length fits its count, nothing follows its data, and its
// checksum holds: over count, address, record type and data for a PIC board (one Intel HEX
// record), over the data alone for an FPGA board (a slice of a raw image).
bool Board::blockIsSound (const std::array<uint8_t, wire::tagSize>& t) const
{
    const std::size_t count = t[wire::tag::count];
    if (count < 1 || count > wire::tag::maxData || t[wire::tag::length] != wire::tag::data + count)
        return false;

    const auto* dataEnd = t.data() + wire::tag::data + count;
    if (std::any_of (dataEnd, t.data() + t.size(), [] (uint8_t b) { return b != 0; }))
        return false;

    const auto* covered = config.kind == BoardKind::Pic ? t.data() + wire::tag::count : t.data() + wire::tag::data;
    return sum (covered, dataEnd) == t[wire::tag::checksum];
}

// A PIC block lands at its address, so a block sent again replaces itself; an FPGA slice
// carries no address and is appended, so a slice sent again is stored twice.
void Board::store (const std::array<uint8_t, wire::tagSize>& t)
{
    const auto* data = t.data() + wire::tag::data;
    const auto* dataEnd = data + t[wire::tag::count];
    if (config.kind == BoardKind::Fpga)
    {
        kept.fpgaStream.insert (kept.fpgaStream.end(), data, dataEnd);
        return;
    }
    kept.picMemory[wire::getU32 (t.data() + wire::tag::address)].assign (data, dataEnd);
}

Board::Outcome Board::answer (uint8_t code, uint8_t value) const
{
    wire::TagReply reply;
    reply.code = code;
    reply.state = stateLetter();
    reply.value = value;

    Outcome outcome;
    outcome.reply = reply;
    return outcome;
}

Board::Outcome Board::answerWithIdentity() const
{
    return answer (identityCode, reportedVersion());
}

uint8_t Board::stateLetter() const
{
    return state == BoardState::Running ? runningState : bootState;
}

uint8_t Board::reportedVersion() const
{
    return hasFirmware ? version : 0;
}

BoardReport Board::report (Clock::time_point now)
{
    settle (now);
    auto copy = kept;
    copy.state = state;
    copy.present = config.present;
    copy.version = reportedVersion();
    return copy;
}

void Board::setPresent (bool present)
{
    config.present = present;
}
}
