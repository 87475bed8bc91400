#pragma once

// The two wire formats of every exchange with a device on TCP port 51000, and the requests
// of the whole-device commands. All multi-byte fields are little-endian; the records are
// read and written as raw bytes on little-endian hosts only.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint16_t devicePort = 51000;
constexpr uint32_t packetMagic = 0x0DEFACED;

enum DeviceCommand : uint16_t
{
    enCommandDiscover = 0,
    enCommandSetUserName = 1,
    enCommandIdentify = 2
};

#pragma pack(push, 1)

struct PacketHeader
{
    uint32_t payloadLength;
    uint32_t magic;
    uint16_t command;
    uint16_t parameter;
};

// The reply to a discover or set-user-name request, kept whole.
struct DeviceRecord
{
    PacketHeader header;
    int32_t deviceType;
    uint8_t reserved16;
    std::array<uint8_t, 31> deviceName;   // zero-terminated only when the device says so
    std::array<uint8_t, 6> macAddress;
    std::array<uint8_t, 4> ipv4Address;   // first octet first
    uint8_t statusFlag;
    std::array<uint8_t, 16> reserved59;
    uint32_t optionWord;
    std::array<uint8_t, 12> reserved79;
    uint32_t motorisedFaderWord;
    std::array<uint8_t, 28> reserved95;
};

#pragma pack(pop)

static_assert (sizeof (PacketHeader) == 12);
static_assert (offsetof (PacketHeader, payloadLength) == 0);
static_assert (offsetof (PacketHeader, magic) == 4);
static_assert (offsetof (PacketHeader, command) == 8);
static_assert (offsetof (PacketHeader, parameter) == 10);

static_assert (sizeof (DeviceRecord) == 123);
static_assert (offsetof (DeviceRecord, header) == 0);
static_assert (offsetof (DeviceRecord, deviceType) == 12);
static_assert (offsetof (DeviceRecord, reserved16) == 16);
static_assert (offsetof (DeviceRecord, deviceName) == 17);
static_assert (offsetof (DeviceRecord, macAddress) == 48);
static_assert (offsetof (DeviceRecord, ipv4Address) == 54);
static_assert (offsetof (DeviceRecord, statusFlag) == 58);
static_assert (offsetof (DeviceRecord, reserved59) == 59);
static_assert (offsetof (DeviceRecord, optionWord) == 75);
static_assert (offsetof (DeviceRecord, reserved79) == 79);
static_assert (offsetof (DeviceRecord, motorisedFaderWord) == 91);
static_assert (offsetof (DeviceRecord, reserved95) == 95);

constexpr std::size_t packetHeaderSize = sizeof (PacketHeader);
constexpr std::size_t deviceRecordSize = sizeof (DeviceRecord);
constexpr std::size_t nameFieldSize = 31;
constexpr std::size_t maxUserNameLength = nameFieldSize - 1;
constexpr std::size_t setUserNameRequestSize = packetHeaderSize + nameFieldSize;

// Writes the header little-endian whatever the host's byte order.
inline void putPacketHeader (uint8_t* out, uint32_t payloadLength, uint16_t command, uint16_t parameter)
{
    const auto put32 = [] (uint8_t* at, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            at[i] = (uint8_t) (value >> (8 * i));
    };
    put32 (out, payloadLength);
    put32 (out + 4, packetMagic);
    out[8] = (uint8_t) command;
    out[9] = (uint8_t) (command >> 8);
    out[10] = (uint8_t) parameter;
    out[11] = (uint8_t) (parameter >> 8);
}

inline std::array<uint8_t, packetHeaderSize> makeDiscoverRequest()
{
    std::array<uint8_t, packetHeaderSize> request {};
    putPacketHeader (request.data(), 0, enCommandDiscover, 0xFFFF);
    return request;
}

inline std::array<uint8_t, packetHeaderSize> makeIdentifyRequest (uint16_t parameter)
{
    std::array<uint8_t, packetHeaderSize> request {};
    putPacketHeader (request.data(), 0, enCommandIdentify, parameter);
    return request;
}

// The name is cut to its first 30 bytes, so the field always ends in a zero byte.
inline std::array<uint8_t, setUserNameRequestSize> makeSetUserNameRequest (const std::string& name, uint16_t parameter)
{
    std::array<uint8_t, setUserNameRequestSize> request {};
    putPacketHeader (request.data(), (uint32_t) nameFieldSize, enCommandSetUserName, parameter);
    const auto length = std::min (name.size(), maxUserNameLength);
    std::copy_n (name.begin(), length, request.begin() + packetHeaderSize);
    return request;
}

// The device's name: the field's bytes up to the first zero, never past the field.
inline std::string deviceNameText (const DeviceRecord& record)
{
    const auto& field = record.deviceName;
    const auto end = std::find (field.begin(), field.end(), (uint8_t) 0);
    return std::string (field.begin(), end);
}
