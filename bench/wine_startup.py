#!/usr/bin/python3
"""The Windows program's start to its first painted window under Wine on an X display,
five runs, each ended with the close button. Run through scripts/bench wine (inside
scripts/in-wine, with DISPLAY). Usage: wine_startup.py ZorvUpdater.exe"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import wineprogram  # noqa: E402

RUNS = 5
LIMIT = 60


def run_once(desktop, executable):
    started = time.monotonic()
    process = wineprogram.start(executable)
    window = wineprogram.wait_until(desktop.painted_window, LIMIT)
    painted = time.monotonic() - started
    if window is None:
        process.kill()
        return None
    desktop.request_close(window)
    process.wait(LIMIT)
    return painted * 1000.0


def main():
    if not wineprogram.inside_private_namespace():
        sys.exit("every start of the program must be inside a private network namespace (scripts/in-wine)")
    desktop = wineprogram.Desktop()
    paints = []
    for run in range(RUNS):
        milliseconds = run_once(desktop, sys.argv[1])
        if milliseconds is None:
            sys.exit("run %d: the window did not show" % (run + 1))
        print("run %d: first paint %.1f ms" % (run + 1, milliseconds))
        paints.append(milliseconds)
    paints.sort()
    print("median first paint under Wine %.1f ms (target: under 2000 ms)" % paints[len(paints) // 2])


if __name__ == "__main__":
    main()
