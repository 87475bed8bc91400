// The gallery's dialogs: the three dialogs and the About screen as PNG files in the build
// folder (gallery/), for a person to look at. No test: nothing compares the pixels.

#include "tests/ui/DialogTestSupport.h"
#include "ui/AboutScreen.h"
#include "ui/NameScreen.h"
#include "ui/SetIP.h"

namespace
{
void writeSnapshot (juce::Component& component, const juce::String& name)
{
    const juce::File folder (ZORV_GALLERY_DIR);
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();

    const auto image = component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    juce::FileOutputStream out (file);
    ASSERT_TRUE (out.openedOk());
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
}
}

TEST_F (UiTest, Dialogs)
{
    {
        NameScreen rename (0);
        rename.setCurrentName ("FOH Console");
        uitest::HeadlessDialog dialog (rename);
        rename.timerCallback (0);
        writeSnapshot (rename, "dialog-1-rename");
    }
    {
        NameScreen password (1);
        password.setCurrentName ("");
        uitest::HeadlessDialog dialog (password);
        password.timerCallback (0);
        dialog.type ("secret");
        password.checkAndAccept();
        writeSnapshot (password, "dialog-2-password-refused");
    }
    {
        SetIP setIP;
        setIP.loadAddresses ({ "10.10.251.7", "10.10.251.0", "192.168.1.20", "10.0.0.1" }, { true, true, false, true });
        uitest::HeadlessDialog dialog (setIP);
        uitest::childNamed<juce::TextEditor> (setIP, "textEditorIP1")->setText ("10.10.251.255");
        uitest::buttonLabelled (setIP, "OK")->triggerClick();
        // Long enough for the button's flash on the click to end.
        uitest::runMessages (500);
        writeSnapshot (setIP, "dialog-3-manual-addresses-invalid-row");
    }
    {
        AboutScreen about;
        writeSnapshot (about, "dialog-4-about");
    }
}
