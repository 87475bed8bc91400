#include "ui/MessageBoxes.h"

void showMessageBox (const juce::MessageBoxOptions& options, std::function<void (int buttonIndex)> onButton)
{
    const auto numButtons = options.getNumButtons();
    juce::NativeMessageBox::showAsync (options, [numButtons, onButton = std::move (onButton)] (int result)
    {
        if (onButton)
            onButton (buttonIndexForResult (result, numButtons));
    });
}

int buttonIndexForResult (int result, int numButtons)
{
    const auto last = juce::jmax (0, numButtons - 1);
   #if JUCE_LINUX || JUCE_BSD
    return result >= 1 && result <= last ? result - 1 : last;
   #else
    return result >= 0 && result <= last ? result : last;
   #endif
}
