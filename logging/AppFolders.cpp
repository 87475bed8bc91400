#include "logging/AppFolders.h"
#include "logging/Platform.h"

#include <filesystem>

std::string getExecutableDirectory()
{
    const auto folder = platform::executableFile().getParentDirectory().getFullPathName();
    const std::string utf8 = folder.toStdString();

    try
    {
        return std::filesystem::path (utf8).string();
    }
    catch (const std::exception&)
    {
        // A folder name the narrow file-system encoding cannot hold is still the folder.
        return utf8;
    }
}

juce::File getAppSupportDirectory (bool createIfMissing)
{
    const auto base = platform::userApplicationDataBase();
    if (base == juce::File())
        return {};

    const auto folder = base.getChildFile ("Zorv").getChildFile ("ZorvUpdater");
    if (! folder.exists() && createIfMissing)
        folder.createDirectory();
    return folder;
}
