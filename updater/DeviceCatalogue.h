#pragma once

// Board names and firmware file entries per device type: one copy in GUI strings for the
// main window, one in standard strings for the engine. A firmware entry is the device
// type's folder, "/", and the file name.

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

struct DeviceCatalogue
{
    std::vector<juce::StringArray> boardNames;      // [device type][board index]
    std::vector<juce::StringArray> firmwareFiles;   // [device type][board index]
};

struct StdDeviceCatalogue
{
    std::vector<std::vector<std::string>> boardNames;
    std::vector<std::vector<std::string>> firmwareFiles;
};

DeviceCatalogue buildDeviceCatalogue();
StdDeviceCatalogue toStdDeviceCatalogue();
std::vector<std::string> toStdStringVector (const juce::StringArray& strings);
