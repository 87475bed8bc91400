#include "ui/MainComponent.h"

#include "discovery/NetworkDiscovery.h"
#include "logging/AppFolders.h"
#include "logging/AppLogger.h"
#include "ui/Platform.h"
#include "ui/Typefaces.h"
#include "ui/UIComboBoxWithLookAndFeel.h"

namespace
{
// The process has one tooltip window, however many holders ask for it.
std::shared_ptr<juce::TooltipWindow> sharedTooltipWindow (int delayMs)
{
    struct Holder
    {
        juce::SpinLock lock;
        std::weak_ptr<juce::TooltipWindow> window;
    };
    static Holder holder;

    const juce::SpinLock::ScopedLockType lock (holder.lock);
    if (auto window = holder.window.lock())
        return window;

    auto window = std::make_shared<juce::TooltipWindow> (nullptr, delayMs);
    holder.window = window;
    return window;
}

juce::Font fontOf (juce::Typeface::Ptr typeface, float height)
{
    juce::Font font (typeface);
    font.setHeight (height);
    return font;
}
}

MainComponent::MainComponent()
    : MainComponent (EngineSetup {})
{
}

MainComponent::MainComponent (EngineSetup engineSetup)
    : tooltipWindow (sharedTooltipWindow (tooltipDelayMs))
{
    setSize (720, 680);

    // Opens and trims the log file before anything else can write to it.
    AppLogger::instance();

    lookAndFeels[0] = std::make_unique<ImageButtonLookAndFeel>();
    lookAndFeels[1] = std::make_unique<UIComboBoxWithLookAndFeel>();
    lookAndFeels[2] = std::make_unique<CustomGroupComponentLookAndFeel>();
    lookAndFeels[3] = std::make_unique<CustomProgressBarLookAndFeel>();
    lookAndFeels[4] = std::make_unique<UITooltipWindowLookAndFeel>();
    lookAndFeels[5] = std::make_unique<juce::LookAndFeel_V4>();

    appProperties = std::make_unique<juce::ApplicationProperties>();
    configureSettingsFile();
    loadManualScanIPs();

    deviceCatalogue = buildDeviceCatalogue();
    if (engineSetup.baseDirectory.empty())
        engineSetup.baseDirectory = getExecutableDirectory();
    updater = std::make_unique<ZorvUpdater> (engineSetup.baseDirectory, engineSetup.timing);
    updaterEventCallback = [safe = SafeComponent (this)] (const ZorvUpdater::UpdaterEvent& event)
    {
        onUpdaterEvent (safe, event);
    };

    juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (robotoRegularTypeface());

    labelFont = std::make_unique<juce::Font> (fontOf (robotoRegularTypeface(), 17.0f));
    logFont = std::make_unique<juce::Font> (fontOf (robotoMonoRegularTypeface(), 16.0f));
    tooltipFont = std::make_unique<juce::Font> (fontOf (robotoRegularTypeface(), 14.0f));

    auto& tooltipLook = static_cast<UITooltipWindowLookAndFeel&> (*lookAndFeels[4]);
    tooltipLook.tipFont = *tooltipFont;
    tooltipWindow->setLookAndFeel (&tooltipLook);

    createControls();

    if (appProperties == nullptr)
        appendLog (platform::missingUserFolderWarning(), { false, logLevel::warning, false });

    networkDiscovery = std::make_shared<NetworkDiscovery>();

    refreshControlStates();
    updateDeviceInfo();
}

MainComponent::~MainComponent()
{
    closing.exchange (true);
    stopTimer (scanProgressTimer);
    detachLookAndFeels (*this);
}

void MainComponent::paintOverChildren (juce::Graphics&)
{
}

// The layout is fixed when the controls are made, and the window cannot be resized.
void MainComponent::resized()
{
}

bool MainComponent::isAliveCapture (const juce::Component::SafePointer<juce::Component>& component)
{
    const auto* main = dynamic_cast<const MainComponent*> (component.getComponent());
    return main != nullptr && ! main->closing.load();
}

void MainComponent::detachLookAndFeels (juce::Component& component)
{
    const auto* used = &component.getLookAndFeel();
    for (const auto& look : lookAndFeels)
    {
        if (look.get() == used)
        {
            component.setLookAndFeel (nullptr);
            break;
        }
    }

    for (auto* child : component.getChildren())
        detachLookAndFeels (*child);
}
