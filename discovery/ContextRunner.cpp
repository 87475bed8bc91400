#include "discovery/ContextRunner.h"

#include <boost/asio/executor_work_guard.hpp>

void runContextUntilStopped (boost::asio::io_context& context)
{
    auto guard = boost::asio::make_work_guard (context);
    while (! context.stopped())
    {
        try
        {
            context.run();
        }
        catch (...)
        {
            // The handler's own operation has failed; the context carries on with the rest.
        }
    }
}
