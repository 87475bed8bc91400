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

// Points HOME at a fresh folder for the life of the object, so that the per-user
// application-data folder lands there.
class TemporaryHome final
{
public:
    TemporaryHome();
    ~TemporaryHome();

    const juce::File& file() const { return home.file(); }

private:
    TemporaryFolder home;
    juce::String previous;
    bool hadPrevious = false;
    JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
};
}
