#include "comms/GenericCommsBaseError.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

TEST (GenericCommsBaseError, TextOfEachCode)
{
    struct Case { int code; const char* text; };
    for (const auto& c : { Case { 0, "Unknown Error" },
                           Case { 1, "No Error" },
                           Case { 2, "Read: Using Bufferred Fucntion when buffering off" },
                           Case { 3, "Read: Using None Bufferred Fucntion when buffering on" },
                           Case { 4, "Write: Using Bufferred Fucntion when buffering off" },
                           Case { 5, "Write: Using None Bufferred Fucntion when buffering on" },
                           Case { 6, "RegistryAccessError" },
                           Case { 7, "UnimplmentedCommand" },
                           Case { 8, "NotSupported" },
                           Case { 9, "LinkAlreadyUsed" },
                           Case { 10, "LinkNotOpened" },
                           Case { 11, "UnknownFileSystemError" },
                           Case { 12, "ReadTimeout" },
                           Case { 13, "WriteTimeout" },
                           Case { 14, "SocketNotOpen" },
                           Case { 15, "SocketResetError" },
                           Case { 16, "SocketClosedError" },
                           Case { 17, "LinkReadAborted" },
                           Case { 18, "WrongTagIdent" },
                           Case { 19, "SerialPackingError" },
                           Case { 20, "SerialPackingCheckSumFailed" },
                           Case { 21, "DataTooLargeError" },
                           Case { 22, "WrongSizedData" },
                           Case { 23, "DataError" },
                           Case { 24, "DataClosingDown" },
                           Case { 25, "Unknown Error" },
                           Case { -1, "Unknown Error" },
                           Case { INT_MIN, "Unknown Error" },
                           Case { INT_MAX, "Unknown Error" } })
    {
        EXPECT_STREQ (aComms::GenericCommsBaseError (c.code).what(), c.text) << "code " << c.code;
    }
}

TEST (GenericCommsBaseError, CopyOutlivesTheOriginal)
{
    auto original = std::make_unique<aComms::GenericCommsBaseError> (aComms::GenericCommsBaseError::readTimeout);
    const aComms::GenericCommsBaseError copy (*original);
    original.reset();
    EXPECT_STREQ (copy.what(), "ReadTimeout");
}
