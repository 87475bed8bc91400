#include "tools/sim/BoardFaults.h"

#include <algorithm>

namespace zsim
{
namespace
{
    bool answered (BoardRequest request)
    {
        return request == BoardRequest::IdentityRead || request == BoardRequest::Erase
            || request == BoardRequest::ProgramBlock || request == BoardRequest::ProcessorQuery;
    }

    bool restarts (BoardRequest request)
    {
        return request == BoardRequest::EnterBootMode || request == BoardRequest::ProgramComplete
            || request == BoardRequest::Reset;
    }

    bool canActOn (Fault fault, BoardRequest request)
    {
        switch (fault)
        {
            case Fault::Silence:
            case Fault::Close:
            case Fault::GoUnresponsive: return true;
            case Fault::ChecksumError:  return request == BoardRequest::ProgramBlock;
            case Fault::EraseFails:
            case Fault::SlowErase:      return request == BoardRequest::Erase;
            case Fault::StayInBootMode: return request == BoardRequest::ProgramComplete;
            case Fault::SlowRestart:    return restarts (request);
            default:                    return answered (request);
        }
    }

    void apply (const BoardFault& f, FaultEffects& e)
    {
        switch (f.fault)
        {
            case Fault::WrongCh:        e.echoShift.ch = 1; break;
            case Fault::WrongPanel:     e.echoShift.panel = 1; break;
            case Fault::WrongType:      e.echoShift.type = 1; break;
            case Fault::WrongAddr:      e.echoShift.addr = 1; break;
            case Fault::WrongParameter: e.parameter = f.value; break;
            case Fault::WrongCommand:   e.command = f.value; break;
            case Fault::WrongCode:      e.code = (uint8_t) f.value; break;
            case Fault::ZeroFirstByte:  e.zeroFirstByte = true; break;
            case Fault::Silence:        e.drop = true; break;
            case Fault::Close:          e.close = true; break;
            case Fault::ShortReply:     e.shortLength = f.value; break;
            case Fault::LostReply:      e.lostReply = true; break;
            case Fault::ChecksumError:  e.checksumError = true; break;
            case Fault::EraseFails:     e.eraseFails = true; break;
            case Fault::SlowErase:      e.eraseTime = f.time; break;
            case Fault::StayInBootMode: e.stayInBootMode = true; break;
            case Fault::SlowRestart:    e.restartTime = f.time; break;
            case Fault::GoUnresponsive: e.unresponsiveTime = f.time; break;
        }
    }
}

void FaultEffects::spoil (wire::TagReply& reply) const
{
    reply.echo.panel = (uint8_t) (reply.echo.panel + echoShift.panel);
    reply.echo.ch = (uint8_t) (reply.echo.ch + echoShift.ch);
    reply.echo.type = (uint8_t) (reply.echo.type + echoShift.type);
    reply.echo.addr = (uint8_t) (reply.echo.addr + echoShift.addr);
    reply.parameter = parameter.value_or (reply.parameter);
    reply.command = command.value_or (reply.command);
    reply.code = code.value_or (reply.code);
    if (zeroFirstByte)
        reply.length = 0;
}

void FaultList::add (const BoardFault& fault)
{
    faults.push_back (fault);
}

void FaultList::clear()
{
    faults.clear();
}

FaultEffects FaultList::take (BoardRequest request)
{
    FaultEffects effects;
    for (auto& f : faults)
    {
        if ((f.on != BoardRequest::Any && f.on != request) || ! canActOn (f.fault, request))
            continue;
        if (f.skip > 0)
        {
            --f.skip;
            continue;
        }
        apply (f, effects);
        if (f.times != BoardFault::always)
            --f.times;
    }
    faults.erase (std::remove_if (faults.begin(), faults.end(), [] (const BoardFault& f) { return f.times == 0; }),
                  faults.end());
    return effects;
}
}
