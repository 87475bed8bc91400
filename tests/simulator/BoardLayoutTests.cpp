#include "tools/sim/BoardLayouts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using zsim::BoardAddress;
using zsim::BoardKind;

std::vector<std::size_t> presentBoards (const std::vector<zsim::BoardSetup>& boards)
{
    std::vector<std::size_t> present;
    for (std::size_t i = 0; i < boards.size(); ++i)
        if (boards[i].present)
            present.push_back (i);
    return present;
}

std::vector<std::size_t> range (std::size_t from, std::size_t to)
{
    std::vector<std::size_t> indices;
    for (auto i = from; i <= to; ++i)
        indices.push_back (i);
    return indices;
}

std::vector<std::size_t> without (std::vector<std::size_t> indices, std::initializer_list<std::size_t> left)
{
    for (auto index : left)
        indices.erase (std::find (indices.begin(), indices.end(), index));
    return indices;
}
}

TEST (BoardLayout, BoardCountsPerDeviceType)
{
    const std::size_t expected[] { 24, 5, 1, 1, 1, 1, 1, 1, 1 };
    for (int type = 0; type < 9; ++type)
        EXPECT_EQ (zsim::boardLayout (type).size(), expected[type]) << type;
    EXPECT_TRUE (zsim::boardLayout (9).empty());
    EXPECT_TRUE (zsim::boardLayout (-1).empty());
}

// Written out from the board tables: address, kind, interface, release version.
TEST (BoardLayout, SampleBoardsHaveTheirAddressKindAndVersion)
{
    struct Case
    {
        int type;
        std::size_t index;
        BoardAddress address;
        BoardKind kind;
        bool interface;
        uint8_t version;
    };
    const Case cases[] {
        { 0, 0,  { 2, 0, 5, 0 },  BoardKind::Pic,  true,  12 },
        { 0, 1,  { 2, 1, 6, 0 },  BoardKind::Pic,  true,  13 },
        { 0, 2,  { 2, 2, 7, 0 },  BoardKind::Pic,  false, 11 },
        { 0, 3,  { 3, 0, 8, 0 },  BoardKind::Pic,  false, 7 },
        { 0, 9,  { 0, 2, 4, 0 },  BoardKind::Fpga, false, 14 },
        { 0, 13, { 0, 1, 2, 1 },  BoardKind::Pic,  false, 10 },
        { 0, 18, { 1, 2, 3, 0 },  BoardKind::Pic,  false, 5 },
        { 0, 19, { 4, 3, 9, 0 },  BoardKind::Pic,  false, 10 },
        { 0, 22, { 4, 2, 10, 0 }, BoardKind::Pic,  false, 11 },
        { 0, 23, { 4, 3, 11, 0 }, BoardKind::Pic,  false, 13 },
        { 1, 0,  { 0, 0, 1, 0 },  BoardKind::Pic,  true,  13 },
        { 1, 2,  { 1, 0, 3, 0 },  BoardKind::Fpga, false, 10 },
        { 1, 3,  { 1, 0, 4, 0 },  BoardKind::Pic,  false, 4 },
        { 1, 4,  { 1, 0, 5, 0 },  BoardKind::Fpga, false, 4 },
        { 2, 0,  { 0, 0, 1, 0 },  BoardKind::Pic,  true,  18 },
        { 4, 0,  { 0, 0, 1, 0 },  BoardKind::Pic,  true,  14 },
        { 5, 0,  { 0, 0, 1, 0 },  BoardKind::Pic,  false, 1 },
        { 8, 0,  { 0, 0, 1, 0 },  BoardKind::Pic,  false, 1 },
    };
    for (const auto& c : cases)
    {
        const auto board = zsim::boardLayout (c.type).at (c.index);
        const auto name = std::to_string (c.type) + "/" + std::to_string (c.index);
        EXPECT_EQ (board.address, c.address) << name;
        EXPECT_EQ (board.kind, c.kind) << name;
        EXPECT_EQ (board.interface, c.interface) << name;
        EXPECT_EQ (board.version, c.version) << name;
        EXPECT_EQ (board.newVersion, c.version) << name;
        EXPECT_EQ (board.variant.has_value(), c.kind == BoardKind::Pic) << name;
        EXPECT_TRUE (board.present) << name;
    }
}

TEST (BoardLayout, ConsoleFpgasAreTheThreeOfType4)
{
    const auto boards = zsim::boardLayout (0);
    for (std::size_t i = 0; i < boards.size(); ++i)
        EXPECT_EQ (boards[i].kind == BoardKind::Fpga, i >= 7 && i <= 9) << i;
}

TEST (BoardLayout, FittedBoardsPerConfiguration)
{
    using zsim::MasterFader;
    const auto all = range (0, 23);
    EXPECT_EQ (presentBoards (zsim::consoleBoards (MasterFader::Manual)), range (0, 19));
    EXPECT_EQ (presentBoards (zsim::consoleBoards (MasterFader::Motorised)), without (all, { 19 }));
    EXPECT_EQ (presentBoards (zsim::consoleBoards (MasterFader::None)), without (all, { 19, 23 }));

    const std::pair<uint32_t, std::vector<std::size_t>> trx[] {
        { 0, { 0 } }, { 2, { 0, 1, 2 } }, { 8, { 0, 3, 4 } }, { 10, { 0, 1, 2, 3, 4 } } };
    for (const auto& [option, fitted] : trx)
        EXPECT_EQ (presentBoards (zsim::trxBoards (option)), fitted) << option;
}

TEST (BoardLayout, ReadyMadeDevicesCarryTheirRecordFields)
{
    const auto console = zsim::consoleDevice (zsim::MasterFader::Motorised, 1);
    EXPECT_EQ (console.identity.deviceType, 0);
    EXPECT_EQ (console.identity.statusFlag, 1);
    EXPECT_EQ (console.identity.motorisedFaderWord, 1u);
    EXPECT_EQ (zsim::consoleDevice (zsim::MasterFader::Manual).identity.motorisedFaderWord, 0u);

    const auto trx = zsim::trxDevice (8);
    EXPECT_EQ (trx.identity.deviceType, 1);
    EXPECT_EQ (trx.identity.optionWord, 8u);
    EXPECT_EQ (presentBoards (trx.boards), (std::vector<std::size_t> { 0, 3, 4 }));

    zsim::DeviceIdentity identity;
    identity.deviceType = 1;
    identity.optionWord = 2;
    EXPECT_EQ (presentBoards (zsim::standardBoards (identity)), (std::vector<std::size_t> { 0, 1, 2 }));
    identity.deviceType = 0;
    EXPECT_EQ (presentBoards (zsim::standardBoards (identity)), without (range (0, 23), { 19 }));
}
