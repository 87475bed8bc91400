// Windows' font reader names a face made from memory by its full name.

#include "tests/ui/UiTestSupport.h"
#include "ui/Typefaces.h"

TEST_F (UiTest, EachRoleHasItsOwnFaceNamedByItsFullName)
{
    struct Case { juce::Typeface::Ptr (*accessor)(); const char* name; };
    for (const auto& c : { Case { futuraMediumTypeface, "Jost Medium" },
                           Case { robotoRegularTypeface, "Roboto" },
                           Case { robotoMonoRegularTypeface, "Roboto Mono Regular" } })
    {
        const auto typeface = c.accessor();
        ASSERT_NE (typeface, nullptr) << c.name;
        EXPECT_EQ (typeface->getName(), c.name);
    }
}
