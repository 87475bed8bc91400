#include "ui/MessageBoxes.h"
#include "ui/Platform.h"

void showMessageBox (const juce::MessageBoxOptions& options, std::function<void (int buttonIndex)> onButton)
{
    const auto numButtons = options.getNumButtons();
    juce::NativeMessageBox::showAsync (options, [numButtons, onButton = std::move (onButton)] (int result)
    {
        if (onButton)
            onButton (platform::buttonIndexForResult (result, numButtons));
    });
}
