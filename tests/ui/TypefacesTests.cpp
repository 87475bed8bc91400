#include "tests/ui/UiTestSupport.h"
#include "ui/Typefaces.h"

#include <BinaryData.h>

#include <thread>
#include <vector>

namespace
{
juce::Path outlineOf (juce::Typeface& typeface, juce::juce_wchar c, int& glyph)
{
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    typeface.getGlyphPositions (juce::String::charToString (c), glyphs, offsets);
    glyph = glyphs.isEmpty() ? 0 : glyphs.getFirst();

    juce::Path outline;
    if (glyph != 0)
        typeface.getOutlineForGlyph (glyph, outline);
    return outline;
}

// The framework hands out the font's missing-glyph shape for a character the font lacks,
// so a character counts as present only when its shape is its own.
bool hasOwnGlyph (juce::Typeface& typeface, juce::juce_wchar c)
{
    int glyph = 0, missingGlyph = 0;
    const auto shape = outlineOf (typeface, c, glyph);
    const auto missing = outlineOf (typeface, 0xe000, missingGlyph);
    return glyph != 0 && ! shape.isEmpty() && shape.toString() != missing.toString();
}
}

TEST_F (UiTest, LogFontHasTheLevelSymbols)
{
    auto typeface = robotoMonoRegularTypeface();
    ASSERT_NE (typeface, nullptr);

    for (const auto symbol : { 0x2022, 0x221a, 0x2206, 0x03a7 })
        EXPECT_TRUE (hasOwnGlyph (*typeface, (juce::juce_wchar) symbol)) << std::hex << symbol;

    EXPECT_TRUE (hasOwnGlyph (*typeface, 'A'));
    EXPECT_FALSE (hasOwnGlyph (*typeface, 0xe001)) << "the check must see a missing glyph";
}


// Each platform names the faces its own way (TypefacesTestsLinux.cpp, TypefacesTestsWindows.cpp).
TEST_F (UiTest, TypefacesAreTheEmbeddedFacesMadeOnce)
{
    for (const auto accessor : { futuraMediumTypeface, robotoRegularTypeface, robotoMonoRegularTypeface })
    {
        const auto first = accessor();
        ASSERT_NE (first, nullptr);
        EXPECT_EQ (accessor(), first) << first->getName();
        EXPECT_GT (juce::Font (first).withHeight (16.0f).getStringWidthFloat ("Zorv"), 0.0f) << first->getName();
    }
}

TEST_F (UiTest, FirstUseFromSeveralThreadsGivesOneTypeface)
{
    std::vector<juce::Typeface::Ptr> seen (6);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back ([&seen, i] { seen[i] = i % 2 == 0 ? robotoMonoRegularTypeface() : futuraMediumTypeface(); });
    for (auto& t : threads)
        t.join();

    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ (seen[i], i % 2 == 0 ? robotoMonoRegularTypeface() : futuraMediumTypeface());
}

TEST_F (UiTest, IconsAreLightGlyphsOnTransparency)
{
    struct Icon { const char* data; int size; };
    for (const auto& icon : { Icon { BinaryData::ScanDevices_png, BinaryData::ScanDevices_pngSize },
                              Icon { BinaryData::SetIP_png, BinaryData::SetIP_pngSize },
                              Icon { BinaryData::Rename_png, BinaryData::Rename_pngSize },
                              Icon { BinaryData::Identify_png, BinaryData::Identify_pngSize },
                              Icon { BinaryData::About_png, BinaryData::About_pngSize },
                              Icon { BinaryData::Advanced_png, BinaryData::Advanced_pngSize },
                              Icon { BinaryData::AutoUpdate_png, BinaryData::AutoUpdate_pngSize } })
    {
        const auto image = juce::ImageCache::getFromMemory (icon.data, icon.size);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), 48);
        EXPECT_EQ (image.getHeight(), 48);
        EXPECT_TRUE (image.hasAlphaChannel());
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);

        int lightOpaque = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                if (const auto p = image.getPixelAt (x, y); p.getAlpha() == 255 && p.getBrightness() > 0.7f)
                    ++lightOpaque;
        EXPECT_GT (lightOpaque, 48) << "too little of the glyph reads on a dark band";
    }
}
