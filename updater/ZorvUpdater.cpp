#include "updater/ZorvUpdater.h"
#include "updater/DeviceCatalogue.h"

#include "discovery/ContextRunner.h"

#include <utility>

namespace
{
    std::shared_ptr<std::thread> startThread (std::function<void()> run)
    {
        return std::make_shared<std::thread> (std::move (run));
    }
}

ZorvUpdater::ZorvUpdater (std::string baseDirectory_, UpdaterTiming timing_)
    : baseDirectory (std::move (baseDirectory_)),
      timing (timing_),
      startWorker (startThread)
{
    auto catalogue = toStdDeviceCatalogue();
    boardNames = std::move (catalogue.boardNames);
    firmwareFiles = std::move (catalogue.firmwareFiles);

    ioThread = std::make_shared<std::thread> ([this] { runIoContext(); });
}

// A worker still inside an exchange finds the network context stopped: the exchange ends
// by its own time-out, and every wait after it ends at once on the cancel flag.
ZorvUpdater::~ZorvUpdater()
{
    cancel = true;
    ioContext.stop();

    if (ioThread != nullptr && ioThread->joinable())
        ioThread->join();
    ioThread.reset();

    if (workerThread != nullptr && workerThread->joinable())
        workerThread->join();
    workerThread.reset();
}

void ZorvUpdater::runIoContext()
{
    runContextUntilStopped (ioContext);
}

// Launches come from the message thread only, so reading busy and then setting it cannot
// race with another launch; the worker only ever clears it.
bool ZorvUpdater::tryBeginOperation()
{
    if (busy)
        return false;

    if (workerThread != nullptr && workerThread->joinable())
        workerThread->join();
    workerThread.reset();

    cancel = false;
    busy = true;
    return true;
}

void ZorvUpdater::launchOperation (OperationTexts texts, UpdaterEventCallback callback, OperationBody body)
{
    if (! tryBeginOperation())
        return;

    try
    {
        workerThread = startWorker ([this, texts, callback, body = std::move (body)]
                                    {
                                        runOperation (texts, callback, body);
                                    });
    }
    catch (const std::exception& e)
    {
        // No worker runs, so nothing else would ever clear busy or re-enable the window; the
        // launcher runs on the message thread, which a throwing receiver must not take down.
        busy = false;
        reportFailure (callback, e, texts.failure);
    }
}

// The frame every operation shares: a short pause, the controls disabled, the work, the
// controls enabled and the final event; busy is cleared last, on either ending.
void ZorvUpdater::runOperation (const OperationTexts& texts, const UpdaterEventCallback& callback, const OperationBody& body)
{
    operationStartPause();
    try
    {
        sendControlsEnabled (callback, false);
        body (callback);
        sendControlsEnabled (callback, true);
        sendOperationFinished (callback, true, texts.success);
    }
    catch (const std::exception& e)
    {
        reportFailure (callback, e, texts.failure);
    }
    busy = false;
}

// A receiver that throws even while the failure is reported cannot be told anything more;
// the exception must not end the process, and the engine must stay free for the next
// operation.
void ZorvUpdater::reportFailure (const UpdaterEventCallback& callback, const std::exception& e, const std::string& failureText)
{
    try
    {
        failOperation (callback, e, failureText);
    }
    catch (...)
    {
    }
}
