#include "tests/simulator/BoardFixture.h"

using namespace simtest;
using zsim::BoardRequest;

namespace
{
class TagExchange : public BoardFixture {};
}

// Both sides written out byte by byte: Ch (3) comes before Panel (4) on the wire, in the
// request as in the reply.
TEST_F (TagExchange, IdentityReadIsAnsweredByteForByte)
{
    const auto header = Bytes { 0x40, 0, 0, 0, 0xED, 0xAC, 0xEF, 0x0D, 3, 0, 0, 0 };
    const auto request = concat ({ header, { 8, 4, 3, 4, 0x55, 0, 9, 0 }, zeros (56) });
    const auto expected = concat ({ header, { 8, 'j', 3, 4, 0, 'W', 9, 0, 3 }, zeros (55) });
    ASSERT_EQ (identityRead (consoleType, faders), request);
    ASSERT_EQ (reply (faders, 'j', 'W', 3), expected);

    const auto received = ask (request);
    EXPECT_FALSE (received.error);
    EXPECT_EQ (received.bytes, expected);
    EXPECT_EQ (sim->board (faderIndex).count (BoardRequest::IdentityRead), 1u);
}

// A PIC board that runs its firmware answers boot-loader requests with its identity.
TEST_F (TagExchange, RunningPicBoardAnswersEachRequestThatHasAReply)
{
    struct Case { const char* name; Bytes request; Bytes expected; };
    const Case cases[] {
        { "identity read",   identityRead (consoleType, faders),   reply (faders, 'j', 'W', 3) },
        { "processor query", processorQuery (consoleType, faders), reply (faders, 'o', 'W', 7) },
        { "erase",           eraseRequest (consoleType, faders),   reply (faders, 'j', 'W', 3) },
        { "program block",   programBlock (consoleType, faders, 0x1D000000, { 1, 2, 3, 4 }, Checksum::Record),
                             reply (faders, 'j', 'W', 3) },
    };
    for (const auto& c : cases)
        EXPECT_EQ (ask (c.request).bytes, c.expected) << c.name;

    const auto board = sim->board (faderIndex);
    EXPECT_EQ (board.state, zsim::BoardState::Running);
    EXPECT_EQ (board.version, 3);
    EXPECT_TRUE (board.picMemory.empty());
}

TEST_F (TagExchange, RequestsWithoutReplyAreActedOnSilently)
{
    EXPECT_TRUE (unanswered (resetRequest (consoleType, faders)));
    EXPECT_TRUE (waitForState (faderIndex, zsim::BoardState::Running));
    EXPECT_TRUE (unanswered (enterBootMode (consoleType, faders)));
    EXPECT_TRUE (waitForState (faderIndex, zsim::BoardState::BootMode));
    EXPECT_TRUE (unanswered (programComplete (consoleType, faders)));
    EXPECT_TRUE (waitForState (faderIndex, zsim::BoardState::Running));

    const auto board = sim->board (faderIndex);
    EXPECT_EQ (board.restarts, 3u);
    for (auto request : { BoardRequest::Reset, BoardRequest::EnterBootMode, BoardRequest::ProgramComplete })
        EXPECT_EQ (board.count (request), 1u);
}

// The reply's header carries the device's type, as its record does.
TEST_F (TagExchange, ReplyHeaderCarriesTheDeviceType)
{
    zsim::DeviceIdentity identity;
    identity.deviceType = 4;
    start (zsim::standardDevice (identity));
    const zsim::BoardAddress board { 0, 0, 1, 0 };

    EXPECT_EQ (ask (identityRead (4, board)).bytes, tagReply (4, board, 'j', 'W', 14));
}

TEST_F (TagExchange, AddressesOfNoPresentBoardAreSilent)
{
    const zsim::BoardAddress swapped { faders.ch, faders.panel, faders.type, faders.addr };
    const zsim::BoardAddress motorisedFaders { 4, 3, 11, 0 };   // board 23, not fitted here
    EXPECT_TRUE (unanswered (identityRead (consoleType, swapped)));
    EXPECT_TRUE (unanswered (identityRead (consoleType, motorisedFaders)));
    EXPECT_EQ (sim->board (faderIndex).count (BoardRequest::IdentityRead), 0u);
    EXPECT_EQ (sim->board (23).count (BoardRequest::IdentityRead), 1u);
}

TEST_F (TagExchange, MasterFaderBoardThatAnswersFollowsTheConfiguration)
{
    const zsim::BoardAddress motorisedFaders { 4, 3, 11, 0 };
    struct Case { zsim::MasterFader fader; bool manualAnswers; bool motorisedAnswers; };
    const Case cases[] {
        { zsim::MasterFader::Manual, true, false },
        { zsim::MasterFader::Motorised, false, true },
        { zsim::MasterFader::None, false, false },
    };
    for (const auto& c : cases)
    {
        start (zsim::consoleDevice (c.fader));
        EXPECT_EQ (! unanswered (identityRead (consoleType, faders)), c.manualAnswers) << (int) c.fader;
        EXPECT_EQ (! unanswered (identityRead (consoleType, motorisedFaders)), c.motorisedAnswers) << (int) c.fader;
    }
}

// Tags that name the board but no request it knows are read, counted and left unanswered.
TEST_F (TagExchange, MalformedTagsAreIgnored)
{
    auto withByte = [] (Bytes bytes, std::size_t tagOffset, uint8_t value)
    {
        bytes[12 + tagOffset] = value;
        return bytes;
    };
    const auto identity = identityRead (consoleType, faders);
    const std::vector<std::pair<const char*, Bytes>> cases {
        { "tag length 7",          withByte (identity, 0, 7) },
        { "unknown tag id",        withByte (identity, 1, 7) },
        { "0x55 with second 1",    withByte (identity, 5, 1) },
        { "0xAA with second 'Y'",  withByte (eraseRequest (consoleType, faders), 5, 'Y') },
        { "byte after the tag",    withByte (identity, 20, 1) },
        { "sub-command 45",        withByte (processorQuery (consoleType, faders), 4, 45) },
        { "general second byte 3", withByte (processorQuery (consoleType, faders), 5, 3) },
        { "program complete 1 0",  withByte (programComplete (consoleType, faders), 4, 1) },
        { "program block 0 1",     withByte (programBlock (consoleType, faders, 0x1D000000, { 1 }, Checksum::Record), 5, 1) },
    };
    for (const auto& [name, request] : cases)
        EXPECT_TRUE (unanswered (request)) << name;

    auto shortTag = request (3, consoleType, Bytes (identity.begin() + 12, identity.end() - 1));
    EXPECT_TRUE (unanswered (shortTag));

    const auto board = sim->board (faderIndex);
    EXPECT_EQ (board.malformed, cases.size());
    EXPECT_EQ (board.state, zsim::BoardState::Running);
}
