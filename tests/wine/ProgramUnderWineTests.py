#!/usr/bin/python3
"""The built Windows program started under Wine as a user starts it: one instance, its
window painted with the program's icon, its log with the framework's header in the roaming
folder of the Wine user, a second start that simply ends, the close button that ends the
process, and a copy started from a folder whose name has letters beyond ASCII. Wine's
display gives no vertical blank: the window and a dialog still show what the user's clicks
and keys change, after the first paint.
Usage: ProgramUnderWineTests.py ZorvUpdater.exe (inside scripts/in-wine, with DISPLAY)."""

import glob
import os
import shutil
import sys
import time
import unittest

import wineprogram

GENEROUS = 60
# Long enough for a change to show, however loaded the machine; the program paints within
# a few frames.
SHOWS_WITHIN = 10

SCAN_BUTTON = (35, 36)
SET_IP_BUTTON = (101, 36)
SET_IP_TITLE = "Set Manual IP Addresses for Scanning"
SET_IP_SIZE = (395, 260)
ABOUT_BUTTON = (683, 36)
ABOUT_TITLE = "About"
ABOUT_SIZE = (845, 275)


class Area:
    """A rectangle of a window that shows text on a plain background."""

    def __init__(self, x, y, width, height, background):
        self.x, self.y, self.width, self.height, self.background = x, y, width, height, background

    def text_rows(self, desktop, window):
        """For each pixel row of the area that holds anything but the background: its
        offset from the area's top and the columns, from the area's left, of the first and
        the last other pixel. Nothing when the window cannot be read."""
        rows = []
        for offset, row in enumerate(desktop.pixels(window, self.x, self.y, self.width, self.height) or []):
            marked = [column for column, pixel in enumerate(row) if pixel != self.background]
            if marked:
                rows.append((offset, marked[0], marked[-1]))
        return rows

    def text_lines(self, desktop, window):
        """The lines of text the area shows, as runs of pixel rows with an empty row between
        them: for each its top row's offset and its leftmost and rightmost columns."""
        lines = []
        for offset, first, last in self.text_rows(desktop, window):
            if lines and offset == lines[-1][3] + 1:
                top, left, right, _ = lines[-1]
                lines[-1] = (top, min(left, first), max(right, last), offset)
            else:
                lines.append((offset, first, last, offset))
        return [line[:3] for line in lines]

    def text_right_edge(self, desktop, window):
        """The rightmost column that is not background, -1 for none."""
        return max((last for _, _, last in self.text_rows(desktop, window)), default=-1)


# Inside the log view's outline; a line of its text is 16 pixels high.
LOG_VIEW = Area(24, 280, 673, 349, 0x2A2A2A)
# The text of the Set IP dialog's first address editor, inside the outline it draws when
# focused.
FIRST_ADDRESS = Area(125, 30, 141, 23, 0x2A2A2A)
# The About screen's change log, inside its border, left of its scroll bar and above the
# screen's bottom edge, past which the view runs.
CHANGELOG_VIEW = Area(26, 46, 470, 225, 0x2A2A2A)


class ProgramUnderWine(unittest.TestCase):
    executable = None

    def setUp(self):
        if not wineprogram.inside_private_namespace():
            self.skipTest("the program starts only inside a private network namespace (scripts/in-wine)")
        self.roaming = wineprogram.roaming_folder()
        self.folder = os.path.join(self.roaming, "Zorv", "ZorvUpdater")
        shutil.rmtree(os.path.join(self.roaming, "Zorv"), ignore_errors=True)
        self.desktop = wineprogram.Desktop()
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.desktop.display.close()

    def start(self):
        process = wineprogram.start(self.executable)
        self.processes.append(process)
        return process

    def test_single_instance_that_paints_logs_and_closes(self):
        first = self.start()
        window = wineprogram.wait_until(self.desktop.painted_window, GENEROUS)
        self.assertIsNotNone(window, "the window shows its painted background")
        geometry = self.desktop.geometry(window)
        self.assertEqual((geometry.width, geometry.height), (720, 680))

        self.assertFalse(os.path.exists(os.path.join(self.folder, "ZorvUpdater.lock")),
                         "the framework's lock keeps to one instance: no file of the program's own")
        second = self.start()
        self.assertEqual(second.wait(GENEROUS), 0, "a second start simply ends")
        self.assertEqual(len(self.desktop.windows()), 1)
        self.assertIsNone(first.poll())

        self.desktop.request_close(window)
        self.assertEqual(first.wait(GENEROUS), 0, "the close button ends the program")

        with open(os.path.join(self.folder, "ZorvUpdater.log"), encoding="utf-8") as log:
            text = log.read()
        self.assertIn("*" * 58, text)
        self.assertEqual(text.count("ZorvUpdater v7.48\nApp Dir: Z:\\"), 1, "only the first start opened the log")
        self.assertIn("Log started: ", text)

    def test_title_bar_and_taskbar_show_the_programs_icon(self):
        process = self.start()
        window = wineprogram.wait_until(self.desktop.painted_window, GENEROUS)
        self.assertIsNotNone(window)
        self.assert_shows_programs_icon(window)

        # A window opened later has it too.
        about = self.open_dialog(window, ABOUT_BUTTON, ABOUT_TITLE, ABOUT_SIZE)
        self.assert_shows_programs_icon(about)

        self.close_dialog(about, ABOUT_TITLE)
        self.desktop.request_close(window)
        self.assertEqual(process.wait(GENEROUS), 0)

    def assert_shows_programs_icon(self, window):
        # Wine hands over the large icon and, when it can use it, the small one that the
        # title bar and the taskbar show.
        def with_small_icon():
            icons = self.desktop.icons(window)
            return icons if 16 in [width for width, height, pixels in icons] else None

        icons = wineprogram.wait_until(with_small_icon, 10)
        self.assertIsNotNone(icons, "the window has a small icon")
        # The program's icon is a filled square; the device's leaves two thirds of it clear.
        for width, height, pixels in icons:
            opaque = sum(1 for pixel in pixels if (pixel >> 24) & 0xFF > 128)
            self.assertGreater(opaque / (width * height), 0.6, "the %dx%d icon is the program's" % (width, height))

    def test_runs_from_folders_with_letters_beyond_ascii(self):
        drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
        folder = os.path.join(drive, "Prüfung Ö", "Ελληνικά")
        profile = os.path.join(drive, "Profiles", "Jörg Ω")
        self.addCleanup(shutil.rmtree, os.path.join(drive, "Prüfung Ö"), ignore_errors=True)
        self.addCleanup(shutil.rmtree, os.path.join(drive, "Profiles"), ignore_errors=True)
        os.makedirs(folder)
        os.makedirs(profile)
        built = os.path.dirname(self.executable)
        for name in ("ZorvUpdater.exe", "Changelog.txt"):
            shutil.copy(os.path.join(built, name), folder)
        roaming = os.path.join(profile, "AppData", "Roaming")

        with wineprogram.RoamingFolder(roaming, profile):
            process = wineprogram.start(os.path.join(folder, "ZorvUpdater.exe"))
            self.processes.append(process)
            window = wineprogram.wait_until(self.desktop.painted_window, GENEROUS)
            self.assertIsNotNone(window)

            # The About screen shows the change log that lies beside the executable.
            about = self.open_dialog(window, ABOUT_BUTTON, ABOUT_TITLE, ABOUT_SIZE)
            shown = wineprogram.wait_until(lambda: CHANGELOG_VIEW.text_lines(self.desktop, about), SHOWS_WITHIN)
            self.assertTrue(shown, "the About screen shows the change log")

            self.close_dialog(about, ABOUT_TITLE)
            self.desktop.request_close(window)
            self.assertEqual(process.wait(GENEROUS), 0)

        log = os.path.join(roaming, "Zorv", "ZorvUpdater", "ZorvUpdater.log")
        with open(log, encoding="utf-8") as file:
            text = file.read()
        self.assertIn("ZorvUpdater v7.48\nApp Dir: C:\\Prüfung Ö\\Ελληνικά\n", text)

    def painted_window(self):
        self.start()
        window = wineprogram.wait_until(self.desktop.painted_window, GENEROUS)
        self.assertIsNotNone(window, "the window shows its painted background")
        return window

    def test_a_scan_shows_its_log_lines_in_the_window(self):
        window = self.painted_window()
        self.assertEqual(LOG_VIEW.text_lines(self.desktop, window), [], "the log view starts empty")

        # Under Wine the host-name lookup finds no address but loopback: the scan starts, says
        # so on the first line, and stops at once with the warning on the second.
        self.desktop.click(window, *SCAN_BUTTON)
        wineprogram.wait_until(lambda: len(LOG_VIEW.text_lines(self.desktop, window)) == 2, SHOWS_WITHIN)
        lines = LOG_VIEW.text_lines(self.desktop, window)
        self.assertEqual(len(lines), 2, "two lines show after the click: %r" % lines)
        self.assertLess(lines[0][0], 16, "the first line is the view's top line")
        # The face is monospaced: "• Scanning for Zorv Products..." has 31 characters,
        # "∆ No IPs assigned to this computer. Check network connection." 62.
        widths = [right - left + 1 for _, left, right in lines]
        self.assertAlmostEqual(widths[0] / widths[1], 31 / 62, delta=0.05, msg="widths %r" % widths)

    def test_typed_text_shows_in_a_dialog(self):
        window = self.painted_window()
        dialog = self.open_dialog(window, SET_IP_BUTTON, SET_IP_TITLE, SET_IP_SIZE)
        # The first row shows the default address 10.10.251.1 before anything is typed.
        before = FIRST_ADDRESS.text_right_edge(self.desktop, dialog)
        self.assertGreater(before, 0, "the first address shows")

        # A click past the text's end puts the caret there; two digits make 10.10.251.199.
        self.desktop.click(dialog, FIRST_ADDRESS.x + FIRST_ADDRESS.width - 5, FIRST_ADDRESS.y + 13)
        self.desktop.type_text("99")
        # Two characters of the editor's font are wider than the caret drawn beside the text.
        grown = wineprogram.wait_until(lambda: FIRST_ADDRESS.text_right_edge(self.desktop, dialog) >= before + 12,
                                       SHOWS_WITHIN)
        self.assertTrue(grown, "the typed digits show after the address: right edge %r, was %r"
                        % (FIRST_ADDRESS.text_right_edge(self.desktop, dialog), before))

    def close_dialog(self, dialog, title):
        # The dialog is modal: until it has gone, the main window takes no close request.
        self.desktop.request_close(dialog)
        gone = wineprogram.wait_until(lambda: not self.desktop.windows(title), GENEROUS)
        self.assertTrue(gone, "the %s window closes" % title)

    def open_dialog(self, window, button, title, size):
        """Clicks the button and waits for its dialog. Under a loaded Wine a click that
        follows the window's first paint closely now and then opens nothing; the pointer then
        leaves the button, since the tip that shows where it rests would take the next click,
        and clicks again."""
        self.desktop.click(window, *button)
        if wineprogram.wait_until(lambda: self.fitted_dialog(title, size), SHOWS_WITHIN) is None:
            self.desktop.move_pointer(window, 5, 80)
            time.sleep(1)
            self.desktop.click(window, *button)
        return self.opened_dialog(title, size)

    def opened_dialog(self, title, size):
        dialog = wineprogram.wait_until(lambda: self.fitted_dialog(title, size), GENEROUS)
        if dialog is None:
            seen = [((geometry.width, geometry.height), self.desktop.pixel(window, 5, 5))
                    for window, geometry in ((window, self.desktop.geometry(window))
                                             for window in self.desktop.windows(title))]
            self.fail("the %s window opens at its own size, painted; windows of that title: %r" % (title, seen))
        return dialog

    def fitted_dialog(self, title, size):
        for dialog in self.desktop.windows(title):
            geometry = self.desktop.geometry(dialog)
            if (geometry.width, geometry.height) == size and self.desktop.pixel(dialog, 5, 5) == wineprogram.BACKGROUND:
                return dialog
        return None

    def test_settings_are_read_from_beside_the_log_and_nowhere_else(self):
        os.makedirs(self.folder)
        settings = os.path.join(self.folder, "ZorvUpdater.settings")
        kept = '<?xml version="1.0" encoding="UTF-8"?>\n<PROPERTIES>\n  <VALUE name="ManualScanIP_0" val="10.200.0.77"/>\n</PROPERTIES>\n'
        with open(settings, "w", encoding="utf-8") as file:
            file.write(kept)

        process = self.start()
        window = wineprogram.wait_until(self.desktop.painted_window, GENEROUS)
        self.assertIsNotNone(window)
        self.desktop.request_close(window)
        self.assertEqual(process.wait(GENEROUS), 0)

        with open(settings, encoding="utf-8") as file:
            self.assertEqual(file.read(), kept)
        drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
        elsewhere = [path for path in glob.glob(os.path.join(drive, "**", "*.settings"), recursive=True)
                     if os.path.dirname(path) != self.folder]
        self.assertEqual(elsewhere, [])
        self.assertTrue(os.path.exists(os.path.join(self.folder, "ZorvUpdater.log")))


if __name__ == "__main__":
    ProgramUnderWine.executable = sys.argv.pop(1)
    unittest.main(verbosity=2)
