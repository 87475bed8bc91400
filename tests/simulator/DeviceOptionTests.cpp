#include "tools/sim/DeviceOption.h"

#include <gtest/gtest.h>

TEST (DeviceOption, EverySettingLandsInTheIdentity)
{
    std::string error;
    const auto option = zsim::parseDeviceOption (
        "127.0.0.5,type=0,name=Console,mac=00:1a:2B:3c:4d:5e,status=1,ip=10.1.2.3,option=0x08,fader=1", error);
    ASSERT_TRUE (option) << error;

    EXPECT_EQ (option->address, "127.0.0.5");
    EXPECT_EQ (option->identity.deviceType, 0);
    EXPECT_EQ (option->identity.name, zsim::DeviceIdentity::nameField ("Console"));
    EXPECT_EQ (option->identity.mac, (std::array<uint8_t, 6> { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e }));
    EXPECT_EQ (option->identity.statusFlag, 1);
    EXPECT_EQ (option->identity.ipv4, (std::array<uint8_t, 4> { 10, 1, 2, 3 }));
    EXPECT_EQ (option->identity.optionWord, 8u);
    EXPECT_EQ (option->identity.motorisedFaderWord, 1u);
}

TEST (DeviceOption, MalformedTextsAreRejected)
{
    for (const char* text : { "", "console", "127.0.0.5,", "127.0.0.5,type", "127.0.0.5,colour=red",
                              "127.0.0.5,type=x", "127.0.0.5,status=256", "127.0.0.5,option=-1",
                              "127.0.0.5,mac=00:1a:2b:3c:4d", "127.0.0.5,mac=00-1a-2b-3c-4d-5e",
                              "127.0.0.5,mac=00:1a:2b:3c:4d:5g", "127.0.0.5,ip=10.1.2",
                              "127.0.0.5,name=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456" })
    {
        std::string error;
        EXPECT_FALSE (zsim::parseDeviceOption (text, error)) << text;
        EXPECT_FALSE (error.empty()) << text;
    }
}
