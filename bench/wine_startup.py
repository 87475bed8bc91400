#!/usr/bin/python3
"""The Windows program's start to its first painted window under Wine on an X display,
beside the same for an empty framework window of the same size and background, five runs
each, every run ended with the close button. Run through scripts/bench wine (inside
scripts/in-wine, with DISPLAY).
Usage: wine_startup.py ZorvUpdater.exe empty_window_app.exe"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import wineprogram  # noqa: E402

RUNS = 5
LIMIT = 60
EMPTY_WINDOW_TITLE = "Empty framework window"


def run_once(desktop, executable, title):
    started = time.monotonic()
    process = wineprogram.start(executable)
    window = wineprogram.wait_until(lambda: desktop.painted_window(title), LIMIT)
    painted = time.monotonic() - started
    if window is None:
        process.kill()
        return None
    desktop.request_close(window)
    process.wait(LIMIT)
    return painted * 1000.0


def median_first_paint(desktop, name, executable, title):
    paints = []
    for run in range(RUNS):
        milliseconds = run_once(desktop, executable, title)
        if milliseconds is None:
            sys.exit("%s, run %d: the window did not show" % (name, run + 1))
        print("%s, run %d: first paint %.1f ms" % (name, run + 1, milliseconds))
        paints.append(milliseconds)
    paints.sort()
    return paints[len(paints) // 2]


def main():
    if not wineprogram.inside_private_namespace():
        sys.exit("every start of the program must be inside a private network namespace (scripts/in-wine)")
    desktop = wineprogram.Desktop()
    program = median_first_paint(desktop, "program", sys.argv[1], wineprogram.TITLE)
    empty = median_first_paint(desktop, "empty framework window", sys.argv[2], EMPTY_WINDOW_TITLE)
    print("median first paint under Wine: program %.1f ms (target: under 2000 ms), "
          "empty framework window %.1f ms" % (program, empty))


if __name__ == "__main__":
    main()
