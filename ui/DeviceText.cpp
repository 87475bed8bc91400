#include "ui/DeviceText.h"

#include "updater/BoardTables.h"

namespace
{
// The number of continuation bytes a lead byte announces, and the range its first
// continuation byte must fall into for the sequence to be well-formed; -1 for a byte that
// cannot start a sequence.
int continuationBytes (uint8_t lead, uint8_t& low, uint8_t& high)
{
    low = 0x80;
    high = 0xbf;
    if (lead < 0x80) return 0;
    if (lead >= 0xc2 && lead <= 0xdf) return 1;
    if (lead == 0xe0) { low = 0xa0; return 2; }
    if (lead == 0xed) { high = 0x9f; return 2; }
    if (lead >= 0xe1 && lead <= 0xef) return 2;
    if (lead == 0xf0) { low = 0x90; return 3; }
    if (lead == 0xf4) { high = 0x8f; return 3; }
    if (lead >= 0xf1 && lead <= 0xf3) return 3;
    return -1;
}

juce::String latin1 (const std::string& bytes)
{
    juce::String text;
    for (const auto byte : bytes)
        text += juce::String::charToString ((juce::juce_wchar) (uint8_t) byte);
    return text;
}

bool isControl (juce::juce_wchar c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}
}

bool isWellFormedUtf8 (const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size();)
    {
        uint8_t low = 0, high = 0;
        const auto extra = continuationBytes ((uint8_t) bytes[i], low, high);
        if (extra < 0 || bytes.size() - i <= (std::size_t) extra)
            return false;

        for (int k = 1; k <= extra; ++k)
        {
            const auto byte = (uint8_t) bytes[i + (std::size_t) k];
            const auto min = k == 1 ? low : (uint8_t) 0x80;
            const auto max = k == 1 ? high : (uint8_t) 0xbf;
            if (byte < min || byte > max)
                return false;
        }
        i += (std::size_t) extra + 1;
    }
    return true;
}

juce::String textFromBytes (const std::string& bytes)
{
    return isWellFormedUtf8 (bytes) ? juce::String::fromUTF8 (bytes.data(), (int) bytes.size()) : latin1 (bytes);
}

juce::String deviceNameForDisplay (const DeviceRecord& record)
{
    const auto text = textFromBytes (deviceNameText (record));

    juce::String shown;
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        shown += isControl (c) ? juce::String (" ") : juce::String::charToString (c);
    }
    return shown;
}

juce::String deviceTypeDisplayName (int32_t deviceType)
{
    if (deviceType < 0 || deviceType > deviceTypeCount)
        return {};
    return juce::String::fromUTF8 (deviceTypeTable[deviceType].name);
}
