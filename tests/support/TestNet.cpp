#include "tests/support/TestNet.h"
#include "tests/support/Platform.h"

namespace testnet
{
std::string loopbackAddress (int index)
{
    const auto pid = testplatform::processId();
    return "127." + std::to_string ((pid >> 8) & 0xFF) + "." + std::to_string (pid & 0xFF)
         + "." + std::to_string (index + 1);
}

bool insidePrivateNamespace()
{
    return testplatform::onlyLoopbackInterfaces();
}

const char* namespaceSkipReason()
{
    return "this test reaches addresses outside 127/8 and runs only inside a private network "
           "namespace (run it through scripts/test, which makes one)";
}
}
