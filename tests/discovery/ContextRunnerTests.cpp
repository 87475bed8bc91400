#include "discovery/ContextRunner.h"

#include <boost/asio/post.hpp>

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <thread>

TEST (ContextRunner, HandlerThatThrowsDoesNotEndTheRun)
{
    boost::asio::io_context context;
    std::thread runner ([&context] { runContextUntilStopped (context); });

    std::promise<void> afterThrow;
    boost::asio::post (context, [] { throw std::runtime_error ("handler failed"); });
    boost::asio::post (context, [] { throw 42; });
    boost::asio::post (context, [&afterThrow] { afterThrow.set_value(); });
    EXPECT_EQ (afterThrow.get_future().wait_for (std::chrono::seconds (5)), std::future_status::ready);

    // Idle now, and still there for work that comes later.
    std::this_thread::sleep_for (std::chrono::milliseconds (50));
    std::promise<void> later;
    boost::asio::post (context, [&later] { later.set_value(); });
    EXPECT_EQ (later.get_future().wait_for (std::chrono::seconds (5)), std::future_status::ready);

    context.stop();
    runner.join();
}
