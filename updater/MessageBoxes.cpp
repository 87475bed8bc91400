#include "updater/ZorvUpdater.h"

// A question goes out as an event that carries a pointer to its answer slot; the window
// stores the answer there later, on its own thread, and the worker polls it. The window
// may still store into a slot after the procedure that asked has gone (its callback threw
// after the box was on its way), so a slot belongs to the engine, not to the asking frame,
// and is reused only once its answer has been read.

int ZorvUpdater::askAndWait (const UpdaterEventCallback& callback, int icon, const std::string& text,
                             const std::string& title, int buttons, int answerWithoutReceiver)
{
    if (! callback)
        return answerWithoutReceiver;

    auto& slot = freeAnswerSlot();
    sendMessageBox (callback, icon, text, title, buttons, &slot.value);

    int answer = 0;
    while ((answer = slot.value.load()) == 0 && ! cancel)
        preciseSleep (timing.answerPollMs);

    if (answer != 0)
        slot.inUse = false;
    return answer;
}

ZorvUpdater::AnswerSlot& ZorvUpdater::freeAnswerSlot()
{
    for (auto& slot : answerSlots)
    {
        if (! slot->inUse)
        {
            slot->value = 0;
            slot->inUse = true;
            return *slot;
        }
    }

    answerSlots.push_back (std::make_unique<AnswerSlot>());
    answerSlots.back()->inUse = true;
    return *answerSlots.back();
}
