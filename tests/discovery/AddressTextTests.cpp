#include "discovery/AddressText.h"

#include <gtest/gtest.h>

namespace
{
struct TextCase
{
    std::string input;
    std::string expected;
};

// Shared by normalise and validate: the socket library accepts every canonical quad.
const std::vector<TextCase> dottedQuadCases {
    { "192.168.001.010", "192.168.1.10" },
    { "+7.0.0.1", "7.0.0.1" },
    { "-0.1.2.3", "0.1.2.3" },
    { "1.2.3.-0", "1.2.3.0" },
    { "0.0.0.0", "0.0.0.0" },
    { "255.255.255.255", "255.255.255.255" },
    { "", "" },
    { " 10.0.0.1", "" },
    { "10.0.0.1 ", "" },
    { "10.0.0.1\n", "" },
    { "10.0.\t0.1", "" },
    { "10.0.0.1\v", "" },
    { "10.0.0.1\f", "" },
    { "\r10.0.0.1", "" },
    { "10.0.0", "" },
    { "10.0.0.1.5", "" },
    { "10.0.0.1.", "" },
    { "10..0.1", "" },
    { "10,0,0,1", "" },
    { "10.0.0.1x", "" },
    { "a.b.c.d", "" },
    { "256.1.1.1", "" },
    { "1.1.1.256", "" },
    { "-1.1.1.1", "" },
    { "99999999999.0.0.1", "" },
    { "4294967296.0.0.1", "" },
};
}

TEST (AddressText, NormaliseIPv4Text)
{
    for (const auto& c : dottedQuadCases)
        EXPECT_EQ (normaliseIPv4Text (c.input), c.expected) << "input: \"" << c.input << "\"";
}

TEST (AddressText, ValidatedIPv4Text)
{
    for (const auto& c : dottedQuadCases)
        EXPECT_EQ (validatedIPv4Text (c.input), c.expected) << "input: \"" << c.input << "\"";
}

TEST (AddressText, IsUsableHostAddress)
{
    struct Case { std::string input; bool usable; };
    for (const auto& c : { Case { "10.10.251.1", true },
                           Case { "010.10.251.001", true },
                           Case { "192.168.1.254", true },
                           Case { "10.10.251.0", false },
                           Case { "10.10.251.255", false },
                           Case { "0.0.0.0", false },
                           Case { "255.255.255.255", false },
                           Case { "", false },
                           Case { "10.10.251", false },
                           Case { "10.10.251.1 ", false },
                           Case { "-1.10.251.1", false } })
    {
        EXPECT_EQ (isUsableHostAddress (c.input), c.usable) << "input: \"" << c.input << "\"";
    }
}

TEST (AddressText, Ipv4BytesToText)
{
    struct Case { std::array<uint8_t, 4> bytes; std::string expected; };
    for (const auto& c : { Case { { 10, 10, 251, 7 }, "10.10.251.7" },
                           Case { { 0, 0, 0, 0 }, "0.0.0.0" },
                           Case { { 255, 1, 100, 9 }, "255.1.100.9" } })
    {
        EXPECT_EQ (ipv4BytesToText (c.bytes), c.expected);
    }
}

TEST (AddressText, MacBytesToText)
{
    struct Case { std::array<uint8_t, 6> bytes; std::string expected; };
    for (const auto& c : { Case { { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E }, "00:1a:2b:3c:4d:5e" },
                           Case { { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF }, "ff:ff:ff:ff:ff:ff" },
                           Case { { 0x0A, 0x00, 0x01, 0xA0, 0x10, 0x09 }, "0a:00:01:a0:10:09" } })
    {
        EXPECT_EQ (macBytesToText (c.bytes), c.expected);
    }
}
