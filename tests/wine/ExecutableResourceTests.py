#!/usr/bin/python3
"""The built ZorvUpdater.exe, read from Linux: a GUI program with the manifest that asks
for no elevation and for version 6 of the common controls (the task dialogs of the message
boxes), the version block of 7.48, two icon groups, and no DLL beyond Windows' own.
Usage: ExecutableResourceTests.py ZorvUpdater.exe"""

import re
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

ASSEMBLY = "{urn:schemas-microsoft-com:asm.v1}"

# The DLLs every Windows installation has; anything else would have to be shipped.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "d2d1.dll", "d3d11.dll", "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "imm32.dll",
    "iphlpapi.dll", "kernel32.dll", "msvcrt.dll", "mswsock.dll", "ole32.dll", "oleaut32.dll", "opengl32.dll",
    "rpcrt4.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uuid.dll", "uxtheme.dll",
    "version.dll", "winhttp.dll", "wininet.dll", "winmm.dll", "ws2_32.dll", "wsock32.dll",
}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


class ExecutableResources(unittest.TestCase):
    executable = None

    def headers(self):
        return run("x86_64-w64-mingw32-objdump", "-p", self.executable).decode("utf-8", "replace")

    def test_is_a_gui_program(self):
        self.assertRegex(self.headers(), r"Subsystem\s+0*2\s+\(Windows GUI\)")

    def test_imports_only_system_dlls(self):
        imported = {name.lower() for name in re.findall(r"DLL Name: (\S+)", self.headers())}
        self.assertTrue(imported)
        self.assertEqual(imported - SYSTEM_DLLS, set())

    def manifest(self):
        return ElementTree.fromstring(run("wrestool", "-x", "--raw", "--type=24", self.executable))

    def test_manifest_runs_as_invoker(self):
        levels = [element.get("level") for element in self.manifest().iter()
                  if element.tag.endswith("}requestedExecutionLevel")]
        self.assertEqual(levels, ["asInvoker"])

    def test_manifest_asks_for_common_controls_6(self):
        dependencies = [identity.attrib for identity in
                        self.manifest().findall(ASSEMBLY + "dependency/" + ASSEMBLY + "dependentAssembly/"
                                                + ASSEMBLY + "assemblyIdentity")]
        self.assertIn({"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                       "processorArchitecture": "amd64", "publicKeyToken": "6595b64144ccf1df", "language": "*"},
                      dependencies)

    def test_version_block_says_7_48(self):
        block = run("wrestool", "-x", "--raw", "--type=16", self.executable).decode("utf-16-le", "replace")
        for key in ("FileVersion", "ProductVersion"):
            self.assertRegex(block, key + "\x00+7\\.48\x00", key + " reads 7.48")

    def test_two_icon_groups(self):
        listing = run("wrestool", "-l", self.executable).decode("utf-8", "replace")
        self.assertEqual(len(re.findall(r"--type=14\b", listing)), 2, listing)


if __name__ == "__main__":
    ExecutableResources.executable = sys.argv.pop(1)
    unittest.main(verbosity=2)
