#pragma once

#include <boost/asio/io_context.hpp>

// Runs the context on the calling thread until someone stops it, idle or not. A handler
// that throws does not end the run: the thread goes on completing the other operations,
// which would otherwise all wait out their time-outs.
void runContextUntilStopped (boost::asio::io_context& context);
