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

HomeVariable::HomeVariable (const char* value)
{
    if (const char* current = std::getenv ("HOME"))
    {
        previous = current;
        hadPrevious = true;
    }
    if (value != nullptr)
        ::setenv ("HOME", value, 1);
    else
        ::unsetenv ("HOME");
}

HomeVariable::~HomeVariable()
{
    if (hadPrevious)
        ::setenv ("HOME", previous.toRawUTF8(), 1);
    else
        ::unsetenv ("HOME");
}

TemporaryHome::TemporaryHome()
    : variable (home.file().getFullPathName().toRawUTF8())
{
}
}
