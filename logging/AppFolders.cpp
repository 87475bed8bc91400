#include "logging/AppFolders.h"
#include "logging/Platform.h"

// The folder's text stays UTF-8, as every path text of the program: a pass through a narrow
// path would turn it into the code page's reading on Windows, where a folder such as a
// user's Downloads folder often has letters beyond the code page.
std::string getExecutableDirectory()
{
    return platform::executableFile().getParentDirectory().getFullPathName().toStdString();
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
