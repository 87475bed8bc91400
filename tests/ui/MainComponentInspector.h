#pragma once

// A way into the main component's members, for the tests of the window and its benchmark.

#include "discovery/NetworkDiscovery.h"
#include "ui/MainComponent.h"

struct MainComponentInspector
{
    MainComponent& main;

    NetworkDiscovery& discovery() { return *main.networkDiscovery; }
    ZorvUpdater& updater() { return *main.updater; }
    juce::PropertiesFile& userSettings() { return *main.appProperties->getUserSettings(); }
    const UpdaterEventCallback& updaterEventCallback() { return main.updaterEventCallback; }
    juce::StringArray& manualScanIPs() { return main.manualScanIPs; }
    juce::Array<bool>& manualScanFlags() { return main.manualScanFlags; }
    const std::vector<DeviceRecord>& devices() { return main.devices; }
    std::size_t deviceCount() { return main.deviceCount; }
    bool& advancedUnlocked() { return main.advancedUnlocked; }
    int& rescanAfterOperation() { return main.rescanAfterOperation; }
    double& progressBar1Value() { return main.progressBar1Value; }
    double& progressBar2Value() { return main.progressBar2Value; }
    ResettableProgressBar& progressBar1() { return *main.progressBar1; }
    ResettableProgressBar& progressBar2() { return *main.progressBar2; }
    float& expectedScanSeconds() { return main.expectedScanSeconds; }
    float& elapsedScanSeconds() { return main.elapsedScanSeconds; }
    float& scanProgressIncrement() { return main.scanProgressIncrement; }
    bool& discoveryDoneEarly() { return main.discoveryDoneEarly; }
    juce::LookAndFeel* lookAndFeel (std::size_t index) { return main.lookAndFeels[index].get(); }
    juce::TooltipWindow& tooltipWindow() { return *main.tooltipWindow; }
    const juce::Font& labelFont() { return *main.labelFont; }
    const juce::Font& logFont() { return *main.logFont; }
    const juce::Font& tooltipFont() { return *main.tooltipFont; }
    void detachLookAndFeels() { main.detachLookAndFeels (main); }

    // What the message thread does when a posted call arrives or a timer fires.
    void handleDiscoveryCompletion() { main.handleDiscoveryCompletion(); }
    void tickScanEstimate() { main.timerCallback (MainComponent::scanProgressTimer); }
    bool scanEstimateRunning() { return main.isTimerRunning (MainComponent::scanProgressTimer); }
    void handleEvent (const ZorvUpdater::UpdaterEvent& event) { main.handleZorvUpdaterEvent (event); }
};
