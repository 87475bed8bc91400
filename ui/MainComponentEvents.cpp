// The engine's events in the window. The engine reports on its worker thread; each event
// is copied there and applied here, on the message thread, unless the window is closing.

#include "ui/MainComponent.h"

#include "logging/AppLogger.h"
#include "ui/DeviceText.h"

void MainComponent::onUpdaterEvent (const juce::Component::SafePointer<juce::Component>& component,
                                    const ZorvUpdater::UpdaterEvent& event)
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

        case ZorvUpdater::ControlsEnabled:
            setControlsEnabled (event.enabled);
            break;

        default:
            break;
    }
}
