#include "tools/sim/Faults.h"

#include <algorithm>

namespace zsim
{
namespace
{
    using Then = AnswerPlan::Then;

    std::vector<uint8_t> cut (std::vector<uint8_t> bytes, std::size_t length)
    {
        bytes.resize (std::min (bytes.size(), length));
        return bytes;
    }

    // Spoils every byte of the magic number, so that no check of it can pass by chance.
    std::vector<uint8_t> corruptMagic (std::vector<uint8_t> bytes)
    {
        for (std::size_t i = 4; i < std::min<std::size_t> (bytes.size(), 8); ++i)
            bytes[i] ^= 0xFF;
        return bytes;
    }
}

AnswerPlan planAnswer (const ConnectionScript& script, Reply reply)
{
    const bool answers = reply.has_value();
    auto bytes = answers ? std::move (*reply) : std::vector<uint8_t> {};
    const auto delay = answers ? script.delay : std::chrono::milliseconds (0);

    switch (script.behaviour)
    {
        case Behaviour::Silent:             return { {}, {}, Then::Hold };
        case Behaviour::CloseAfterAccept:
        case Behaviour::CloseAfterRequest:  return { {}, {}, Then::Close };
        case Behaviour::ResetAfterAccept:
        case Behaviour::ResetAfterRequest:  return { {}, {}, Then::Reset };
        case Behaviour::ShortReplyHold:     return { {}, cut (std::move (bytes), script.length), Then::Hold };
        case Behaviour::ShortReplyClose:    return { {}, cut (std::move (bytes), script.length), Then::Close };
        case Behaviour::SlowReply:          return { delay, std::move (bytes), Then::ReadNext };
        case Behaviour::BadHeader:          return { {}, corruptMagic (std::move (bytes)), Then::ReadNext };
        case Behaviour::ExtraBytes:
            if (answers)
                bytes.insert (bytes.end(), script.extra.begin(), script.extra.end());
            return { {}, std::move (bytes), Then::ReadNext };
        case Behaviour::Normal:
            break;
    }
    return { {}, std::move (bytes), Then::ReadNext };
}
}
