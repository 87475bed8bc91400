#include "comms/GenericCommsBaseError.h"

namespace aComms
{
namespace
{
// Letter for letter as the link has always reported them, misspellings included.
const char* const errorTexts[GenericCommsBaseError::numTexts] =
{
    "Unknown Error",
    "No Error",
    "Read: Using Bufferred Fucntion when buffering off",
    "Read: Using None Bufferred Fucntion when buffering on",
    "Write: Using Bufferred Fucntion when buffering off",
    "Write: Using None Bufferred Fucntion when buffering on",
    "RegistryAccessError",
    "UnimplmentedCommand",
    "NotSupported",
    "LinkAlreadyUsed",
    "LinkNotOpened",
    "UnknownFileSystemError",
    "ReadTimeout",
    "WriteTimeout",
    "SocketNotOpen",
    "SocketResetError",
    "SocketClosedError",
    "LinkReadAborted",
    "WrongTagIdent",
    "SerialPackingError",
    "SerialPackingCheckSumFailed",
    "DataTooLargeError",
    "WrongSizedData",
    "DataError",
    "DataClosingDown"
};
}

GenericCommsBaseError::GenericCommsBaseError (int errorCode)
    : code (errorCode)
{
    for (std::size_t i = 0; i < numTexts; ++i)
        texts[i] = errorTexts[i];
}

const char* GenericCommsBaseError::what() const noexcept
{
    const auto index = (unsigned int) code;
    return texts[index < numTexts ? index : 0].c_str();
}
}
