#pragma once

// The text by which zorv-sim is told about one device:
//   ADDRESS[,SETTING=VALUE]...
// Record settings: type=N, name=TEXT, mac=XX:XX:XX:XX:XX:XX, ip=A.B.C.D, status=N, option=N,
// fader=N. The device gets the standard boards of its type (BoardLayouts.h); master=manual,
// master=motorised (the default) or master=none chooses a console's master fader board.
// Board settings, for every board or, with .I, for board index I only: version[.I]=N,
// new[.I]=N (the version after programming), variant[.I]=N|none, restart[.I]=MS,
// erase[.I]=MS; and absent=I, bootmode=I, repeatable. Numbers may be decimal or
// 0x-prefixed hexadecimal.

#include "tools/sim/DeviceSimulator.h"

#include <optional>
#include <string>
#include <string_view>

namespace zsim
{
struct DeviceOption
{
    std::string address;
    DeviceSetup setup;
};

// Empty when the text is malformed; `error` then says what is wrong.
std::optional<DeviceOption> parseDeviceOption (std::string_view text, std::string& error);
}
