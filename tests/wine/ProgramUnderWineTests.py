#!/usr/bin/python3
"""The built Windows program started under Wine as a user starts it: one instance, its
window painted with the program's icon, its log with the framework's header in the roaming
folder of the Wine user, a second start that simply ends, and the close button that ends
the process.
Usage: ProgramUnderWineTests.py ZorvUpdater.exe (inside scripts/in-wine, with DISPLAY)."""

import glob
import os
import shutil
import sys
import unittest

import wineprogram

GENEROUS = 60


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
        self.desktop.request_close(window)
        self.assertEqual(process.wait(GENEROUS), 0)

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
            self.desktop.request_close(window)
            self.assertEqual(process.wait(GENEROUS), 0)

        log = os.path.join(roaming, "Zorv", "ZorvUpdater", "ZorvUpdater.log")
        with open(log, encoding="utf-8") as file:
            text = file.read()
        self.assertIn("ZorvUpdater v7.48\nApp Dir: C:\\Prüfung Ö\\Ελληνικά\n", text)

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
