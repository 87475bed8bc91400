#pragma once

#include "discovery/DiscoveryTypes.h"
#include "ui/CustomGroupComponentLookAndFeel.h"
#include "ui/CustomProgressBarLookAndFeel.h"
#include "ui/ImageButtonLookAndFeel.h"
#include "ui/LogLineOptions.h"
#include "ui/UITooltipWindowLookAndFeel.h"
#include "updater/DeviceCatalogue.h"
#include "updater/ZorvUpdater.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

class NetworkDiscovery;

// The whole client area of the main window and the owner of everything the running
// application holds: the settings, the update engine, the discovery, the device list, the
// controls and their look.
//
// Its members are released in reverse declaration order, which is not the order of their
// creation: the widgets first, then the engine (which joins its worker), then the discovery
// (created last, but joined after the engine), and the settings last, which write what is
// unsaved. Every closure that reaches the component later holds a safe pointer and first
// asks isAliveCapture.
class MainComponent final : public juce::Component,
                            public juce::MultiTimer,
                            public juce::ComboBox::Listener,
                            public juce::Button::Listener
{
public:
    using ImageButtonLookAndFeel = ::ImageButtonLookAndFeel;
    using CustomGroupComponentLookAndFeel = ::CustomGroupComponentLookAndFeel;
    using CustomProgressBarLookAndFeel = ::CustomProgressBarLookAndFeel;
    using UITooltipWindowLookAndFeel = ::UITooltipWindowLookAndFeel;

    // The device details of one record, line by line.
    struct DeviceInfo
    {
        juce::StringArray deviceInfoHeadings;
        juce::StringArray deviceInfoValues;
    };

    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    void timerCallback (int timerID) override;
    void comboBoxChanged (juce::ComboBox*) override;
    void buttonClicked (juce::Button*) override;

    // True while the pointer still refers to a MainComponent that is not closing.
    static bool isAliveCapture (const juce::Component::SafePointer<juce::Component>& component);

    // Writes the four manual scan addresses and their use flags at once.
    void saveManualScanIPs();

    // The log view: one line with its level's symbol, wrapped under its text; the same text,
    // without symbol, goes to the log file.
    void appendLog (const juce::String& text, const LogLineOptions& options);

    // The device list, the selected device and the control states.
    void refreshDeviceList();
    const DeviceRecord* getSelectedDevice() const;
    std::string getSelectedDeviceIP() const;
    void updateBoardList();
    void updateDeviceInfo();
    void refreshControlStates();
    void setControlsEnabled (bool enabled);
    static DeviceInfo formatDeviceInfo (const DeviceRecord& record);

private:
    friend struct MainComponentInspector;   // lets the tests reach the members

    void configureSettingsFile();
    void loadManualScanIPs();
    void detachLookAndFeels (juce::Component& component);

    void createControls();
    void createIconButtons();
    void createDeviceGroup();
    void createAdvancedGroup();
    void createLogAndProgressBars();
    void configureComboBox (juce::ComboBox& box, const juce::String& textWhenEmpty);

    void selectDeviceByIP (const juce::String& address);
    void replaceLastLogEntry();

    // Runs on the engine's worker thread: copies the event and posts it, touching nothing
    // of the component.
    static void onUpdaterEvent (const juce::Component::SafePointer<juce::Component>& component,
                                const ZorvUpdater::UpdaterEvent& event);
    void handleZorvUpdaterEvent (const ZorvUpdater::UpdaterEvent& event);

    static constexpr int scanProgressTimer = 2;

    std::unique_ptr<juce::ApplicationProperties> appProperties;
    std::shared_ptr<NetworkDiscovery> networkDiscovery;
    std::unique_ptr<ZorvUpdater> updater;
    UpdaterEventCallback updaterEventCallback;
    std::atomic<bool> closing { false };
    std::size_t deviceCount = 0;
    std::vector<DeviceRecord> devices;
    juce::Array<bool> manualScanFlags;
    juce::StringArray manualScanIPs;
    bool advancedUnlocked = false;
    double progressBar1Value = 0.0;
    double progressBar2Value = 0.0;
    float expectedScanSeconds = 0.0f;
    float elapsedScanSeconds = 0.0f;
    float scanProgressIncrement = 0.1f;
    bool discoveryDoneEarly = false;
    DeviceCatalogue deviceCatalogue;
    int rescanAfterOperation = 0;

    // Where the log view's last entry starts and how long it is, so that replacing it takes
    // every line its wrapping spread it over; -1 when the view's end is no entry of its own.
    int lastLogEntryStart = -1;
    int lastLogEntryLength = 0;

    std::unique_ptr<juce::GroupComponent> devGroupComp;
    std::unique_ptr<juce::GroupComponent> advGroupComp;
    std::unique_ptr<juce::ComboBox> comboBoxDev;
    std::unique_ptr<juce::ImageButton> btnScanDev;
    std::unique_ptr<juce::ImageButton> btnSetIP;
    std::unique_ptr<juce::ImageButton> btnRenameDev;
    std::unique_ptr<juce::ImageButton> btnIdDev;
    std::unique_ptr<juce::ImageButton> btnAutoUpdate;
    std::unique_ptr<juce::ImageButton> btnAdvanced;
    std::unique_ptr<juce::ImageButton> btnAbout;
    std::unique_ptr<juce::ComboBox> comboPanels;
    std::unique_ptr<juce::TextButton> btnGetVersions;
    std::unique_ptr<juce::TextButton> btnReset;
    std::unique_ptr<juce::TextButton> btnCheck;
    std::unique_ptr<juce::TextButton> btnUpdate;
    std::unique_ptr<juce::Label> labelInfoHeadings;
    std::unique_ptr<juce::Label> labelInfo;
    std::unique_ptr<juce::TextEditor> textDevLog;
    std::unique_ptr<juce::ProgressBar> progressBar1;
    std::unique_ptr<juce::ProgressBar> progressBar2;

    // 0 image buttons, 1 combo boxes, 2 group boxes, 3 progress bars, 4 tooltips, 5 log view.
    std::array<std::unique_ptr<juce::LookAndFeel>, 6> lookAndFeels;
    int textButtonHeight = 31;
    std::unique_ptr<juce::Font> labelFont;
    std::unique_ptr<juce::Font> logFont;
    std::unique_ptr<juce::Font> tooltipFont;
    std::shared_ptr<juce::TooltipWindow> tooltipWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
