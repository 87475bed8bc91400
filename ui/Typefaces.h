#pragma once

#include <juce_graphics/juce_graphics.h>

// The process-wide typefaces made from the fonts embedded in the executable. All three are
// made on the first call of any of them, not during static initialisation, so that the
// font machinery exists by then; later calls return the same typefaces.

// The dialogs' display face (a free geometric sans stands in for Futura Medium).
juce::Typeface::Ptr futuraMediumTypeface();

// The default sans-serif face of the window.
juce::Typeface::Ptr robotoRegularTypeface();

// The log view's face; it carries the log's level symbols itself, since nothing falls back
// to another font for a missing glyph.
juce::Typeface::Ptr robotoMonoRegularTypeface();
