// The log view: one entry per line with its level's symbol, wrapped under its text; the
// same text, plain, goes to the log file.

#include "ui/MainComponent.h"

#include "logging/AppLogger.h"
#include "ui/TextFitting.h"

void MainComponent::appendLog (const juce::String& text, const LogLineOptions& options)
{
    textDevLog->moveCaretToEnd();

    if (options.clearFirst)
    {
        textDevLog->clear();
        lastLogEntryStart = -1;
    }

    if (options.replaceLastLine)
        replaceLastLogEntry();

    const auto symbol = logLevelSymbol (options.level);
    if (! options.clearFirst && ! textDevLog->isEmpty())
        textDevLog->insertTextAtCaret ("\n");

    const auto start = textDevLog->getTotalNumChars();
    textDevLog->insertTextAtCaret (fitTextToComponent (textDevLog.get(), text, true, symbol));
    lastLogEntryStart = start;
    lastLogEntryLength = textDevLog->getTotalNumChars() - start;

    AppLogger::instance().log (text);
}

// Takes away the view's last entry and the line break in front of it. An entry this view
// wrote is taken whole, however many lines its wrapping gave it; otherwise the view's last
// line goes.
void MainComponent::replaceLastLogEntry()
{
    const auto all = textDevLog->getText();
    const auto ownEntryAtEnd = lastLogEntryStart >= 0 && all.length() == lastLogEntryStart + lastLogEntryLength;
    const auto keep = ownEntryAtEnd ? lastLogEntryStart - 1 : all.lastIndexOf ("\n");

    if (keep > 0)
        textDevLog->setText (all.substring (0, keep), false);
    else if (all.isNotEmpty())
        textDevLog->clear();

    lastLogEntryStart = -1;
    textDevLog->moveCaretToEnd();
}
