#pragma once

#include <juce_core/juce_core.h>

#include <string>

// Full path of the folder that holds the running executable, without a trailing separator,
// in UTF-8.
std::string getExecutableDirectory();

// The per-user folder Zorv/ZorvUpdater that holds the log file and the settings file.
// Created with its parents when asked and missing; the path comes back either way.
// When the system names no per-user base folder the result is an empty juce::File
// and nothing is created.
juce::File getAppSupportDirectory (bool createIfMissing);
