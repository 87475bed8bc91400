// Renders the three dialogs as PNG files in the build folder (snapshots/), for a person to
// look at. Nothing compares them by pixels.

#include "tests/ui/DialogTestSupport.h"
#include "ui/AboutScreen.h"
#include "ui/NameScreen.h"
#include "ui/SetIP.h"

TEST_F (UiTest, DialogSnapshots)
{
    {
        NameScreen rename (0);
        rename.setCurrentName ("FOH Console");
        uitest::HeadlessDialog dialog (rename);
        rename.timerCallback (0);
        uitest::writeSnapshot (rename, "dialog-1-rename");
    }
    {
        NameScreen password (1);
        password.setCurrentName ("");
        uitest::HeadlessDialog dialog (password);
        password.timerCallback (0);
        dialog.type ("secret");
        password.checkAndAccept();
        uitest::writeSnapshot (password, "dialog-2-password-refused");
    }
    {
        SetIP setIP;
        setIP.loadAddresses ({ "10.10.251.7", "10.10.251.0", "192.168.1.20", "10.0.0.1" }, { true, true, false, true });
        uitest::HeadlessDialog dialog (setIP);
        uitest::childNamed<juce::TextEditor> (setIP, "textEditorIP1")->setText ("10.10.251.255");
        uitest::buttonLabelled (setIP, "OK")->triggerClick();
        // Long enough for the button's flash on the click to end.
        uitest::runMessages (500);
        uitest::writeSnapshot (setIP, "dialog-3-manual-addresses-invalid-row");
    }
    {
        AboutScreen about;
        uitest::writeSnapshot (about, "dialog-4-about");
    }
}
