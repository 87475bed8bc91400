#pragma once

#include "discovery/DiscoveryTypes.h"
#include "ui/CustomGroupComponentLookAndFeel.h"
#include "ui/CustomProgressBarLookAndFeel.h"
#include "ui/ImageButtonLookAndFeel.h"
#include "ui/LogLineOptions.h"
#include "ui/ResettableProgressBar.h"
#include "ui/UITooltipWindowLookAndFeel.h"
#include "updater/DeviceCatalogue.h"
#include "updater/ZorvUpdater.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class NetworkDiscovery;
class SetIP;

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

    // What the engine is made with. The program uses the executable's folder and the
    // engine's own timing; tests hand in a folder of their own and shorter waits.
    struct EngineSetup
    {
        std::string baseDirectory;   // empty: the executable's folder
        UpdaterTiming timing;
    };

    MainComponent();
    explicit MainComponent (EngineSetup engineSetup);
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

    // The scan, started by the Scan button: its progress estimate and its report.
    void runDiscovery();
    void handleDiscoveryCompletion();
    void reportScanResults();

    // The buttons: a scan, a dialog, a device command or an engine operation.
    void performZorvUpdaterOperation (ZorvUpdater::UpdaterOperation operation);

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

    using SafeComponent = juce::Component::SafePointer<juce::Component>;

    // The scan. onDiscoveryComplete runs on the scan thread and only posts.
    static void onDiscoveryComplete (const SafeComponent& component);
    void startScanEstimate();
    void scheduleScanReport();

    // The buttons and what they open.
    void identifySelectedDevice();
    void toggleAdvancedOptions();
    void openRenameDialog();
    void openSetIPDialog();
    void openPasswordDialog();
    void openAboutDialog();
    juce::DialogWindow* launchDialog (const juce::String& title, juce::Component* content);
    void attachDialogCallback (juce::DialogWindow* window, std::function<void (MainComponent&)> onAccepted);

    // Called only for a dialog that ended with OK while the component is alive.
    void onRenameDialogClosed (const juce::String& newName, int32_t deviceType, const juce::String& currentName,
                               const std::string& address);
    void onSetIPDialogClosed (const SetIP& dialog);
    void onPasswordDialogClosed();
    void showBootModeControlBox (const DeviceRecord& record, uint8_t board);
    void onBootModeChoice (int index, const DeviceRecord& record, uint8_t board);

    // While a message box is open no tooltip shows before the box is answered.
    void holdTooltipsBack();
    void releaseTooltips();

    // The engine's events. onUpdaterEvent runs on the engine's worker thread: it copies the
    // event and posts it, touching nothing of the component.
    static void onUpdaterEvent (const SafeComponent& component, const ZorvUpdater::UpdaterEvent& event);
    void handleZorvUpdaterEvent (const ZorvUpdater::UpdaterEvent& event);
    void showProgressBarState (const ZorvUpdater::UpdaterEvent& event);
    void showEngineMessageBox (const ZorvUpdater::UpdaterEvent& event);
    void deliverMessageBoxAnswer (int index, const ZorvUpdater::UpdaterEvent& event, const std::vector<int>& answerCodes);
    void reprobeAfterOperation (bool success);
    static void resetProgressBarDisplay (ResettableProgressBar& bar, double value);

    static constexpr int scanProgressTimer = 2;
    static constexpr int tooltipDelayMs = 700;

    // Empty when there is no folder for the settings file: the addresses then last one run.
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
    // The scan's thread could not be started: its report says so instead of listing devices.
    bool scanFailed = false;
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
    std::unique_ptr<ResettableProgressBar> progressBar1;
    std::unique_ptr<ResettableProgressBar> progressBar2;

    // 0 image buttons, 1 combo boxes, 2 group boxes, 3 progress bars, 4 tooltips, 5 log view.
    std::array<std::unique_ptr<juce::LookAndFeel>, 6> lookAndFeels;
    int textButtonHeight = 31;
    std::unique_ptr<juce::Font> labelFont;
    std::unique_ptr<juce::Font> logFont;
    std::unique_ptr<juce::Font> tooltipFont;
    std::shared_ptr<juce::TooltipWindow> tooltipWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
