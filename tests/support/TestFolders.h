#pragma once

#include <juce_core/juce_core.h>

namespace testfolders
{
// A fresh, empty folder that is removed when the object goes.
class TemporaryFolder final
{
public:
    TemporaryFolder();
    ~TemporaryFolder();

    const juce::File& file() const { return folder; }

private:
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};

// Sets HOME to the value, or unsets it for a null value, for the life of the object
// (Linux, where HOME decides the per-user folder).
class HomeVariable final
{
public:
    explicit HomeVariable (const char* value);
    ~HomeVariable();

private:
    juce::String previous;
    bool hadPrevious = false;
    JUCE_DECLARE_NON_COPYABLE (HomeVariable)
};

// A per-user application-data folder of the test's own for the life of the object, so
// that the program's Zorv/ZorvUpdater folder starts out missing. On Linux HOME points at a
// fresh folder; on Windows, where the roaming folder cannot be redirected, a Zorv folder
// already there is set aside and put back afterwards (tests using it must not run side by side).
class TemporaryHome final
{
public:
    TemporaryHome();
    ~TemporaryHome();

    // HOME on Linux, the roaming application-data folder on Windows.
    const juce::File& file() const { return home; }

    // Where the system's naming of the per-user folder puts the program's folder.
    const juce::File& appFolder() const { return zorvUpdater; }

private:
    TemporaryFolder folder;
    juce::File home;
    juce::File zorvUpdater;
    juce::String previous;
    bool hadPrevious = false;
    JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
};
}
