#include "tests/support/TestFolders.h"

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
}
