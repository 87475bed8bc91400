// The main window and the application object in this process, on a real X display.

#include "app/ZorvRemoteAppApplication.h"
#include "tests/app/AppTestSupport.h"
#include "ui/MainComponent.h"

#include <unistd.h>

namespace
{
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZORV_REQUIRE_DISPLAY();
        probe = std::make_unique<apptest::XDisplayProbe>();
        ASSERT_TRUE (probe->connected());
        framework = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    }

    void TearDown() override
    {
        window.reset();
        framework.reset();
    }

    static void runMessages (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    static ZorvRemoteAppApplication::MainWindow* findMainWindow()
    {
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* found = dynamic_cast<ZorvRemoteAppApplication::MainWindow*> (desktop.getComponent (i)))
                return found;
        return nullptr;
    }

    testfolders::TemporaryHome home;
    std::unique_ptr<apptest::XDisplayProbe> probe;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> framework;
    std::unique_ptr<ZorvRemoteAppApplication::MainWindow> window;
};
}

TEST_F (MainWindowTest, FixedSizeCentredWindowWithMinimiseAndClose)
{
    window = std::make_unique<ZorvRemoteAppApplication::MainWindow> ("ZorvUpdater");

    EXPECT_EQ (window->getName(), apptest::windowTitle) << "two blanks before the bracket";
    EXPECT_TRUE (window->isUsingNativeTitleBar());
    EXPECT_FALSE (window->isResizable());
    EXPECT_TRUE (window->isOnDesktop());
    EXPECT_TRUE (window->isVisible());

    const auto flags = window->getDesktopWindowStyleFlags();
    EXPECT_NE (flags & juce::ComponentPeer::windowHasMinimiseButton, 0);
    EXPECT_NE (flags & juce::ComponentPeer::windowHasCloseButton, 0);
    EXPECT_EQ (flags & juce::ComponentPeer::windowHasMaximiseButton, 0);
    EXPECT_EQ (flags & juce::ComponentPeer::windowIsResizable, 0);

    auto* content = dynamic_cast<MainComponent*> (window->getContentComponent());
    ASSERT_NE (content, nullptr);
    EXPECT_EQ (content->getBounds().withZeroOrigin(), juce::Rectangle<int> (720, 680));
    EXPECT_EQ (window->getWidth(), 720);
    EXPECT_EQ (window->getHeight(), 680);

    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    ASSERT_NE (display, nullptr);
    const auto offset = window->getScreenBounds().getCentre() - display->userArea.getCentre();
    EXPECT_LE (std::abs (offset.x), 1);
    EXPECT_LE (std::abs (offset.y), 1);

    EXPECT_TRUE (apptest::waitUntil ([this] { runMessages (10);
                                         return probe->windowsOf (getpid(), apptest::windowTitle).size() == 1; },
                                     std::chrono::seconds (10)))
        << "the window system shows the title";
}

TEST_F (MainWindowTest, ApplicationOpensTheWindowAndQuitsFromItsCloseButton)
{
    ZorvRemoteAppApplication app;
    EXPECT_EQ (app.getApplicationName(), "ZorvUpdater");
    EXPECT_EQ (app.getApplicationVersion(), "7.48");
    // The framework's check, one for all users, stays off: the application keeps to one
    // instance per user itself (the process tests show it).
    EXPECT_TRUE (app.moreThanOneInstanceAllowed());

    app.initialise ("--scan 10.0.0.1");
    auto* opened = findMainWindow();
    ASSERT_NE (opened, nullptr);
    EXPECT_EQ (opened->getName(), apptest::windowTitle) << "the command line changes nothing";

    app.anotherInstanceStarted ("--other");
    EXPECT_EQ (findMainWindow(), opened);

    opened->closeButtonPressed();
    runMessages (200);
    EXPECT_TRUE (juce::MessageManager::getInstance()->hasStopMessageBeenSent()) << "the close button quits";

    app.shutdown();
    EXPECT_EQ (findMainWindow(), nullptr);
}
