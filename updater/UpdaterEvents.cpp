#include "updater/ZorvUpdater.h"

void ZorvUpdater::sendEvent (const UpdaterEventCallback& callback, const UpdaterEvent& event)
{
    if (callback)
        callback (event);
}

void ZorvUpdater::sendClearLog (const UpdaterEventCallback& callback)
{
    UpdaterEvent event;
    event.type = ClearLog;
    sendEvent (callback, event);
}

void ZorvUpdater::sendNewLogSection (const UpdaterEventCallback& callback)
{
    UpdaterEvent event;
    event.type = NewLogSection;
    sendEvent (callback, event);
}

void ZorvUpdater::sendLogLine (const UpdaterEventCallback& callback, int level, const std::string& text, bool replaceLastLine)
{
    UpdaterEvent event;
    event.type = LogLine;
    event.level = level;
    event.text = text;
    event.replaceLastLine = replaceLastLine;
    sendEvent (callback, event);
}

void ZorvUpdater::sendProgressBarState (const UpdaterEventCallback& callback, bool visible, bool resetProgress, bool highlight)
{
    UpdaterEvent event;
    event.type = ProgressBarState;
    event.visible = visible;
    event.resetProgress = resetProgress;
    event.highlight = highlight;
    sendEvent (callback, event);
}

void ZorvUpdater::showProgressBar (const UpdaterEventCallback& callback, bool show)
{
    sendProgressBarState (callback, show, show, false);
}

void ZorvUpdater::sendProgress (const UpdaterEventCallback& callback, float progress)
{
    UpdaterEvent event;
    event.type = Progress;
    event.progress = progress;
    sendEvent (callback, event);
}

void ZorvUpdater::sendSecondProgressBarState (const UpdaterEventCallback& callback, bool show)
{
    UpdaterEvent event;
    event.type = SecondProgressBarState;
    event.visible = show;
    event.resetProgress = show;
    sendEvent (callback, event);
}

void ZorvUpdater::sendControlsEnabled (const UpdaterEventCallback& callback, bool enabled)
{
    UpdaterEvent event;
    event.type = ControlsEnabled;
    event.enabled = enabled;
    sendEvent (callback, event);
}

void ZorvUpdater::sendMessageBox (const UpdaterEventCallback& callback, int icon, const std::string& text,
                                  const std::string& title, int buttons, std::atomic<int>* answer)
{
    UpdaterEvent event;
    event.type = MessageBox;
    event.icon = icon;
    event.text = text;
    event.title = title;
    event.buttons = buttons;
    event.answer = answer;
    sendEvent (callback, event);
}

void ZorvUpdater::sendOperationFinished (const UpdaterEventCallback& callback, bool success, const std::string& text)
{
    UpdaterEvent event;
    event.type = OperationFinished;
    event.success = success;
    event.text = text;
    sendEvent (callback, event);
}

void ZorvUpdater::failOperation (const UpdaterEventCallback& callback, const std::exception& e, const std::string& failureText)
{
    sendLogLine (callback, logLevel::error, std::string ("Error: ") + e.what(), false);
    sendProgressBarState (callback, false, false, false);
    sendProgressBarState (callback, false, false, true);
    sendSecondProgressBarState (callback, false);
    sendControlsEnabled (callback, true);
    sendOperationFinished (callback, false, failureText);
}

std::string formatDuration (int64_t ms)
{
    const int64_t s = ms / 1000;
    const int64_t hours = s / 3600;
    const int64_t minutes = (s / 60) % 60;
    const int64_t seconds = s % 60;

    if (hours > 0)
        return " [" + std::to_string (hours) + " hrs, " + std::to_string (minutes) + " mins, "
             + std::to_string (seconds) + " secs]";
    if (minutes > 0)
        return " [" + std::to_string (minutes) + " mins, " + std::to_string (seconds) + " secs]";
    if (seconds > 0)
        return " [" + std::to_string (seconds) + " secs]";
    return {};
}

int updateResultLogLevel (int result)
{
    switch (result)
    {
        case UpdateSuccessful:
        case UpToDate:
            return logLevel::success;
        case UpdatePending:
            return logLevel::warning;
        default:
            return logLevel::error;
    }
}

const char* updateResultText (int result)
{
    switch (result)
    {
        case UpdateFailed:          return "Update FAILED! ";
        case UpdateSuccessful:      return "Update Successful! ";
        case StillInBootMode:       return "Update FAILED! Device still in Boot mode! ";
        case ConnectionProblem:     return "There was a problem connecting to the device! ";
        case DeviceNotFound:        return "Device not found! ";
        case UpdatePending:         return "Device update did not finish - still pending... ";
        case FirmwareFileMissing:   return "Update firmware file missing! ";
        case UpToDate:              return "No update required - device is up to date! ";
        default:                    return "";
    }
}
