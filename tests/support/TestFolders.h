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

// Sets HOME to the value, or unsets it for a null value, for the life of the object.
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

// Points HOME at a fresh folder for the life of the object, so that the per-user
// application-data folder lands there.
class TemporaryHome final
{
public:
    TemporaryHome();

    const juce::File& file() const { return home.file(); }

private:
    TemporaryFolder home;
    HomeVariable variable;
    JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
};
}
