// The engine's events in the window. The engine reports on its worker thread; each event
// is copied there and applied here, on the message thread, unless the window is closing.
// A question travels as a message box whose answer goes back through the event's atomic
// int, which the asking operation polls: 2 Yes, 4 No, 1 OK.

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "discovery/NetworkDiscovery.h"
#include "logging/AppLogger.h"
#include "ui/DeviceText.h"
#include "ui/MessageBoxes.h"
#include "ui/UIColours.h"

namespace
{
double clampedProgress (float progress)
{
    return juce::jlimit (0.0, 1.0, (double) progress);
}

juce::MessageBoxIconType iconFor (int icon)
{
    switch (icon)
    {
        case messageBox::iconInformation: return juce::MessageBoxIconType::InfoIcon;
        case messageBox::iconQuestion:    return juce::MessageBoxIconType::QuestionIcon;
        default:                          return juce::MessageBoxIconType::WarningIcon;
    }
}
}

void MainComponent::onUpdaterEvent (const SafeComponent& component, const ZorvUpdater::UpdaterEvent& event)
{
    juce::MessageManager::callAsync ([component, event]
    {
        if (isAliveCapture (component))
            static_cast<MainComponent*> (component.getComponent())->handleZorvUpdaterEvent (event);
    });
}

void MainComponent::handleZorvUpdaterEvent (const ZorvUpdater::UpdaterEvent& event)
{
    switch (event.type)
    {
        case ZorvUpdater::ClearLog:
            textDevLog->clear();
            lastLogEntryStart = -1;
            AppLogger::instance().log ({});
            break;

        case ZorvUpdater::NewLogSection:
            textDevLog->moveCaretToEnd();
            textDevLog->insertTextAtCaret ("\n");
            lastLogEntryStart = -1;
            AppLogger::instance().log ({});
            break;

        case ZorvUpdater::LogLine:
            appendLog (textFromBytes (event.text), { event.replaceLastLine, event.level, false });
            break;

        case ZorvUpdater::ProgressBarState:
            showProgressBarState (event);
            break;

        case ZorvUpdater::Progress:
            progressBar1Value = clampedProgress (event.progress);
            break;

        case ZorvUpdater::SecondProgressBarState:
            if (event.resetProgress)
            {
                progressBar2Value = 0.0;
                resetProgressBarDisplay (*progressBar2, 0.0);
            }
            progressBar2->setVisible (event.visible);
            break;

        case ZorvUpdater::SecondProgress:
            progressBar2Value = clampedProgress (event.progress);
            break;

        case ZorvUpdater::ControlsEnabled:
            setControlsEnabled (event.enabled);
            break;

        case ZorvUpdater::MessageBox:
            showEngineMessageBox (event);
            break;

        case ZorvUpdater::OperationFinished:
            AppLogger::instance().log (textFromBytes (event.text));
            reprobeAfterOperation (event.success);
            break;

        default:
            break;
    }
}

// A bar being hidden takes the highlight colour, which is the colour the next scan shows.
void MainComponent::showProgressBarState (const ZorvUpdater::UpdaterEvent& event)
{
    if (event.resetProgress)
    {
        progressBar1Value = 0.0;
        resetProgressBarDisplay (*progressBar1, 0.0);
    }

    const auto colour = event.highlight || ! event.visible ? UIColours::accentBlue()
                                                           : UIColours::fieldBackground().brighter (0.21f);
    progressBar1->setColour (juce::ProgressBar::foregroundColourId, colour);
    progressBar1->setVisible (event.visible);
}

void MainComponent::showEngineMessageBox (const ZorvUpdater::UpdaterEvent& event)
{
    holdTooltipsBack();

    auto options = juce::MessageBoxOptions()
                       .withIconType (iconFor (event.icon))
                       .withTitle (textFromBytes (event.title))
                       .withMessage (textFromBytes (event.text))
                       .withAssociatedComponent (this);

    std::vector<int> answerCodes;
    if (event.buttons == messageBox::buttonsYesNo)
    {
        options = options.withButton ("Yes").withButton ("No");
        answerCodes = { messageBox::answerYes, messageBox::answerNo };
    }
    else
    {
        options = options.withButton ("OK");
        answerCodes = { messageBox::answerOk };
    }

    showMessageBox (options, [safe = SafeComponent (this), event, answerCodes] (int index)
    {
        if (isAliveCapture (safe))
            static_cast<MainComponent*> (safe.getComponent())->deliverMessageBoxAnswer (index, event, answerCodes);
    });
}

// Runs only while the component is alive and not closing: once it closes, the engine stops
// waiting through its cancel flag, and an answer stored then could reach an integer that
// no longer exists.
void MainComponent::deliverMessageBoxAnswer (int index, const ZorvUpdater::UpdaterEvent& event,
                                             const std::vector<int>& answerCodes)
{
    releaseTooltips();
    if (event.answer != nullptr && index >= 0 && (std::size_t) index < answerCodes.size())
        event.answer->exchange (answerCodes[(std::size_t) index]);
}

// Blocks the message thread for up to the discovery's time-outs.
void MainComponent::reprobeAfterOperation (bool success)
{
    if (rescanAfterOperation != 1)
        return;

    rescanAfterOperation = 0;
    const auto* record = getSelectedDevice();
    if (! success || record == nullptr)
        return;

    networkDiscovery->discoverDevice (ipv4BytesToText (record->ipv4Address));
    refreshDeviceList();
}

void MainComponent::resetProgressBarDisplay (ResettableProgressBar& bar, double value)
{
    bar.resetDisplay (value);
}
