#include "ui/ResettableProgressBar.h"

namespace
{
// The framework bar's own pace and frame interval.
constexpr double risePerMillisecond = 0.0008;
constexpr int stepIntervalMs = 30;

bool isDeterminate (double value)
{
    return value >= 0.0 && value < 1.0;
}
}

ResettableProgressBar::ResettableProgressBar (double& watchedValue, bool showPercentage)
    : juce::ProgressBar (watchedValue),
      watched (watchedValue),
      displayedValue (juce::jlimit (0.0, 1.0, watchedValue)),
      percentage (showPercentage)
{
    setPercentageDisplay (showPercentage);
}

void ResettableProgressBar::resetDisplay (double value)
{
    displayedValue = juce::jlimit (0.0, 1.0, value);
    lastStepTime = juce::Time::getMillisecondCounter();
    repaint();
}

void ResettableProgressBar::paint (juce::Graphics& g)
{
    juce::String text;
    if (percentage && displayedValue >= 0.0 && displayedValue <= 1.0)
        text << juce::roundToInt (displayedValue * 100.0) << '%';

    getLookAndFeel().drawProgressBar (g, *this, getWidth(), getHeight(), displayedValue, text);
}

// The framework bar's own timer is never started: this bar steps on its own ticker.
void ResettableProgressBar::visibilityChanged()
{
    if (isVisible())
        ticker.startTimer (stepIntervalMs);
    else
        ticker.stopTimer();
}

void ResettableProgressBar::stepTowardsValue()
{
    auto target = watched;
    const auto now = juce::Time::getMillisecondCounter();
    const auto sinceLastStep = (int) (now - lastStepTime);
    lastStepTime = now;

    if (displayedValue == target && isDeterminate (target))
        return;

    if (displayedValue < target && isDeterminate (target) && isDeterminate (displayedValue))
        target = juce::jmin (displayedValue + risePerMillisecond * sinceLastStep, target);

    displayedValue = target;
    repaint();
}
