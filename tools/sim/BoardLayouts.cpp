#include "tools/sim/BoardLayouts.h"

namespace zsim
{
namespace
{
    constexpr auto pic = BoardKind::Pic;
    constexpr auto fpga = BoardKind::Fpga;

    struct Row
    {
        uint8_t panel, ch, type, addr;
        BoardKind kind;
        bool interface;
        uint8_t version;
    };

    const std::vector<Row> consoleRows {
        { 2, 0, 5, 0, pic, true, 12 },      //  0 monitor interface
        { 2, 1, 6, 0, pic, true, 13 },      //  1 monitor master
        { 2, 2, 7, 0, pic, false, 11 },     //  2 monitor audio
        { 3, 0, 8, 0, pic, false, 7 },      //  3 monitor audio for the TRX
        { 0, 0, 1, 0, pic, false, 14 },     //  4 channel masters 1-8, 9-16, 17-24
        { 0, 1, 1, 0, pic, false, 14 },
        { 0, 2, 1, 0, pic, false, 14 },
        { 0, 0, 4, 0, fpga, false, 14 },    //  7 their FPGAs
        { 0, 1, 4, 0, fpga, false, 14 },
        { 0, 2, 4, 0, fpga, false, 14 },
        { 0, 0, 2, 0, pic, false, 10 },     // 10 channel audio boards, two per block of eight
        { 0, 0, 2, 1, pic, false, 10 },
        { 0, 1, 2, 0, pic, false, 10 },
        { 0, 1, 2, 1, pic, false, 10 },
        { 0, 2, 2, 0, pic, false, 10 },
        { 0, 2, 2, 1, pic, false, 10 },
        { 1, 0, 3, 0, pic, false, 5 },      // 16 meters
        { 1, 1, 3, 0, pic, false, 5 },
        { 1, 2, 3, 0, pic, false, 5 },
        { 4, 3, 9, 0, pic, false, 10 },     // 19 manual master faders
        { 4, 0, 10, 0, pic, false, 11 },    // 20 motorised channel faders
        { 4, 1, 10, 0, pic, false, 11 },
        { 4, 2, 10, 0, pic, false, 11 },
        { 4, 3, 11, 0, pic, false, 13 },    // 23 motorised master faders
    };

    const std::vector<Row> trxRows {
        { 0, 0, 1, 0, pic, true, 13 },      // 0 interface processor
        { 1, 0, 2, 0, pic, false, 10 },     // 1 digital board and its FPGA
        { 1, 0, 3, 0, fpga, false, 10 },
        { 1, 0, 4, 0, pic, false, 4 },      // 3 digital ADAT board and its FPGA
        { 1, 0, 5, 0, fpga, false, 4 },
    };

    // Types 2 to 8: one interface processor; only 2 to 4 carry the network interface.
    Row singleRow (int32_t deviceType)
    {
        constexpr uint8_t versions[] { 18, 10, 14, 1, 1, 1, 1 };
        return { 0, 0, 1, 0, pic, deviceType <= 4, versions[deviceType - 2] };
    }

    BoardSetup boardOf (const Row& row)
    {
        BoardSetup board;
        board.address = { row.panel, row.ch, row.type, row.addr };
        board.kind = row.kind;
        board.interface = row.interface;
        board.version = row.version;
        board.newVersion = row.version;
        if (row.kind == pic)
            board.variant = 0;
        return board;
    }

    std::vector<BoardSetup> boardsOf (const std::vector<Row>& rows)
    {
        std::vector<BoardSetup> boards;
        for (const auto& row : rows)
            boards.push_back (boardOf (row));
        return boards;
    }
}

std::vector<BoardSetup> boardLayout (int32_t deviceType)
{
    if (deviceType == 0)
        return boardsOf (consoleRows);
    if (deviceType == 1)
        return boardsOf (trxRows);
    if (deviceType >= 2 && deviceType <= 8)
        return { boardOf (singleRow (deviceType)) };
    return {};
}

std::vector<BoardSetup> consoleBoards (MasterFader fader)
{
    auto boards = boardLayout (0);
    if (fader == MasterFader::Manual)
    {
        for (std::size_t i = 20; i <= 23; ++i)
            boards[i].present = false;
        return boards;
    }
    boards[19].present = false;
    boards[23].present = fader == MasterFader::Motorised;
    return boards;
}

std::vector<BoardSetup> trxBoards (uint32_t optionWord)
{
    auto boards = boardLayout (1);
    boards[1].present = boards[2].present = (optionWord & 2) != 0;
    boards[3].present = boards[4].present = (optionWord & 8) != 0;
    return boards;
}

std::vector<BoardSetup> standardBoards (const DeviceIdentity& identity)
{
    if (identity.deviceType == 0)
        return consoleBoards (MasterFader::Motorised);
    if (identity.deviceType == 1)
        return trxBoards (identity.optionWord);
    return boardLayout (identity.deviceType);
}

DeviceSetup standardDevice (const DeviceIdentity& identity)
{
    return { identity, standardBoards (identity) };
}

DeviceSetup consoleDevice (MasterFader fader, uint8_t statusFlag)
{
    DeviceSetup setup { {}, consoleBoards (fader) };
    setup.identity.deviceType = 0;
    setup.identity.statusFlag = statusFlag;
    setup.identity.motorisedFaderWord = fader == MasterFader::Motorised ? 1 : 0;
    return setup;
}

DeviceSetup trxDevice (uint32_t optionWord, uint8_t statusFlag)
{
    DeviceSetup setup { {}, trxBoards (optionWord) };
    setup.identity.deviceType = 1;
    setup.identity.statusFlag = statusFlag;
    setup.identity.optionWord = optionWord;
    return setup;
}

void setBoardTimes (DeviceSetup& setup, std::chrono::milliseconds restart, std::chrono::milliseconds erase)
{
    for (auto& board : setup.boards)
    {
        board.restartTime = restart;
        board.eraseTime = erase;
    }
}
}
