#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The framework's progress bar, drawn by the same look-and-feel and easing towards the
// watched value the same way (at most 0.0008 per millisecond while it rises below 1), with
// one thing the framework keeps private: its displayed value and the time of its last
// step can be reset, so that a bar shows 0 at once and rises smoothly from that moment.
class ResettableProgressBar final : public juce::ProgressBar
{
public:
    // The value must outlive the bar; the bar reads it on the message thread only.
    ResettableProgressBar (double& watchedValue, bool showPercentage);

    // Shows value (clamped to 0..1) at once; the easing starts from now.
    void resetDisplay (double value);

    double getDisplayedValue() const { return displayedValue; }

    void paint (juce::Graphics&) override;
    void visibilityChanged() override;

private:
    class Ticker final : public juce::Timer
    {
    public:
        explicit Ticker (ResettableProgressBar& barToStep) : bar (barToStep) {}
        void timerCallback() override { bar.stepTowardsValue(); }

    private:
        ResettableProgressBar& bar;
    };

    void stepTowardsValue();

    double& watched;
    double displayedValue;
    bool percentage;
    juce::uint32 lastStepTime = 0;
    Ticker ticker { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResettableProgressBar)
};
