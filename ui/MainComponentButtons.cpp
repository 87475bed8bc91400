// The input side of the window: every button click becomes a scan, a dialog, a device
// command or an engine operation. Three hidden chords of modifier keys, read at the click,
// widen what some buttons do; the sets are nested (the unlock chord holds the force chord,
// which holds the processor key).

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "discovery/NetworkDiscovery.h"
#include "ui/MessageBoxes.h"

namespace
{
constexpr int tooltipHeldBackMs = 65535;

// On Advanced: unlock without the password; on Check: the Boot Mode Control box.
const juce::ModifierKeys unlockChord (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier
                                      | juce::ModifierKeys::altModifier);
// On Auto Update: every board counts as needing an update.
const juce::ModifierKeys forceChord (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
// On Check: the processor query also for a board that gave no answer.
const juce::ModifierKeys processorKey (juce::ModifierKeys::shiftModifier);

bool isHeld (const juce::ModifierKeys& chord)
{
    const auto wanted = chord.getRawFlags();
    return (juce::ModifierKeys::currentModifiers.getRawFlags() & wanted) == wanted;
}
}

void MainComponent::buttonClicked (juce::Button* button)
{
    if (networkDiscovery == nullptr || ! networkDiscovery->isIdle())
        return;

    using Operation = ZorvUpdater::UpdaterOperation;

    if (button == btnScanDev.get())
        runDiscovery();
    else if (button == btnRenameDev.get())
        openRenameDialog();
    else if (button == btnIdDev.get())
        identifySelectedDevice();
    else if (button == btnSetIP.get())
        openSetIPDialog();
    else if (button == btnAdvanced.get())
        toggleAdvancedOptions();
    else if (button == btnAutoUpdate.get())
        performZorvUpdaterOperation (Operation::AutoUpdate);
    else if (button == btnGetVersions.get())
        performZorvUpdaterOperation (Operation::GetVersions);
    else if (button == btnReset.get())
        performZorvUpdaterOperation (Operation::Reset);
    else if (button == btnCheck.get())
        performZorvUpdaterOperation (Operation::Check);
    else if (button == btnUpdate.get())
        performZorvUpdaterOperation (Operation::Update);
    else if (button == btnAbout.get())
        openAboutDialog();
}

// Blocks the message thread for up to the discovery's time-outs.
void MainComponent::identifySelectedDevice()
{
    if (const auto* record = getSelectedDevice())
        networkDiscovery->Identify (ipv4BytesToText (record->ipv4Address), record->deviceType);
}

// The switch's toggle state changes only here; a click leaves it alone by itself.
void MainComponent::toggleAdvancedOptions()
{
    const auto wasOn = btnAdvanced->getToggleState();
    if (! advancedUnlocked && isHeld (unlockChord))
        advancedUnlocked = true;

    if (wasOn || advancedUnlocked)
    {
        btnAdvanced->setToggleState (! wasOn, juce::dontSendNotification);
        refreshControlStates();
        return;
    }

    openPasswordDialog();
}

void MainComponent::performZorvUpdaterOperation (ZorvUpdater::UpdaterOperation operation)
{
    if (networkDiscovery == nullptr || updater == nullptr)
        return;

    const auto index = comboBoxDev->getSelectedId() - 1;
    if (index < 0 || (std::size_t) index >= deviceCount)
        return;

    const auto record = devices[(std::size_t) index];
    const auto board = (uint8_t) (comboPanels->getSelectedId() - 1);
    rescanAfterOperation = 0;

    using Operation = ZorvUpdater::UpdaterOperation;
    switch (operation)
    {
        case Operation::GetVersions:
            updater->startGetVersions (record, updaterEventCallback);
            break;

        case Operation::AutoUpdate:
            if (record.statusFlag != 0)
                rescanAfterOperation = 1;
            updater->startAutoUpdate (record, isHeld (forceChord), updaterEventCallback);
            break;

        case Operation::Update:
            if (record.statusFlag != 0)
                rescanAfterOperation = 1;
            updater->startUpdatePanel (record, board, updaterEventCallback);
            break;

        case Operation::Check:
            if (isHeld (unlockChord))
                showBootModeControlBox (record, board);
            else
                updater->startCheckPanel (record, board, isHeld (processorKey), updaterEventCallback);
            break;

        case Operation::Reset:
            updater->startResetPanel (record, board, updaterEventCallback);
            break;

        default:
            break;
    }
}

void MainComponent::showBootModeControlBox (const DeviceRecord& record, uint8_t board)
{
    holdTooltipsBack();

    const auto options = juce::MessageBoxOptions()
                             .withIconType (juce::MessageBoxIconType::InfoIcon)
                             .withTitle ("Boot Mode Control")
                             .withMessage ("Select Boot Control Action for\n"
                                           + deviceCatalogue.boardNames[(std::size_t) record.deviceType][board])
                             .withAssociatedComponent (this)
                             .withButton ("Enter Boot Mode")
                             .withButton ("Exit Boot Mode")
                             .withButton ("Cancel");

    showMessageBox (options, [safe = SafeComponent (this), record, board] (int index)
    {
        if (isAliveCapture (safe))
            static_cast<MainComponent*> (safe.getComponent())->onBootModeChoice (index, record, board);
    });
}

void MainComponent::onBootModeChoice (int index, const DeviceRecord& record, uint8_t board)
{
    releaseTooltips();
    if (index < 0 || index == 2)
        return;

    updater->startBootModeControl (record, board, index == 0, updaterEventCallback);
}

// The framework's tooltip window has no switch for its quick re-show after a hidden tip;
// the long delay and hiding the tip now serve.
void MainComponent::holdTooltipsBack()
{
    tooltipWindow->setMillisecondsBeforeTipAppears (tooltipHeldBackMs);
    tooltipWindow->hideTip();
}

void MainComponent::releaseTooltips()
{
    tooltipWindow->setMillisecondsBeforeTipAppears (tooltipDelayMs);
}
