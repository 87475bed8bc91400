// Draws the seven toolbar icons into 48 x 48 RGBA PNG files, and with a second folder the
// executable's two icons (the program's and its device's) at every size Windows asks for,
// as <name>-<size>.png. Run once by hand when the artwork changes; the toolbar PNG files
// are committed under resources/icons/, the executable's icons as .ico files under app/:
//     draw_icons resources/icons /tmp/icons
//     cd /tmp/icons && icotool -c -o ZorvUpdater.ico Application-{16,24,32,48,64,128}.png -r Application-256.png
//     cd /tmp/icons && icotool -c -o ZorvDevice.ico Device-{16,24,32,48,64,128}.png -r Device-256.png
// then copy both .ico files to app/ (-r keeps the 256 px image as PNG, as Windows expects).

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <iostream>

namespace
{
const juce::Colour ink (0xffe8e8e8);
const juce::Colour accent (0xff5aa0e6);

// Round joins and caps everywhere: the icons are drawn at 39 x 39 and hard corners alias.
juce::PathStrokeType stroke (float width)
{
    return { width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
}

void drawScan (juce::Graphics& g)
{
    g.setColour (ink);
    g.drawEllipse (6.0f, 6.0f, 26.0f, 26.0f, 4.0f);

    juce::Path handle;
    handle.startNewSubPath (29.5f, 29.5f);
    handle.lineTo (41.0f, 41.0f);
    g.strokePath (handle, stroke (6.5f));

    g.setColour (accent);
    for (const auto x : { 12.0f, 17.5f, 23.0f })
        g.fillEllipse (x, 16.75f, 4.5f, 4.5f);
}

void drawSetIP (juce::Graphics& g)
{
    g.setColour (ink);
    g.drawRoundedRectangle (4.0f, 9.0f, 40.0f, 30.0f, 6.0f, 3.0f);

    g.fillRoundedRectangle (13.0f, 16.0f, 4.0f, 16.0f, 1.0f);

    juce::Path p;
    p.startNewSubPath (24.0f, 32.0f);
    p.lineTo (24.0f, 18.0f);
    p.lineTo (29.0f, 18.0f);
    p.addCentredArc (29.0f, 22.5f, 4.5f, 4.5f, 0.0f, 0.0f, juce::MathConstants<float>::pi);
    p.lineTo (24.0f, 27.0f);
    g.strokePath (p, stroke (3.5f));
}

void drawRename (juce::Graphics& g)
{
    g.setColour (ink);
    juce::Path baseline;
    baseline.startNewSubPath (6.0f, 42.0f);
    baseline.lineTo (42.0f, 42.0f);
    g.strokePath (baseline, stroke (3.0f));

    juce::Path pencil;
    pencil.addRoundedRectangle (-4.5f, -24.0f, 9.0f, 30.0f, 1.5f);
    juce::Path tip;
    tip.addTriangle (-4.5f, 8.0f, 4.5f, 8.0f, 0.0f, 16.0f);

    const auto place = juce::AffineTransform::rotation (juce::degreesToRadians (45.0f)).translated (26.0f, 22.0f);
    g.fillPath (pencil, place);
    g.setColour (accent);
    g.fillPath (tip, place);
}

void drawIdentify (juce::Graphics& g)
{
    const auto pi = juce::MathConstants<float>::pi;
    const juce::Point<float> centre (24.0f, 20.0f);

    juce::Path bulb;
    bulb.addCentredArc (centre.x, centre.y, 10.0f, 10.0f, 0.0f, 1.2f * pi, 2.8f * pi, true);
    bulb.lineTo (28.0f, 34.0f);
    bulb.lineTo (20.0f, 34.0f);
    bulb.closeSubPath();
    g.setColour (ink);
    g.strokePath (bulb, stroke (3.0f));
    g.fillRoundedRectangle (20.0f, 37.0f, 8.0f, 3.5f, 1.5f);

    g.setColour (accent);
    for (const auto angle : { 0.0f, 0.25f, -0.25f, 0.5f, -0.5f })
    {
        juce::Path ray;
        ray.startNewSubPath (centre.getPointOnCircumference (14.5f, angle * pi));
        ray.lineTo (centre.getPointOnCircumference (19.0f, angle * pi));
        g.strokePath (ray, stroke (3.0f));
    }
}

void drawAbout (juce::Graphics& g)
{
    g.setColour (ink);
    g.drawEllipse (5.0f, 5.0f, 38.0f, 38.0f, 3.5f);
    g.fillEllipse (21.0f, 12.0f, 6.0f, 6.0f);
    g.fillRoundedRectangle (21.5f, 21.0f, 5.0f, 15.0f, 1.5f);
}

void drawAdvanced (juce::Graphics& g)
{
    const juce::Point<float> centre (24.0f, 24.0f);
    juce::Path gear;
    gear.addEllipse (10.0f, 10.0f, 28.0f, 28.0f);
    for (int i = 0; i < 8; ++i)
    {
        juce::Path tooth;
        tooth.addRoundedRectangle (-4.0f, -19.5f, 8.0f, 10.0f, 1.5f);
        gear.addPath (tooth, juce::AffineTransform::rotation ((float) i * juce::MathConstants<float>::pi / 4.0f)
                                 .translated (centre));
    }

    juce::Path outsideHole;
    outsideHole.addRectangle (0.0f, 0.0f, 48.0f, 48.0f);
    outsideHole.addEllipse (17.0f, 17.0f, 14.0f, 14.0f);
    outsideHole.setUsingNonZeroWinding (false);

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (outsideHole);
    g.setColour (ink);
    g.fillPath (gear);
}

void drawArrowHead (juce::Graphics& g, juce::Point<float> tip, float direction)
{
    juce::Path head;
    head.addTriangle (0.0f, -6.5f, 7.0f, 0.0f, 0.0f, 6.5f);
    g.fillPath (head, juce::AffineTransform::rotation (direction).translated (tip));
}

void drawAutoUpdate (juce::Graphics& g)
{
    const auto pi = juce::MathConstants<float>::pi;
    g.setColour (ink);
    for (const auto start : { 0.15f * pi, 1.15f * pi })
    {
        juce::Path arc;
        arc.addCentredArc (24.0f, 24.0f, 16.0f, 16.0f, 0.0f, start, start + 0.7f * pi, true);
        g.strokePath (arc, stroke (4.0f));
        const auto end = start + 0.7f * pi;
        drawArrowHead (g, juce::Point<float> (24.0f, 24.0f).getPointOnCircumference (16.0f, end), end);
    }

    g.setColour (accent);
    juce::Path down;
    down.startNewSubPath (24.0f, 16.0f);
    down.lineTo (24.0f, 30.0f);
    down.startNewSubPath (19.0f, 25.5f);
    down.lineTo (24.0f, 30.5f);
    down.lineTo (29.0f, 25.5f);
    g.strokePath (down, stroke (3.5f));
}

// The executable's icons are drawn on a 256 x 256 grid and scaled to each size.
void drawDeviceFront (juce::Graphics& g)
{
    g.setColour (ink);
    g.fillRoundedRectangle (28.0f, 92.0f, 200.0f, 120.0f, 18.0f);
    g.setColour (juce::Colour (0xff2b2b2b));
    for (const auto x : { 52.0f, 92.0f, 132.0f })
        g.fillRoundedRectangle (x, 116.0f, 28.0f, 72.0f, 6.0f);
    g.setColour (accent);
    g.fillEllipse (180.0f, 140.0f, 24.0f, 24.0f);
}

void drawApplication (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff353535));
    g.fillRoundedRectangle (8.0f, 8.0f, 240.0f, 240.0f, 40.0f);
    drawDeviceFront (g);

    juce::Path arrow;
    arrow.startNewSubPath (128.0f, 80.0f);
    arrow.lineTo (128.0f, 20.0f);
    arrow.startNewSubPath (96.0f, 50.0f);
    arrow.lineTo (128.0f, 20.0f);
    arrow.lineTo (160.0f, 50.0f);
    g.setColour (accent);
    g.strokePath (arrow, stroke (20.0f));
}

void drawDevice (juce::Graphics& g)
{
    drawDeviceFront (g);
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}

bool writeIcon (const juce::File& folder, const char* name, const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, 48, 48, true);
    {
        juce::Graphics g (image);
        draw (g);
    }
    return writePng (image, folder.getChildFile (juce::String (name) + ".png"));
}

bool writeApplicationIcon (const juce::File& folder, const char* name, void (*draw) (juce::Graphics&))
{
    for (const auto size : { 16, 24, 32, 48, 64, 128, 256 })
    {
        juce::Image image (juce::Image::ARGB, size, size, true);
        {
            juce::Graphics g (image);
            g.addTransform (juce::AffineTransform::scale ((float) size / 256.0f));
            draw (g);
        }
        if (! writePng (image, folder.getChildFile (juce::String (name) + "-" + juce::String (size) + ".png")))
            return false;
    }
    return true;
}
}

int main (int argc, char* argv[])
{
    if (argc != 2 && argc != 3)
    {
        std::cerr << "usage: draw_icons <output folder> [<application icon folder>]\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI framework;
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    folder.createDirectory();

    const std::pair<const char*, void (*) (juce::Graphics&)> icons[] = {
        { "ScanDevices", drawScan }, { "SetIP", drawSetIP }, { "Rename", drawRename },
        { "Identify", drawIdentify }, { "About", drawAbout }, { "Advanced", drawAdvanced },
        { "AutoUpdate", drawAutoUpdate } };

    for (const auto& [name, draw] : icons)
    {
        if (! writeIcon (folder, name, draw))
        {
            std::cerr << "cannot write " << name << ".png\n";
            return 1;
        }
    }

    if (argc == 3)
    {
        const juce::File appFolder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
        appFolder.createDirectory();
        const std::pair<const char*, void (*) (juce::Graphics&)> appIcons[] = {
            { "Application", drawApplication }, { "Device", drawDevice } };
        for (const auto& [name, draw] : appIcons)
        {
            if (! writeApplicationIcon (appFolder, name, draw))
            {
                std::cerr << "cannot write the " << name << " icon\n";
                return 1;
            }
        }
    }
    return 0;
}
