// The network scan as the window runs it: the start with its log lines, the progress
// estimate on timer 2 while the scan thread works, and the report 500 ms after both the
// scan and the estimate have ended.
//
//   idle --Scan--> scanning --estimate full--> waiting --scan ends--> report pending
//                     |                                                   ^
//                     +--scan ends--> finishing early --estimate full-----+
//   report pending --500 ms--> idle
//
// The estimate counts ticks, not elapsed time, so the bar moves only forward and is full
// when the report comes.

#include "ui/MainComponent.h"

#include "discovery/AddressText.h"
#include "discovery/LocalAddresses.h"
#include "discovery/NetworkDiscovery.h"
#include "ui/DeviceText.h"

namespace
{
constexpr int scanTickMs = 16;
constexpr float scanTickSeconds = 0.016f;
constexpr double fastFinishBelow = 0.85;
constexpr int reportDelayMs = 500;
constexpr int manualPasses = 4;
constexpr int automaticPasses = 2;

juce::String joined (const std::vector<std::string>& texts)
{
    juce::StringArray array;
    for (const auto& text : texts)
        array.add (juce::String (text));
    return array.joinIntoString (", ");
}
}

void MainComponent::runDiscovery()
{
    if (networkDiscovery == nullptr || ! networkDiscovery->isIdle())
        return;

    appendLog ("Scanning for Zorv Products...", { false, logLevel::info, true });

    const auto locals = getLocalIPv4Addresses();
    if (locals.empty())
    {
        appendLog ("No IPs assigned to this computer. Check network connection.", { false, logLevel::warning, false });
        return;
    }
    appendLog ("Found IPs assigned to this computer: " + joined (locals), { false, logLevel::info, false });

    const auto manualMode = manualScanFlags.contains (true);
    if (manualMode)
    {
        std::vector<std::string> usable;
        for (int i = 0; i < manualScanIPs.size() && i < manualScanFlags.size(); ++i)
            if (manualScanFlags[i] && isUsableHostAddress (manualScanIPs[i].toStdString()))
                usable.push_back (manualScanIPs[i].toStdString());

        if (usable.empty())
        {
            appendLog ("No valid manual IPs found. Check Set IP settings.", { false, logLevel::warning, false });
            return;
        }
        appendLog ("Manual IP Scan Enabled", { false, logLevel::info, false });
        appendLog ("Scanning IPs: " + joined (usable), { false, logLevel::info, false });
    }

    std::vector<bool> enabled;
    for (int i = 0; i < manualScanFlags.size(); ++i)
        enabled.push_back (manualScanFlags[i]);

    // The discovery was idle a moment ago on this thread, so a refusal means its scan thread
    // could not start; it has called the completion already, and the report tells of it.
    scanFailed = ! networkDiscovery->startDiscovery (manualMode, enabled, toStdStringVector (manualScanIPs),
                                                     manualMode ? manualPasses : automaticPasses,
                                                     [safe = SafeComponent (this)] { onDiscoveryComplete (safe); });
    startScanEstimate();
    btnScanDev->setButtonText ("Scanning");
    refreshControlStates();
}

void MainComponent::startScanEstimate()
{
    const auto passes = (float) networkDiscovery->getPasses();
    expectedScanSeconds = (passes - 1.0f) * (float) networkDiscovery->getPauseMs() / 1000.0f
                        + passes * (float) networkDiscovery->getTimeoutMs() / 1000.0f;
    progressBar1Value = 0.0;
    elapsedScanSeconds = 0.0f;
    resetProgressBarDisplay (*progressBar1, 0.0);
    progressBar1->setVisible (true);
    startTimer (scanProgressTimer, scanTickMs);
    scanProgressIncrement = scanTickSeconds;
}

void MainComponent::onDiscoveryComplete (const SafeComponent& component)
{
    juce::MessageManager::callAsync ([component]
    {
        if (isAliveCapture (component))
            static_cast<MainComponent*> (component.getComponent())->handleDiscoveryCompletion();
    });
}

void MainComponent::handleDiscoveryCompletion()
{
    if (progressBar1Value < 1.0)
    {
        discoveryDoneEarly = true;
        if (progressBar1Value < fastFinishBelow)
            scanProgressIncrement = (3.0f - (float) progressBar1Value) * scanProgressIncrement;
        return;
    }

    scheduleScanReport();
}

void MainComponent::timerCallback (int timerID)
{
    if (timerID != scanProgressTimer)
        return;

    elapsedScanSeconds += scanProgressIncrement;
    const auto progress = juce::jmin (1.0f, elapsedScanSeconds / expectedScanSeconds);
    progressBar1Value = progress;
    if (progress < 1.0f)
        return;

    stopTimer (scanProgressTimer);
    if (discoveryDoneEarly)
    {
        discoveryDoneEarly = false;
        scheduleScanReport();
    }
}

void MainComponent::scheduleScanReport()
{
    juce::Timer::callAfterDelay (reportDelayMs, [safe = SafeComponent (this)]
    {
        if (isAliveCapture (safe))
            static_cast<MainComponent*> (safe.getComponent())->reportScanResults();
    });
}

void MainComponent::reportScanResults()
{
    stopTimer (scanProgressTimer);
    progressBar1->setVisible (false);

    refreshDeviceList();
    updateBoardList();
    refreshControlStates();
    btnScanDev->setButtonText ("Scan");

    if (scanFailed)
    {
        scanFailed = false;
        appendLog ("Network scan failed: the scan could not be started", { true, logLevel::error, false });
        return;
    }

    appendLog ("Finished network scan", { true, logLevel::info, false });
    if (deviceCount == 0)
    {
        appendLog ("No Zorv Products found", { false, logLevel::info, false });
        appendLog ("If a device was recently powered on, please wait 90 seconds before scanning again", { false, logLevel::info, false });
        return;
    }

    appendLog ("Zorv Products found: " + juce::String ((juce::uint64) deviceCount), { false, logLevel::info, false });
    for (std::size_t n = 1; n <= deviceCount; ++n)
    {
        const auto& record = devices[n - 1];
        appendLog ("#" + juce::String ((juce::uint64) n) + ": Type: " + deviceTypeDisplayName (record.deviceType)
                       + " | IP: " + juce::String (ipv4BytesToText (record.ipv4Address)),
                   { false, logLevel::info, false });
    }
}
