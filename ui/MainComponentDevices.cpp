// The window's view of the discovered devices: its own filtered, sorted copy of the
// discovery's list in the device box, the selected device's boards and details, and the
// one rule that enables and disables the controls.

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "discovery/NetworkDiscovery.h"
#include "ui/DeviceText.h"
#include "ui/TextFitting.h"
#include "updater/BoardTables.h"

#include <algorithm>

namespace
{
const juce::String noDeviceTooltip ("No devices found. Click Scan to begin");
constexpr int32_t noDeviceType = deviceTypeCount;

uint32_t addressValue (const DeviceRecord& record)
{
    const auto& a = record.ipv4Address;
    return (uint32_t) a[0] << 24 | (uint32_t) a[1] << 16 | (uint32_t) a[2] << 8 | (uint32_t) a[3];
}

bool isListedType (int32_t deviceType)
{
    return (uint32_t) deviceType < (uint32_t) deviceTypeCount;
}
}

void MainComponent::refreshDeviceList()
{
    if (networkDiscovery == nullptr)
        return;

    const juce::String rememberedAddress (getSelectedDeviceIP());

    devices = networkDiscovery->getDevices();
    devices.erase (std::remove_if (devices.begin(), devices.end(),
                                   [] (const DeviceRecord& r) { return ! isListedType (r.deviceType); }),
                   devices.end());
    std::sort (devices.begin(), devices.end(), [] (const DeviceRecord& a, const DeviceRecord& b)
    {
        return a.deviceType != b.deviceType ? a.deviceType < b.deviceType : addressValue (a) < addressValue (b);
    });
    deviceCount = devices.size();

    // A device with an empty name gets no item; the ids still stand for the list's entries.
    comboBoxDev->clear (juce::dontSendNotification);
    for (std::size_t n = 1; n <= deviceCount; ++n)
        comboBoxDev->addItem (deviceNameForDisplay (devices[n - 1]), (int) n);

    selectDeviceByIP (rememberedAddress);
    updateDeviceInfo();
}

// Keeps the device that was selected, silently; when it is gone the first listed device is
// selected, and the box tells its listener afterwards.
void MainComponent::selectDeviceByIP (const juce::String& address)
{
    for (int index = 0; index < comboBoxDev->getNumItems(); ++index)
    {
        const auto id = comboBoxDev->getItemId (index);
        if (id >= 1 && (std::size_t) id <= devices.size()
            && juce::String (ipv4BytesToText (devices[(std::size_t) id - 1].ipv4Address)) == address)
        {
            comboBoxDev->setSelectedId (id, juce::dontSendNotification);
            return;
        }
    }

    if (comboBoxDev->getNumItems() > 0)
        comboBoxDev->setSelectedId (comboBoxDev->getItemId (0), juce::sendNotificationAsync);
}

const DeviceRecord* MainComponent::getSelectedDevice() const
{
    const auto index = comboBoxDev->getSelectedId() - 1;
    return index >= 0 && (std::size_t) index < deviceCount ? &devices[(std::size_t) index] : nullptr;
}

std::string MainComponent::getSelectedDeviceIP() const
{
    const auto* record = getSelectedDevice();
    return record != nullptr ? ipv4BytesToText (record->ipv4Address) : std::string();
}

void MainComponent::updateBoardList()
{
    if (networkDiscovery == nullptr)
        return;

    comboPanels->clear (juce::dontSendNotification);
    const auto* record = getSelectedDevice();
    if (record == nullptr || ! isListedType (record->deviceType))
        return;

    comboPanels->addItemList (deviceCatalogue.boardNames[(std::size_t) record->deviceType], 1);
    comboPanels->setSelectedId (1, juce::dontSendNotification);
}

// Changes of the board box need nothing: the operations read its selection when they start.
void MainComponent::comboBoxChanged (juce::ComboBox* box)
{
    if (box == comboBoxDev.get() && deviceCount != 0)
    {
        updateBoardList();
        updateDeviceInfo();
    }
}

MainComponent::DeviceInfo MainComponent::formatDeviceInfo (const DeviceRecord& record)
{
    DeviceInfo info;
    info.deviceInfoHeadings = { "Type:", "Name:", "IP:", "MAC:", "Status:" };

    if (record.deviceType == noDeviceType)
    {
        info.deviceInfoValues = { "[No Zorv Products found]", "", "", "", "" };
        return info;
    }

    info.deviceInfoValues = { deviceTypeDisplayName (record.deviceType),
                              deviceNameForDisplay (record),
                              juce::String (ipv4BytesToText (record.ipv4Address)),
                              juce::String (macBytesToText (record.macAddress)).toUpperCase(),
                              record.statusFlag != 0 ? "Please Update Firmware!" : "OK" };
    return info;
}

void MainComponent::updateDeviceInfo()
{
    if (networkDiscovery == nullptr)
        return;

    const auto* selected = getSelectedDevice();
    DeviceRecord none {};
    none.deviceType = noDeviceType;
    const auto info = formatDeviceInfo (selected != nullptr ? *selected : none);

    labelInfoHeadings->setText (info.deviceInfoHeadings.joinIntoString ("\n"), juce::dontSendNotification);
    fitTextToComponent (labelInfo.get(), info.deviceInfoValues.joinIntoString ("\n"), false, {});

    if (selected == nullptr)
    {
        comboBoxDev->setTooltip (noDeviceTooltip);
        return;
    }

    juce::String tip;
    for (int i = 0; i < info.deviceInfoHeadings.size(); ++i)
        tip << info.deviceInfoHeadings[i] << " " << info.deviceInfoValues[i] << "\n";
    comboBoxDev->setTooltip (alignColumnsAtSeparator (labelInfo->getFont(), tip.trimEnd(), ':', 65.0f));
}

void MainComponent::refreshControlStates()
{
    if (networkDiscovery == nullptr)
        return;

    if (networkDiscovery->isIdle())
    {
        for (auto* c : std::initializer_list<juce::Component*> { btnScanDev.get(), btnSetIP.get(), comboBoxDev.get(),
                                                                 labelInfoHeadings.get(), labelInfo.get() })
            c->setEnabled (true);

        const auto hasDevices = deviceCount != 0;
        for (auto* c : { btnRenameDev.get(), btnIdDev.get(), btnAutoUpdate.get(), btnAdvanced.get() })
            c->setEnabled (hasDevices);

        const auto advanced = hasDevices && advancedUnlocked && btnAdvanced->getToggleState();
        for (auto* c : std::initializer_list<juce::Component*> { advGroupComp.get(), comboPanels.get(), btnGetVersions.get(),
                                                                 btnReset.get(), btnCheck.get(), btnUpdate.get() })
            c->setEnabled (advanced);
        return;
    }

    for (auto* c : std::initializer_list<juce::Component*> { btnScanDev.get(), btnSetIP.get(), comboBoxDev.get(),
                                                             btnRenameDev.get(), btnIdDev.get(), btnAutoUpdate.get() })
        c->setEnabled (false);

    btnAdvanced->setToggleState (false, juce::dontSendNotification);
    btnAdvanced->setEnabled (false);

    for (auto* c : std::initializer_list<juce::Component*> { comboPanels.get(), btnGetVersions.get(), btnReset.get(),
                                                             btnCheck.get(), btnUpdate.get(), labelInfoHeadings.get(),
                                                             labelInfo.get() })
        c->setEnabled (false);

    comboBoxDev->clear (juce::dontSendNotification);
    comboPanels->clear (juce::dontSendNotification);
    updateDeviceInfo();
}

void MainComponent::setControlsEnabled (bool enabled)
{
    for (auto* c : std::initializer_list<juce::Component*> { btnScanDev.get(), btnSetIP.get(), comboBoxDev.get(),
                                                             btnRenameDev.get(), btnIdDev.get(), btnAutoUpdate.get(),
                                                             btnAdvanced.get() })
        c->setEnabled (enabled);

    const auto advanced = advancedUnlocked && btnAdvanced->getToggleState() && enabled;
    for (auto* c : std::initializer_list<juce::Component*> { advGroupComp.get(), comboPanels.get(), btnGetVersions.get(),
                                                             btnReset.get(), btnCheck.get(), btnUpdate.get() })
        c->setEnabled (advanced);
}
