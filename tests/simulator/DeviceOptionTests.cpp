#include "tools/sim/DeviceOption.h"

#include <gtest/gtest.h>

TEST (DeviceOption, EverySettingLandsInTheIdentity)
{
    std::string error;
    const auto option = zsim::parseDeviceOption (
        "127.0.0.5,type=0,name=Console,mac=00:1a:2B:3c:4d:5e,status=1,ip=10.1.2.3,option=0x08,fader=1", error);
    ASSERT_TRUE (option) << error;

    EXPECT_EQ (option->address, "127.0.0.5");
    EXPECT_EQ (option->setup.identity.deviceType, 0);
    EXPECT_EQ (option->setup.identity.name, zsim::DeviceIdentity::nameField ("Console"));
    EXPECT_EQ (option->setup.identity.mac, (std::array<uint8_t, 6> { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e }));
    EXPECT_EQ (option->setup.identity.statusFlag, 1);
    EXPECT_EQ (option->setup.identity.ipv4, (std::array<uint8_t, 4> { 10, 1, 2, 3 }));
    EXPECT_EQ (option->setup.identity.optionWord, 8u);
    EXPECT_EQ (option->setup.identity.motorisedFaderWord, 1u);
}

TEST (DeviceOption, MalformedTextsAreRejected)
{
    for (const char* text : { "", "console", "127.0.0.5,", "127.0.0.5,type", "127.0.0.5,colour=red",
                              "127.0.0.5,type=x", "127.0.0.5,status=256", "127.0.0.5,option=-1",
                              "127.0.0.5,mac=00:1a:2b:3c:4d", "127.0.0.5,mac=00-1a-2b-3c-4d-5e",
                              "127.0.0.5,mac=00:1a:2b:3c:4d:5g", "127.0.0.5,ip=10.1.2",
                              "127.0.0.5,name=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456",
                              "127.0.0.5,type=1,master=manual", "127.0.0.5,master=auto",
                              "127.0.0.5,version.24=1", "127.0.0.5,type=2,absent=1", "127.0.0.5,version=256",
                              "127.0.0.5,variant=x", "127.0.0.5,restart=-1", "127.0.0.5,version.x=1",
                              "127.0.0.5,type=9,version=1" })
    {
        std::string error;
        EXPECT_FALSE (zsim::parseDeviceOption (text, error)) << text;
        EXPECT_FALSE (error.empty()) << text;
    }
}

TEST (DeviceOption, BoardSettingsReachTheirBoards)
{
    std::string error;
    const auto option = zsim::parseDeviceOption (
        "127.0.0.5,master=manual,version=7,version.4=3,new.4=0x0E,variant.4=2,variant.19=none,"
        "restart=2000,erase.7=500,absent=3,bootmode=5", error);
    ASSERT_TRUE (option) << error;

    const auto& boards = option->setup.boards;
    ASSERT_EQ (boards.size(), 24u);
    EXPECT_EQ (option->setup.identity.motorisedFaderWord, 0u);
    EXPECT_TRUE (boards[19].present);
    EXPECT_FALSE (boards[23].present);
    EXPECT_FALSE (boards[3].present);
    EXPECT_TRUE (boards[5].bootMode);
    EXPECT_EQ (boards[0].version, 7);
    EXPECT_EQ (boards[4].version, 3);
    EXPECT_EQ (boards[4].newVersion, 14);
    EXPECT_EQ (boards[5].newVersion, 14);
    EXPECT_EQ (boards[4].variant, std::optional<uint8_t> (2));
    EXPECT_FALSE (boards[19].variant);
    EXPECT_EQ (boards[23].restartTime, std::chrono::milliseconds (2000));
    EXPECT_EQ (boards[7].eraseTime, std::chrono::milliseconds (500));
    EXPECT_EQ (boards[8].eraseTime, std::chrono::milliseconds (20));
}

TEST (DeviceOption, TypeBringsItsStandardBoards)
{
    std::string error;
    const auto console = zsim::parseDeviceOption ("127.0.0.5", error);
    ASSERT_TRUE (console) << error;
    EXPECT_EQ (console->setup.boards.size(), 24u);
    EXPECT_FALSE (console->setup.boards[19].present);
    EXPECT_EQ (console->setup.identity.motorisedFaderWord, 1u);

    const auto trx = zsim::parseDeviceOption ("127.0.0.5,option=8,type=1", error);
    ASSERT_TRUE (trx) << error;
    EXPECT_EQ (trx->setup.boards.size(), 5u);
    EXPECT_FALSE (trx->setup.boards[1].present);
    EXPECT_TRUE (trx->setup.boards[4].present);
}
