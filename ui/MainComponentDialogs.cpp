// The dialogs the buttons open: rename, manual addresses, the Advanced Options password and
// About. Each opens asynchronously in a dialog window that owns its content; the callback
// gets the modal result (1 accepted, 0 cancelled, closed or escaped) while the window and
// its content still exist, and works on what it kept when the dialog opened.

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "discovery/NetworkDiscovery.h"
#include "ui/AboutScreen.h"
#include "ui/DeviceText.h"
#include "ui/NameScreen.h"
#include "ui/SetIP.h"

namespace
{
const juce::Colour dialogBackground (0xffd3d3d3);
}

// The framework sizes the window for its own title bar before it switches to the native
// one, which then leaves the content taller and wider than it is made; the window is fitted
// to the content again once it is open.
juce::DialogWindow* MainComponent::launchDialog (const juce::String& title, juce::Component* content)
{
    const auto contentSize = content->getBounds().withZeroOrigin();
    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.content.setOwned (content);
    options.componentToCentreAround = this;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;
    options.dialogBackgroundColour = dialogBackground;

    auto* window = options.launchAsync();
    if (window != nullptr)
    {
        window->setContentComponentSize (contentSize.getWidth(), contentSize.getHeight());
        window->centreAroundComponent (this, window->getWidth(), window->getHeight());
    }
    return window;
}

// The callback runs only for an accepted dialog, and only while the component is alive.
void MainComponent::attachDialogCallback (juce::DialogWindow* window, std::function<void (MainComponent&)> onAccepted)
{
    if (window == nullptr)
        return;

    juce::ModalComponentManager::getInstance()->attachCallback (window, juce::ModalCallbackFunction::create (
        [safe = SafeComponent (this), onAccepted = std::move (onAccepted)] (int result)
        {
            if (result != 0 && isAliveCapture (safe))
                onAccepted (*static_cast<MainComponent*> (safe.getComponent()));
        }));
}

void MainComponent::openRenameDialog()
{
    const auto* record = getSelectedDevice();
    if (record == nullptr)
        return;

    const auto currentName = deviceNameForDisplay (*record);
    const auto address = ipv4BytesToText (record->ipv4Address);
    const auto deviceType = record->deviceType;

    auto* screen = new NameScreen (0);
    screen->setCurrentName (currentName);
    auto* window = launchDialog ("Rename Device (IP: " + juce::String (address) + ")", screen);
    attachDialogCallback (window, [screen, deviceType, currentName, address] (MainComponent& main)
    {
        main.onRenameDialogClosed (screen->newName, deviceType, currentName, address);
    });
}

// Blocks the message thread for up to the discovery's time-outs when the name changed.
void MainComponent::onRenameDialogClosed (const juce::String& newName, int32_t deviceType,
                                          const juce::String& currentName, const std::string& address)
{
    if (newName.isEmpty() || newName == currentName)
        return;

    networkDiscovery->setUserName (address, newName.toStdString(), deviceType);
    refreshDeviceList();
}

void MainComponent::openSetIPDialog()
{
    auto* screen = new SetIP();
    screen->loadAddresses (manualScanIPs, manualScanFlags);
    auto* window = launchDialog ("Set Manual IP Addresses for Scanning", screen);
    attachDialogCallback (window, [screen] (MainComponent& main) { main.onSetIPDialogClosed (*screen); });
}

// The dialog ends with OK only after it has checked every row.
void MainComponent::onSetIPDialogClosed (const SetIP& dialog)
{
    manualScanIPs = dialog.addresses;
    manualScanFlags = dialog.useFlags;
    saveManualScanIPs();
}

void MainComponent::openPasswordDialog()
{
    auto* screen = new NameScreen (1);
    screen->setCurrentName ({});
    auto* window = launchDialog ("Advanced Options Password", screen);
    attachDialogCallback (window, [] (MainComponent& main) { main.onPasswordDialogClosed(); });
}

// The password dialog ends with OK only for an accepted password.
void MainComponent::onPasswordDialogClosed()
{
    advancedUnlocked = true;
    btnAdvanced->setToggleState (true, juce::dontSendNotification);
    refreshControlStates();
}

void MainComponent::openAboutDialog()
{
    launchDialog ("About", new AboutScreen());
}
