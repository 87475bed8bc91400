#include "logging/AppLogger.h"
#include "logging/AppFolders.h"
#include "logging/Platform.h"

#include <ApplicationVersion.h>

#include <chrono>
#include <iomanip>
#include <sstream>

namespace
{
    const char* const appName = "ZorvUpdater";
}

AppLogger& AppLogger::instance()
{
    static AppLogger theLogger;
    return theLogger;
}

AppLogger::AppLogger()
{
    init();
}

void AppLogger::init()
{
    const auto folder = getAppSupportDirectory (true);
    if (folder == juce::File())
        return;     // no per-user folder: the lines are lost rather than written somewhere odd

    const auto logFile = folder.getChildFile (juce::String (appName) + ".log");
    const auto welcome = juce::String (appName) + " v" + applicationVersion + "\n"
                       + "App Dir: " + juce::String (getExecutableDirectory());

    logger = std::make_unique<juce::FileLogger> (logFile, welcome, maxInitialFileSize);
}

void AppLogger::log (const juce::String& message)
{
    const std::lock_guard<std::mutex> lock (mutex);
    if (logger != nullptr)
        logger->logMessage (timestampedLine (message));
}

juce::String AppLogger::timestampedLine (const juce::String& message)
{
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    return formatLine (message, duration_cast<nanoseconds> (sinceEpoch).count() / 100);
}

juce::String AppLogger::formatLine (const juce::String& message, juce::int64 ticks100ns)
{
    const std::time_t seconds = (std::time_t) (ticks100ns / 10000000);
    const int milliseconds = (int) ((ticks100ns / 10000) % 1000);

    const std::tm local = platform::localTime (seconds);

    std::ostringstream out;
    out << std::put_time (&local, "[%d-%m-%Y %H:%M:%S") << "."
        << std::setfill ('0') << std::setw (3) << milliseconds << "]";
    return juce::String (out.str()) + " " + message;
}
