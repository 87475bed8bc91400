// Linux's font reader names a face made from memory by its family.

#include "tests/ui/UiTestSupport.h"
#include "ui/Typefaces.h"

TEST_F (UiTest, EachRoleHasItsOwnFaceNamedByItsFamily)
{
    struct Case { juce::Typeface::Ptr (*accessor)(); const char* name; };
    for (const auto& c : { Case { futuraMediumTypeface, "Jost" },
                           Case { robotoRegularTypeface, "RobotoRegular" },
                           Case { robotoMonoRegularTypeface, "Roboto Mono" } })
    {
        const auto typeface = c.accessor();
        ASSERT_NE (typeface, nullptr) << c.name;
        EXPECT_EQ (typeface->getName(), c.name);
    }
}
