#pragma once

// Dialog contents inside a real dialog window that is "on the desktop" without a display:
// its peer draws nothing and talks to no window system, yet makes the window count as
// showing, so that keyboard focus, key presses and the modal state behave as on screen.

#include "tests/ui/UiTestSupport.h"

#include <memory>
#include <optional>

namespace uitest
{
// Paints into an image of its own after every repaint request, as a window on screen would:
// some widgets finish what they show only once painted (a clicked button releases).
class HeadlessPeer final : public juce::ComponentPeer,
                           private juce::AsyncUpdater
{
public:
    HeadlessPeer (juce::Component& owner, int styleFlags) : juce::ComponentPeer (owner, styleFlags) {}
    ~HeadlessPeer() override { cancelPendingUpdate(); }

    void* getNativeHandle() const override { return nullptr; }
    void setVisible (bool) override {}
    void setTitle (const juce::String&) override {}
    void setBounds (const juce::Rectangle<int>& newBounds, bool) override { bounds = newBounds; }
    juce::Rectangle<int> getBounds() const override { return bounds; }
    juce::Point<float> localToGlobal (juce::Point<float> p) override { return p + bounds.getPosition().toFloat(); }
    juce::Point<float> globalToLocal (juce::Point<float> p) override { return p - bounds.getPosition().toFloat(); }
    void setMinimised (bool) override {}
    bool isMinimised() const override { return false; }
    void setFullScreen (bool) override {}
    bool isFullScreen() const override { return false; }
    void setIcon (const juce::Image&) override {}
    bool contains (juce::Point<int> p, bool) const override { return bounds.withZeroOrigin().contains (p); }
    OptionalBorderSize getFrameSizeIfPresent() const override { return {}; }
    juce::BorderSize<int> getFrameSize() const override { return {}; }
    bool setAlwaysOnTop (bool) override { return false; }
    void toFront (bool takeFocus) override { focused = focused || takeFocus; }
    void toBehind (juce::ComponentPeer*) override {}
    bool isFocused() const override { return focused; }
    void grabFocus() override { focused = true; }
    void textInputRequired (juce::Point<int>, juce::TextInputTarget&) override {}
    void repaint (const juce::Rectangle<int>&) override { triggerAsyncUpdate(); }
    void performAnyPendingRepaintsNow() override { handleUpdateNowIfNeeded(); }
    void setAlpha (float) override {}
    juce::StringArray getAvailableRenderingEngines() override { return { "Software Renderer" }; }

private:
    void handleAsyncUpdate() override
    {
        if (bounds.isEmpty())
            return;
        juce::Image image (juce::Image::ARGB, bounds.getWidth(), bounds.getHeight(), true);
        juce::LowLevelGraphicsSoftwareRenderer context (image);
        handlePaint (context);
    }

    juce::Rectangle<int> bounds;
    bool focused = false;
};

// The dialog window as the main window launches it (Escape closes it, native title bar,
// not resizable), modal from construction, with the content it is given. The result the
// content ends it with arrives through the message loop, as in the application.
class HeadlessDialog final : public juce::DialogWindow
{
public:
    HeadlessDialog (juce::Component& content)
        : juce::DialogWindow ("dialog", juce::Colour (0xffd3d3d3), true, false)
    {
        setDropShadowEnabled (false);
        setUsingNativeTitleBar (true);
        setResizable (false, false);
        setContentNonOwned (&content, true);
        addToDesktop();
        setVisible (true);
        enterModalState (false, juce::ModalCallbackFunction::create ([modalResult = result] (int value)
                                                                      { *modalResult = value; }));
    }

    ~HeadlessDialog() override { clearContentComponent(); }

    void closeButtonPressed() override { setVisible (false); }

    juce::ComponentPeer* createNewPeer (int styleFlags, void*) override { return new HeadlessPeer (*this, styleFlags); }

    // The modal result once the dialog has ended, after running the message loop for up to
    // the given time; nothing while it is still open.
    std::optional<int> waitForResult (int milliseconds = 5000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
        while (! result->has_value() && juce::Time::getMillisecondCounter() < end)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        return *result;
    }

    // A key pressed on the keyboard: it goes to the focused component, else to the window.
    bool press (const juce::KeyPress& key) { return getPeer()->handleKeyPress (key); }

    void type (const juce::String& text)
    {
        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            press (juce::KeyPress ((int) c, {}, c));
        }
    }

private:
    // Shared with the callback, which the modal manager may run after the window is gone.
    std::shared_ptr<std::optional<int>> result = std::make_shared<std::optional<int>>();
};

inline void runMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

template <typename ComponentType>
ComponentType* childNamed (juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (child->getName() == name)
            if (auto* typed = dynamic_cast<ComponentType*> (child))
                return typed;
    return nullptr;
}

inline juce::Button* buttonLabelled (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child))
            if (button->getButtonText() == text)
                return button;
    return nullptr;
}
}
