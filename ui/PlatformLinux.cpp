#include "ui/Platform.h"

#if JUCE_INTEL
 #include <cpuid.h>
#endif

#if JUCE_LINUX
 #include <sys/utsname.h>
#endif

namespace
{
juce::String buildArchitecture()
{
   #if JUCE_INTEL && JUCE_64BIT
    return "x64 64-bit";
   #elif JUCE_ARM && JUCE_64BIT
    return "arm64 64-bit";
   #else
    return juce::String (8 * (int) sizeof (void*)) + "-bit";
   #endif
}

// The 48-byte brand string of the extended CPUID functions 0x80000002 to 0x80000004, up to
// its first zero byte. Only printable ASCII is kept: the bytes come from the processor.
juce::String processorName()
{
   #if JUCE_INTEL
    if (__get_cpuid_max (0x80000000, nullptr) < 0x80000004)
        return {};

    juce::String brand;
    for (unsigned int function = 0x80000002; function <= 0x80000004; ++function)
    {
        unsigned int registers[4] {};
        __cpuid (function, registers[0], registers[1], registers[2], registers[3]);
        for (const auto word : registers)
        {
            for (int byte = 0; byte < 4; ++byte)
            {
                const auto c = (char) ((word >> (8 * byte)) & 0xff);
                if (c == '\0')
                    return brand.trim();
                brand << (c >= ' ' && c < 127 ? juce::String::charToString (c) : juce::String ("?"));
            }
        }
    }
    return brand.trim();
   #else
    return juce::SystemStats::getCpuModel().trim();
   #endif
}

// The kernel's name and release, e.g. "Linux 6.1.0-18-amd64", where the framework would
// say only "Linux".
juce::String operatingSystem()
{
   #if JUCE_LINUX
    utsname names {};
    if (::uname (&names) == 0)
        return juce::String::fromUTF8 (names.sysname) + " " + juce::String::fromUTF8 (names.release);
   #endif
    return juce::SystemStats::getOperatingSystemName();
}
}

namespace platform
{
SystemDescription describeSystem()
{
    return { buildArchitecture(), processorName(), operatingSystem() };
}
}
