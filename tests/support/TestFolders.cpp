#include "tests/support/TestFolders.h"

#include <cstdlib>

namespace testfolders
{
TemporaryFolder::TemporaryFolder()
    : folder (juce::File::createTempFile ("zorv-test"))
{
    folder.createDirectory();
}

TemporaryFolder::~TemporaryFolder()
{
    folder.deleteRecursively();
}

TemporaryHome::TemporaryHome()
{
    if (const char* value = std::getenv ("HOME"))
    {
        previous = value;
        hadPrevious = true;
    }
    ::setenv ("HOME", home.file().getFullPathName().toRawUTF8(), 1);
}

TemporaryHome::~TemporaryHome()
{
    if (hadPrevious)
        ::setenv ("HOME", previous.toRawUTF8(), 1);
    else
        ::unsetenv ("HOME");
}
}
