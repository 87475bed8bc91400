#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <mutex>

// The process-wide diagnostic trail: one timestamped line per call in ZorvUpdater.log,
// trimmed to its last 2 MiB when the first call opens it.
class AppLogger final
{
public:
    static AppLogger& instance();

    // Appends "[DD-MM-YYYY HH:MM:SS.mmm] message"; callable from any thread.
    void log (const juce::String& message);

    // The largest log file kept whole at start; a longer one keeps its tail.
    static constexpr juce::int64 maxInitialFileSize = 2 * 1024 * 1024;

    // The line as log writes it, for the clock reading given in 100 ns units since 1970 (UTC).
    static juce::String formatLine (const juce::String& message, juce::int64 ticks100ns);

private:
    AppLogger();
    void init();
    static juce::String timestampedLine (const juce::String& message);

    std::mutex mutex;
    std::unique_ptr<juce::FileLogger> logger;

    JUCE_DECLARE_NON_COPYABLE (AppLogger)
};
