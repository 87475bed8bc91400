#pragma once

// The boards of the nine device types, written out for the simulator alone, and the usual
// devices built from them. A board keeps its index in every device of its type: boards a
// device does not have are in its list as absent, so that index 19 is always the console's
// manual master fader board.

#include "tools/sim/DeviceSimulator.h"

namespace zsim
{
// Every board of the type in index order, present and running its release version (the
// version it runs after programming too); PIC boards report processor variant 0, FPGA
// boards none. Empty for a type outside 0 to 8.
std::vector<BoardSetup> boardLayout (int32_t deviceType);

enum class MasterFader
{
    Manual,     // board 19 fitted; no motorised fader boards (20 to 23)
    Motorised,  // boards 20 to 23 fitted; board 19 absent
    None        // a motorised console whose master fader board (23) is absent too
};

std::vector<BoardSetup> consoleBoards (MasterFader fader);

// Type 1: board 0 always; boards 1 and 2 with option bit value 2, boards 3 and 4 with 8.
std::vector<BoardSetup> trxBoards (uint32_t optionWord);

// The boards a device of this identity has: a console with the motorised master fader,
// type 1 by its option word, the single board of types 2 to 8, none for other types.
std::vector<BoardSetup> standardBoards (const DeviceIdentity& identity);

DeviceSetup standardDevice (const DeviceIdentity& identity);
// A console whose record carries the status byte, and motorised fader word 1 when the
// motorised master fader board is fitted.
DeviceSetup consoleDevice (MasterFader fader, uint8_t statusFlag = 0);
DeviceSetup trxDevice (uint32_t optionWord, uint8_t statusFlag = 0);

void setBoardTimes (DeviceSetup& setup, std::chrono::milliseconds restart, std::chrono::milliseconds erase);
}
