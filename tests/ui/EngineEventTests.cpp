// How the window applies the engine's events that are not log lines: the two bars with
// their colours and resets, the end of an operation, and events it does not know.

#include "tests/ui/MainComponentFixture.h"
#include "ui/UIColours.h"

namespace
{
class EngineEvents : public MainComponentTest
{
protected:
    static ZorvUpdater::UpdaterEvent event (int type)
    {
        ZorvUpdater::UpdaterEvent e;
        e.type = type;
        return e;
    }

    static ZorvUpdater::UpdaterEvent barState (int type, bool visible, bool reset, bool highlight = false)
    {
        auto e = event (type);
        e.visible = visible;
        e.resetProgress = reset;
        e.highlight = highlight;
        return e;
    }

    static ZorvUpdater::UpdaterEvent progress (int type, float value)
    {
        auto e = event (type);
        e.progress = value;
        return e;
    }

    juce::Colour firstBarColour() { return inspect().progressBar1().findColour (juce::ProgressBar::foregroundColourId); }
};
}

TEST_F (EngineEvents, TheFirstBarTakesTheHighlightColourWhenItIsHiddenOrHighlighted)
{
    struct Case
    {
        bool visible;
        bool highlight;
        juce::uint32 colour;
    };
    const Case cases[] = { { true, false, 0xff4e4e4e }, { false, false, 0xff2a74bf },
                           { true, true, 0xff2a74bf }, { false, true, 0xff2a74bf } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ("visible ") + (c.visible ? "yes" : "no") + ", highlight " + (c.highlight ? "yes" : "no"));
        inspect().handleEvent (barState (ZorvUpdater::ProgressBarState, c.visible, false, c.highlight));
        EXPECT_EQ (firstBarColour(), juce::Colour (c.colour));
        EXPECT_EQ (inspect().progressBar1().isVisible(), c.visible);
    }
    EXPECT_EQ (UIColours::fieldBackground().brighter (0.21f), juce::Colour (0xff4e4e4e));
}

TEST_F (EngineEvents, ValuesAreClampedAndAResetBarShowsZeroAtOnce)
{
    struct Bar
    {
        int stateType;
        int valueType;
        std::function<ResettableProgressBar&()> bar;
        std::function<double&()> value;
    };
    const Bar bars[] = {
        { ZorvUpdater::ProgressBarState, ZorvUpdater::Progress, [this]() -> ResettableProgressBar& { return inspect().progressBar1(); },
          [this]() -> double& { return inspect().progressBar1Value(); } },
        { ZorvUpdater::SecondProgressBarState, ZorvUpdater::SecondProgress,
          [this]() -> ResettableProgressBar& { return inspect().progressBar2(); },
          [this]() -> double& { return inspect().progressBar2Value(); } },
    };

    for (const auto& b : bars)
    {
        SCOPED_TRACE (b.stateType);
        inspect().handleEvent (barState (b.stateType, true, true));
        EXPECT_TRUE (b.bar().isVisible());
        for (const auto& [sent, kept] : std::vector<std::pair<float, double>> { { 1.5f, 1.0 }, { -0.2f, 0.0 }, { 0.25f, 0.25 } })
        {
            inspect().handleEvent (progress (b.valueType, sent));
            EXPECT_DOUBLE_EQ (b.value(), kept);
        }

        inspect().handleEvent (progress (b.valueType, 0.9f));
        ASSERT_TRUE (waitFor ([&] { return b.bar().getDisplayedValue() == b.value(); }));
        inspect().handleEvent (barState (b.stateType, true, true));
        EXPECT_EQ (b.value(), 0.0);
        EXPECT_EQ (b.bar().getDisplayedValue(), 0.0) << "no easing back down from 0.9";

        inspect().handleEvent (progress (b.valueType, 0.5f));
        ASSERT_TRUE (waitFor ([&] { return b.bar().getDisplayedValue() > 0.0; }));
        EXPECT_LT (b.bar().getDisplayedValue(), 0.5) << "it rises smoothly from the reset";

        inspect().handleEvent (barState (b.stateType, false, false));
        EXPECT_FALSE (b.bar().isVisible());
    }
}

TEST_F (EngineEvents, TheEndOfAnOperationGoesToTheFileAndAFailedOneIsNotProbedAgain)
{
    inspect().rescanAfterOperation() = 1;
    auto finished = event (ZorvUpdater::OperationFinished);
    finished.text = "Update failed";
    finished.success = false;
    inspect().handleEvent (finished);

    EXPECT_EQ (inspect().rescanAfterOperation(), 0);
    EXPECT_TRUE (logFile().loadFileAsString().contains ("] Update failed"));
    EXPECT_TRUE (logView().isEmpty()) << "the view does not show it";
}

TEST_F (EngineEvents, AnUnknownEventChangesNothing)
{
    main->appendLog ("kept", { false, 1, false });
    const auto text = logView().getText();
    for (const int type : { 0, 11, -3 })
    {
        auto e = event (type);
        e.text = "ignored";
        e.visible = true;
        e.enabled = false;
        inspect().handleEvent (e);
    }
    EXPECT_EQ (logView().getText(), text);
    EXPECT_FALSE (inspect().progressBar1().isVisible());
    EXPECT_TRUE (byId<juce::Button> ("btnScanDev")->isEnabled());
}
