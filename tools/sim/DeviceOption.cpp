#include "tools/sim/DeviceOption.h"
#include "tools/sim/BoardLayouts.h"
#include "tools/sim/DottedQuad.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <vector>

namespace zsim
{
namespace
{
    bool parseInteger (const std::string& text, long long low, long long high, long long& value)
    {
        if (text.empty())
            return false;
        char* end = nullptr;
        errno = 0;
        value = std::strtoll (text.c_str(), &end, 0);
        return errno == 0 && *end == '\0' && value >= low && value <= high;
    }

    bool parseMac (const std::string& text, std::array<uint8_t, 6>& mac)
    {
        if (text.size() != 17)
            return false;
        for (std::size_t i = 0; i < mac.size(); ++i)
        {
            if (i > 0 && text[3 * i - 1] != ':')
                return false;
            long long octet = 0;
            if (! parseInteger ("0x" + text.substr (3 * i, 2), 0, 255, octet))
                return false;
            mac[i] = (uint8_t) octet;
        }
        return true;
    }

    bool parseIpv4 (const std::string& text, std::optional<std::array<uint8_t, 4>>& ipv4)
    {
        const auto bytes = parseDottedQuad (text);
        if (bytes)
            ipv4 = *bytes;
        return bytes.has_value();
    }

    template <typename Field>
    bool parseNumber (const std::string& text, long long low, long long high, Field& field)
    {
        long long value = 0;
        if (! parseInteger (text, low, high, value))
            return false;
        field = (Field) value;
        return true;
    }

    bool applyIdentitySetting (const std::string& key, const std::string& value, DeviceIdentity& identity)
    {
        constexpr long long u32 = std::numeric_limits<uint32_t>::max();
        constexpr long long i32Low = std::numeric_limits<int32_t>::min();
        constexpr long long i32High = std::numeric_limits<int32_t>::max();

        if (key == "type")      return parseNumber (value, i32Low, i32High, identity.deviceType);
        if (key == "status")    return parseNumber (value, 0, 255, identity.statusFlag);
        if (key == "option")    return parseNumber (value, 0, u32, identity.optionWord);
        if (key == "fader")     return parseNumber (value, 0, u32, identity.motorisedFaderWord);
        if (key == "mac")       return parseMac (value, identity.mac);
        if (key == "ip")        return parseIpv4 (value, identity.ipv4);
        if (key == "name" && value.size() <= identity.name.size())
        {
            identity.name = DeviceIdentity::nameField (value);
            return true;
        }
        return false;
    }

    bool isIdentityKey (const std::string& key)
    {
        for (const char* k : { "type", "status", "option", "fader", "mac", "ip", "name" })
            if (key == k)
                return true;
        return false;
    }

    bool parseMaster (const std::string& value, MasterFader& fader)
    {
        if (value == "manual")
            fader = MasterFader::Manual;
        else if (value == "motorised")
            fader = MasterFader::Motorised;
        else if (value == "none")
            fader = MasterFader::None;
        else
            return false;
        return true;
    }

    bool parseMilliseconds (const std::string& text, std::chrono::milliseconds& time)
    {
        long long value = 0;
        if (! parseInteger (text, 0, 3600000, value))
            return false;
        time = std::chrono::milliseconds (value);
        return true;
    }

    bool parseVariant (const std::string& text, std::optional<uint8_t>& variant)
    {
        uint8_t value = 0;
        if (text == "none")
            variant.reset();
        else if (parseNumber (text, 0, 255, value))
            variant = value;
        else
            return false;
        return true;
    }

    bool applyToBoard (const std::string& key, const std::string& value, BoardSetup& board)
    {
        if (key == "version")   return parseNumber (value, 0, 255, board.version);
        if (key == "new")       return parseNumber (value, 0, 255, board.newVersion);
        if (key == "variant")   return parseVariant (value, board.variant);
        if (key == "restart")   return parseMilliseconds (value, board.restartTime);
        if (key == "erase")     return parseMilliseconds (value, board.eraseTime);
        return false;
    }

    struct Setting
    {
        std::string key;
        std::string value;
    };

    bool parseIndex (const std::string& text, const std::vector<BoardSetup>& boards, std::size_t& index)
    {
        long long value = 0;
        if (! parseInteger (text, 0, (long long) boards.size() - 1, value))
            return false;
        index = (std::size_t) value;
        return true;
    }

    // KEY=VALUE for every board, KEY.I=VALUE for board I; absent=I and bootmode=I name one board.
    bool applyBoardSetting (const Setting& setting, std::vector<BoardSetup>& boards)
    {
        std::size_t index = 0;
        if (setting.key == "absent" || setting.key == "bootmode")
        {
            if (! parseIndex (setting.value, boards, index))
                return false;
            if (setting.key == "absent")
                boards[index].present = false;
            else
                boards[index].bootMode = true;
            return true;
        }

        const auto dot = setting.key.find ('.');
        const auto key = setting.key.substr (0, dot);
        if (dot != std::string::npos)
            return parseIndex (setting.key.substr (dot + 1), boards, index)
                && applyToBoard (key, setting.value, boards[index]);

        for (auto& board : boards)
            if (! applyToBoard (key, setting.value, board))
                return false;
        return ! boards.empty();
    }

    // What the text says, before the boards can be built: they follow from the type.
    struct Parsed
    {
        DeviceIdentity identity;
        std::optional<MasterFader> master;
        bool faderGiven = false;
        std::vector<Setting> boardSettings;
    };

    bool takeSetting (const std::string& item, Parsed& parsed)
    {
        const auto equals = item.find ('=');
        if (equals == std::string::npos)
            return false;
        const auto key = item.substr (0, equals);
        const auto value = item.substr (equals + 1);

        if (isIdentityKey (key))
        {
            parsed.faderGiven = parsed.faderGiven || key == "fader";
            return applyIdentitySetting (key, value, parsed.identity);
        }
        if (key == "master")
        {
            MasterFader fader = MasterFader::Motorised;
            if (! parseMaster (value, fader))
                return false;
            parsed.master = fader;
            return true;
        }
        parsed.boardSettings.push_back ({ key, value });
        return true;
    }

    std::optional<DeviceSetup> buildSetup (const Parsed& parsed, std::string& error)
    {
        if (parsed.master && parsed.identity.deviceType != 0)
        {
            error = "master applies to a console (type=0) only";
            return {};
        }
        auto setup = standardDevice (parsed.identity);
        if (parsed.identity.deviceType == 0)
        {
            const auto fader = parsed.master.value_or (MasterFader::Motorised);
            setup.boards = consoleBoards (fader);
            if (! parsed.faderGiven)
                setup.identity.motorisedFaderWord = fader == MasterFader::Motorised ? 1 : 0;
        }
        for (const auto& setting : parsed.boardSettings)
        {
            if (! applyBoardSetting (setting, setup.boards))
            {
                error = "bad setting: \"" + setting.key + "=" + setting.value + "\"";
                return {};
            }
        }
        return setup;
    }
}

std::optional<DeviceOption> parseDeviceOption (std::string_view text, std::string& error)
{
    std::string address;
    Parsed parsed;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const auto comma = std::min (text.find (',', start), text.size());
        const std::string item (text.substr (start, comma - start));
        start = comma + 1;

        if (address.empty())
        {
            std::optional<std::array<uint8_t, 4>> ipv4;
            if (! parseIpv4 (item, ipv4))
            {
                error = "not an IPv4 address: \"" + item + "\"";
                return {};
            }
            address = item;
        }
        else if (! takeSetting (item, parsed))
        {
            error = "bad setting: \"" + item + "\"";
            return {};
        }
    }

    auto setup = buildSetup (parsed, error);
    if (! setup)
        return {};
    return DeviceOption { address, std::move (*setup) };
}
}
