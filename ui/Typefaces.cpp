#include "ui/Typefaces.h"

#include <BinaryData.h>

namespace
{
juce::Typeface::Ptr embedded (const char* data, int size)
{
    return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
}

// All three are made under one initialisation guard: the framework's font list that
// creates them is not safe to enter from two threads at once.
struct EmbeddedTypefaces
{
    juce::Typeface::Ptr futuraMedium { embedded (BinaryData::FuturaMedium_ttf, BinaryData::FuturaMedium_ttfSize) };
    juce::Typeface::Ptr robotoRegular { embedded (BinaryData::RobotoRegular_ttf, BinaryData::RobotoRegular_ttfSize) };
    juce::Typeface::Ptr robotoMonoRegular { embedded (BinaryData::RobotoMonoRegular_ttf,
                                                      BinaryData::RobotoMonoRegular_ttfSize) };
};

const EmbeddedTypefaces& typefaces()
{
    static const EmbeddedTypefaces theTypefaces;
    return theTypefaces;
}
}

juce::Typeface::Ptr futuraMediumTypeface()
{
    return typefaces().futuraMedium;
}

juce::Typeface::Ptr robotoRegularTypeface()
{
    return typefaces().robotoRegular;
}

juce::Typeface::Ptr robotoMonoRegularTypeface()
{
    return typefaces().robotoMonoRegular;
}
