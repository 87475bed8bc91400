#include "tools/sim/Connection.h"

namespace zsim
{
namespace
{
    using boost::system::error_code;
    using Clock = std::chrono::steady_clock;
}

Connection::Connection (boost::asio::ip::tcp::socket s, ScriptQueue::Assignment assignment,
                        DeviceModel& d, RequestLog& l, OutageHook hook)
    : socket (std::move (s)),
      timer (socket.get_executor()),
      number (assignment.connection),
      script (std::move (assignment.script)),
      device (d),
      log (l),
      outage (std::move (hook))
{
}

void Connection::start()
{
    if (script.behaviour == Behaviour::CloseAfterAccept)
        closeInOrder();
    else if (script.behaviour == Behaviour::ResetAfterAccept)
        reset();
    else
        readHeader();
}

void Connection::abandon()
{
    timer.cancel();
    error_code ignored;
    socket.close (ignored);
}

void Connection::readHeader()
{
    request.assign (wire::headerSize, 0);
    boost::asio::async_read (socket, boost::asio::buffer (request),
                             [self = shared_from_this()] (const error_code& error, std::size_t received)
                             {
                                 if (error)
                                     self->endMidRequest (error, received);
                                 else
                                     self->readPayload();
                             });
}

void Connection::readPayload()
{
    const auto length = wire::decodeHeader (request.data()).payloadLength;
    if (length > wire::maxPayload)
    {
        log.record (number, Clock::now(), request);
        abandon();
        return;
    }
    if (length == 0)
    {
        onRequest();
        return;
    }

    request.resize (wire::headerSize + length);
    boost::asio::async_read (socket, boost::asio::buffer (request.data() + wire::headerSize, length),
                             [self = shared_from_this()] (const error_code& error, std::size_t received)
                             {
                                 if (error)
                                     self->endMidRequest (error, wire::headerSize + received);
                                 else
                                     self->onRequest();
                             });
}

// The peer went away (or the stream broke) before a whole request arrived: whatever did
// arrive is still worth seeing, since a client that sends half a request is a fault to find.
void Connection::endMidRequest (const error_code& error, std::size_t received)
{
    if (error == boost::asio::error::operation_aborted)
        return;

    if (received > 0)
    {
        request.resize (received);
        log.record (number, Clock::now(), std::move (request));
    }
    abandon();
}

// The device acts before the request is logged, so that whoever waits for the log sees
// the device's state after it (a rename has been stored). A board fault's own way of
// answering takes the place of the connection's script for this request; the device's own
// time (an erase) comes on top of any delay the script adds.
void Connection::onRequest()
{
    const auto completed = Clock::now();
    auto answer = device.answer (request);
    if (answer.outage)
        outage (*answer.outage);
    log.record (number, completed, request);

    if (! answering)
    {
        readHeader();
        return;
    }
    const bool replies = answer.reply.has_value();
    auto plan = planAnswer (answer.shape ? *answer.shape : script, std::move (answer.reply));
    if (replies)
        plan.delay += answer.delay;
    carryOut (std::move (plan));
}

void Connection::carryOut (AnswerPlan plan)
{
    if (plan.delay.count() > 0)
    {
        timer.expires_after (plan.delay);
        timer.async_wait ([self = shared_from_this(), plan = std::move (plan)] (const error_code& error) mutable
                          {
                              plan.delay = {};
                              if (! error)
                                  self->carryOut (std::move (plan));
                          });
        return;
    }
    if (plan.bytes.empty())
    {
        proceed (plan.then);
        return;
    }

    outgoing = std::move (plan.bytes);
    boost::asio::async_write (socket, boost::asio::buffer (outgoing),
                              [self = shared_from_this(), then = plan.then] (const error_code& error, std::size_t)
                              {
                                  if (! error)
                                      self->proceed (then);
                              });
}

void Connection::proceed (AnswerPlan::Then then)
{
    switch (then)
    {
        case AnswerPlan::Then::ReadNext:    readHeader(); break;
        case AnswerPlan::Then::Hold:        answering = false; readHeader(); break;
        case AnswerPlan::Then::Close:       closeInOrder(); break;
        case AnswerPlan::Then::Reset:       reset(); break;
    }
}

// Closing a socket with unread bytes in it sends RST, not FIN. So the close is a FIN first,
// then whatever the peer still sends is read and dropped until it closes too.
void Connection::closeInOrder()
{
    error_code ignored;
    socket.shutdown (boost::asio::ip::tcp::socket::shutdown_send, ignored);
    drain();
}

void Connection::drain()
{
    socket.async_read_some (boost::asio::buffer (scratch),
                            [self = shared_from_this()] (const error_code& error, std::size_t)
                            {
                                if (! error)
                                    self->drain();
                            });
}

void Connection::reset()
{
    error_code ignored;
    socket.set_option (boost::asio::socket_base::linger (true, 0), ignored);
    socket.close (ignored);
}
}
