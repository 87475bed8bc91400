#include "comms/TimedTransfer.h"

#include <algorithm>
#include <future>
#include <mutex>

namespace aComms
{
namespace timedTransfer
{
namespace
{
// Shared by the waiting caller and every completion; the mutex makes "start the next piece"
// and "give up and cancel" exclusive, so no piece can start after the caller has gone.
class Transfer : public std::enable_shared_from_this<Transfer>
{
public:
    Transfer (std::shared_ptr<boost::asio::ip::tcp::socket> s, Direction d, std::vector<uint8_t> b)
        : socket (std::move (s)), direction (d), data (std::move (b))
    {
    }

    std::optional<Outcome> run (std::chrono::milliseconds timeout)
    {
        auto future = promise.get_future();
        {
            const std::lock_guard<std::mutex> lock (mutex);
            startPiece();
        }

        if (future.wait_for (timeout) == std::future_status::ready)
        {
            auto outcome = future.get();
            const std::lock_guard<std::mutex> lock (mutex);
            outcome.bytes = std::move (data);
            return outcome;
        }

        const std::lock_guard<std::mutex> lock (mutex);
        abandoned = true;
        boost::system::error_code ignored;
        socket->cancel (ignored);
        return std::nullopt;
    }

private:
    void startPiece()
    {
        const auto piece = boost::asio::buffer (data.data() + done, std::min (data.size() - done, maxPieceSize));
        auto handler = [self = shared_from_this()] (const boost::system::error_code& error, std::size_t count)
        {
            self->finishPiece (error, count);
        };

        if (direction == Direction::receive)
            socket->async_receive (piece, std::move (handler));
        else
            socket->async_send (piece, std::move (handler));
    }

    // Runs on the network thread, so nothing may escape from it.
    void finishPiece (const boost::system::error_code& error, std::size_t count)
    {
        try
        {
            const std::lock_guard<std::mutex> lock (mutex);
            done += count;
            if (! error && ! abandoned && done < data.size())
                startPiece();
            else
                promise.set_value ({ error, done, {} });
        }
        catch (const std::exception&)
        {
            // Nothing to report to: the caller learns of it by its time-out.
        }
    }

    std::mutex mutex;
    const std::shared_ptr<boost::asio::ip::tcp::socket> socket;
    const Direction direction;
    std::vector<uint8_t> data;
    std::size_t done = 0;
    bool abandoned = false;
    std::promise<Outcome> promise;
};
}

std::optional<Outcome> run (std::shared_ptr<boost::asio::ip::tcp::socket> socket,
                            Direction direction,
                            std::vector<uint8_t> bytes,
                            std::chrono::milliseconds timeout)
{
    return std::make_shared<Transfer> (std::move (socket), direction, std::move (bytes))->run (timeout);
}
}
}
