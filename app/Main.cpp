// The program's entry point: the framework's main function, WinMain on Windows and main
// elsewhere, which brings the framework up, makes the application through its factory,
// runs the message loop and takes everything down again.

#include "app/ZorvRemoteAppApplication.h"

juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication()
{
    return createZorvRemoteAppApplication();
}

JUCE_MAIN_FUNCTION_DEFINITION
