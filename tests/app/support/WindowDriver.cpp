#include "tests/app/support/WindowDriver.h"

namespace windowdriver
{
namespace
{
constexpr int sliceMs = 5;

template <typename WindowType>
WindowType* findOnDesktop (const std::function<bool (WindowType&)>& wanted)
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* window = dynamic_cast<WindowType*> (desktop.getComponent (i)))
            if (window->isVisible() && wanted (*window))
                return window;
    return nullptr;
}
}

bool runUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return condition();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (sliceMs);
    }
    return true;
}

void runFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// The click arrives through the message loop and reads the modifier keys then; they stay
// held until the button's listeners have heard of it.
void click (juce::Button& button, juce::ModifierKeys held)
{
    struct Heard final : juce::Button::Listener
    {
        void buttonClicked (juce::Button*) override { heard = true; }
        bool heard = false;
    };

    Heard listener;
    juce::Component::SafePointer<juce::Button> safe (&button);
    button.addListener (&listener);

    const auto previous = juce::ModifierKeys::currentModifiers;
    juce::ModifierKeys::currentModifiers = held;
    button.triggerClick();
    runUntil ([&listener] { return listener.heard; }, 10000);
    juce::ModifierKeys::currentModifiers = previous;

    if (safe != nullptr)
        safe->removeListener (&listener);
}

juce::Button* findButton (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            return button;
        if (auto* found = findButton (*child, text))
            return found;
    }
    return nullptr;
}

juce::AlertWindow* openMessageBox()
{
    return findOnDesktop<juce::AlertWindow> ([] (juce::AlertWindow& box) { return box.isCurrentlyModal(); });
}

bool answerMessageBox (const juce::String& buttonText, int timeoutMs)
{
    if (! runUntil ([] { return openMessageBox() != nullptr; }, timeoutMs))
        return false;
    auto* button = findButton (*openMessageBox(), buttonText);
    if (button == nullptr)
        return false;
    click (*button);
    return true;
}

bool escapeMessageBox()
{
    auto* box = openMessageBox();
    if (box == nullptr)
        return false;
    static_cast<juce::Component*> (box)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    return runUntil ([box] { return openMessageBox() != box; }, 10000);
}

bool closeMessageBox()
{
    auto* box = openMessageBox();
    if (box == nullptr || box->getPeer() == nullptr)
        return false;
    box->getPeer()->handleUserClosingWindow();
    return runUntil ([box] { return openMessageBox() != box; }, 10000);
}

// The framework keeps the text private; the box describes itself as "title. message".
juce::String messageOf (const juce::AlertWindow& box)
{
    return box.getDescription().fromFirstOccurrenceOf (box.getName() + ". ", false, false);
}

juce::DialogWindow* openDialog (const juce::String& title)
{
    return findOnDesktop<juce::DialogWindow> ([&title] (juce::DialogWindow& dialog) { return dialog.getName() == title; });
}

juce::DialogWindow* waitForDialog (const juce::String& title, int timeoutMs)
{
    runUntil ([&title] { return openDialog (title) != nullptr; }, timeoutMs);
    return openDialog (title);
}

ChangeWatch::ChangeWatch (std::vector<juce::Component*> watched, std::function<bool()> wanted)
    : condition (std::move (wanted))
{
    for (auto* component : watched)
    {
        components.emplace_back (component);
        component->addComponentListener (this);
    }
    check();
}

ChangeWatch::~ChangeWatch()
{
    for (auto& component : components)
        if (component != nullptr)
            component->removeComponentListener (this);
}
}
