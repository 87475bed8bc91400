"""scripts/in-netns and scripts/in-wine where no private network namespace can be made (an
unshare that fails, first on PATH): they end with an error and the command does not run,
nor does Wine. Only the test command's explicit loopback-only option runs the command
outside a namespace, and it says so."""

import os
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
IN_NETNS = os.path.join(ROOT, "scripts", "in-netns")
IN_WINE = os.path.join(ROOT, "scripts", "in-wine")


def write_program(path, text):
    with open(path, "w") as program:
        program.write("#!/bin/sh\n" + text + "\n")
    os.chmod(path, 0o755)


class NamespaceScripts(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.marker = os.path.join(self.folder.name, "command-ran")
        self.wine_marker = os.path.join(self.folder.name, "wine-ran")

        stand_ins = os.path.join(self.folder.name, "bin")
        os.mkdir(stand_ins)
        write_program(os.path.join(stand_ins, "unshare"),
                      'echo "unshare: unshare failed: Operation not permitted" >&2\nexit 1')
        for name in ("wine", "wineserver", "wineboot"):
            write_program(os.path.join(stand_ins, name), 'touch "%s"' % self.wine_marker)

        # The suite itself runs inside a namespace: the scripts must not take it for theirs.
        self.env = {key: value for key, value in os.environ.items() if key != "ZORV_IN_NETNS"}
        self.env["PATH"] = stand_ins + os.pathsep + os.environ["PATH"]
        self.env["ZORV_CACHE_DIR"] = os.path.join(self.folder.name, "cache")

    def run_script(self, *command, env=None):
        return subprocess.run(command, env=env or self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True, timeout=60)

    def test_in_netns_refuses_without_a_namespace(self):
        result = self.run_script(IN_NETNS, "touch", self.marker)
        self.assertNotEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(self.marker), "the command ran outside a namespace")
        self.assertIn("no private network namespace can be made", result.stderr)

    def test_a_marker_exported_by_hand_is_no_namespace(self):
        env = dict(self.env, ZORV_IN_NETNS="1")
        for script in (IN_NETNS, IN_WINE):
            result = self.run_script(script, "touch", self.marker, env=env)
            self.assertNotEqual(result.returncode, 0, script)
            self.assertFalse(os.path.exists(self.marker), script + " ran the command outside a namespace")
        self.assertFalse(os.path.exists(self.wine_marker), "Wine was started outside a namespace")

    def test_in_wine_refuses_and_starts_no_wine(self):
        result = self.run_script(IN_WINE, "touch", self.marker)
        self.assertNotEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(self.marker), "the command ran outside a namespace")
        self.assertFalse(os.path.exists(self.wine_marker), "Wine was started outside a namespace")
        self.assertIn("no private network namespace can be made", result.stderr)

    def test_only_the_loopback_only_option_runs_outside_and_says_so(self):
        result = self.run_script(IN_NETNS, "--loopback-only-without-namespace", "touch", self.marker)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(self.marker))
        self.assertIn("LOOPBACK-ONLY", result.stderr)

    def test_with_a_namespace_the_command_sees_loopback_alone(self):
        env = {key: value for key, value in self.env.items() if key != "PATH"}
        env["PATH"] = os.environ["PATH"]
        if subprocess.run(["unshare", "-rn", "true"], stderr=subprocess.DEVNULL).returncode != 0:
            self.skipTest("no private network namespace can be made here")
        result = self.run_script(IN_NETNS, "sh", "-c",
                                 'echo "$ZORV_IN_NETNS"; readlink /proc/self/ns/net; ip -o link show', env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[0], lines[1], "the marker names the command's own namespace")
        self.assertNotEqual(lines[0], os.readlink("/proc/self/ns/net"))
        self.assertEqual([line.split(":")[1].strip() for line in lines[2:]], ["lo"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
