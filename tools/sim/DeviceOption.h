#pragma once

// The text by which zorv-sim is told about one device:
//   ADDRESS[,type=N][,name=TEXT][,mac=XX:XX:XX:XX:XX:XX][,ip=A.B.C.D][,status=N][,option=N][,fader=N]
// Numbers may be decimal or 0x-prefixed hexadecimal.

#include "tools/sim/DeviceSimulator.h"

#include <optional>
#include <string>
#include <string_view>

namespace zsim
{
struct DeviceOption
{
    std::string address;
    DeviceIdentity identity;
};

// Empty when the text is malformed; `error` then says what is wrong.
std::optional<DeviceOption> parseDeviceOption (std::string_view text, std::string& error);
}
