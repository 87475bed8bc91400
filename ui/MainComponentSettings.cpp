// The settings file: the four manual scan addresses and their use flags, as XML in
// ZorvUpdater.settings in the per-user application-data folder.

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "logging/AppFolders.h"

namespace
{
constexpr int manualScanSlots = 4;

juce::String addressKey (int index)
{
    return "ManualScanIP_" + juce::String (index);
}

juce::String useFlagKey (int index)
{
    return "UseManualScanIP_" + juce::String (index);
}
}

// The settings live beside the log or nowhere: given an empty folder name the framework
// would pick a folder of its own (a hidden one at / when there is no home at all). Without
// the folder the settings object goes, and the addresses live for this run only.
void MainComponent::configureSettingsFile()
{
    const auto folder = getAppSupportDirectory (false);
    if (folder == juce::File())
    {
        appProperties.reset();
        return;
    }

    juce::PropertiesFile::Options options;
    options.applicationName = "ZorvUpdater";
    options.filenameSuffix = ".settings";
    options.folderName = folder.getFullPathName();
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.millisecondsBeforeSaving = 3000;
    options.commonToAllUsers = false;
    options.ignoreCaseOfKeyNames = false;
    options.doNotSave = false;
    options.processLock = nullptr;

    appProperties->setStorageParameters (options);
    appProperties->getUserSettings()->setFallbackPropertySet (nullptr);
}

// Every address comes out a canonical dotted quad: one that is not falls back to its
// slot's default, and each flag is on only when the file says so.
void MainComponent::loadManualScanIPs()
{
    const juce::PropertySet noSettings;
    const juce::PropertySet& settings = appProperties != nullptr ? *appProperties->getUserSettings() : noSettings;
    for (int index = 0; index < manualScanSlots; ++index)
    {
        const auto defaultAddress = "10.10.251." + juce::String (index + 1);
        manualScanIPs.set (index, settings.getValue (addressKey (index), defaultAddress));

        const auto canonical = normaliseIPv4Text (manualScanIPs[index].toStdString());
        manualScanIPs.set (index, canonical.empty() ? defaultAddress : juce::String (canonical));

        manualScanFlags.set (index, settings.getBoolValue (useFlagKey (index), false));
    }
}

void MainComponent::saveManualScanIPs()
{
    if (appProperties == nullptr)
        return;

    auto* settings = appProperties->getUserSettings();
    for (int index = 0; index < manualScanSlots; ++index)
        settings->setValue (addressKey (index), manualScanIPs[index]);
    for (int index = 0; index < manualScanSlots; ++index)
        settings->setValue (useFlagKey (index), manualScanFlags[index]);

    appProperties->saveIfNeeded();
}
