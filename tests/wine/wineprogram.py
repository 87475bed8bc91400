"""The Windows program under Wine on an X display, looked at from outside as a desktop
would: its window, its painted pixels, its close button, and the mouse and keyboard of a
user (XTEST fake input). Shared by the tests of the program under Wine and the start-up
benchmark. Needs WINEPREFIX and DISPLAY, and runs only
inside the private network namespace scripts/in-wine makes."""

import os
import subprocess
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

TITLE = "Zorv Updater  [7.48]"
BACKGROUND = 0x353535


class Desktop:
    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root

    def windows(self, title=TITLE):
        """The mapped windows whose title is exactly the given text."""
        found = []
        pending = [self.root]
        while pending:
            window = pending.pop()
            try:
                children = window.query_tree().children
                if window.get_wm_name() == title and window.get_attributes().map_state == X.IsViewable:
                    found.append(window)
            except Exception:
                continue
            pending.extend(children)
        return found

    def pixel(self, window, x, y):
        pixels = self.pixels(window, x, y, 1, 1)
        return pixels[0][0] if pixels else None

    def pixels(self, window, x, y, width, height):
        """The window's pixels in the rectangle as rows of 0xRRGGBB, or None when the window
        cannot be read (gone, or the rectangle outside it)."""
        try:
            image = window.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        except Exception:
            return None
        data = image.data
        stride = len(data) // height
        return [[(data[row * stride + 4 * column + 2] << 16) | (data[row * stride + 4 * column + 1] << 8)
                 | data[row * stride + 4 * column] for column in range(width)] for row in range(height)]

    def move_pointer(self, window, x, y):
        point = self.root.translate_coords(window, x, y)
        xtest.fake_input(self.display, X.MotionNotify, x=point.x, y=point.y)
        self.display.sync()

    def click(self, window, x, y):
        """A left click at the point of the window, as a user's mouse makes it."""
        self.move_pointer(window, x, y)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()

    def type_text(self, text):
        """Key presses and releases for each printable ASCII character (its keysym is its
        code), with Shift where the keyboard map gives the character only shifted; into
        whatever window has the keyboard focus."""
        shift = self.display.keysym_to_keycode(XK.XK_Shift_L)
        for character in text:
            keysym = ord(character)
            keycode = self.display.keysym_to_keycode(keysym)
            shifted = self.display.keycode_to_keysym(keycode, 0) != keysym
            if shifted:
                xtest.fake_input(self.display, X.KeyPress, shift)
            xtest.fake_input(self.display, X.KeyPress, keycode)
            xtest.fake_input(self.display, X.KeyRelease, keycode)
            if shifted:
                xtest.fake_input(self.display, X.KeyRelease, shift)
            self.display.sync()

    def painted_window(self, title=TITLE):
        """The program's window once its background shows where no control lies."""
        for window in self.windows(title):
            if self.pixel(window, 5, 80) == BACKGROUND:
                return window
        return None

    def geometry(self, window):
        return window.get_geometry()

    def icons(self, window):
        """The images of the window's icon as the window system has them: (width, height,
        ARGB pixels) for each size Wine hands over."""
        value = window.get_full_property(self.display.intern_atom("_NET_WM_ICON"), X.AnyPropertyType)
        words = list(value.value) if value is not None else []
        images = []
        while len(words) >= 2:
            width, height = words[0], words[1]
            images.append((width, height, words[2:2 + width * height]))
            words = words[2 + width * height:]
        return images

    def request_close(self, window):
        """What a window manager sends when the user presses the close button."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self.display.flush()


def wait_until(condition, timeout):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > end:
            return value
        time.sleep(0.005)


def start(executable):
    return subprocess.Popen(["wine", executable], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def roaming_folder():
    """The roaming application-data folder of the Wine user, as a Linux path."""
    users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
    names = [name for name in os.listdir(users) if name != "Public"]
    if len(names) != 1:
        raise RuntimeError("expected one Wine user in " + users + ", found " + repr(names))
    return os.path.join(users, names[0], "AppData", "Roaming")


SHELL_FOLDERS = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"


def windows_path(linux_path):
    """A path under the prefix's drive_c as a program under Wine names it."""
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    return "C:\\" + os.path.relpath(linux_path, drive).replace("/", "\\")


def import_registry(text, folder):
    """Imports registry text (a version 5 .reg file's content); the file is written in
    UTF-16, as the system's registry editor writes it, so that any letter survives."""
    path = os.path.join(folder, "import.reg")
    with open(path, "w", encoding="utf-16") as file:
        file.write(text)
    regedit("/S", path)


def regedit(*arguments):
    subprocess.run(["wine", "regedit"] + list(arguments), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class RoamingFolder:
    """While the block runs, the Wine user's roaming application-data folder is another
    one, a folder under drive_c; the system's own setting comes back afterwards."""

    def __init__(self, linux_path, scratch):
        self.linux_path = linux_path
        self.scratch = scratch
        self.saved = os.path.join(scratch, "saved.reg")

    def __enter__(self):
        regedit("/E", self.saved, SHELL_FOLDERS)
        os.makedirs(self.linux_path, exist_ok=True)
        value = windows_path(self.linux_path).replace("\\", "\\\\")
        import_registry('Windows Registry Editor Version 5.00\n\n[%s]\n"AppData"="%s"\n'
                        % (SHELL_FOLDERS, value), self.scratch)
        return self

    def __exit__(self, *exception):
        regedit("/S", self.saved)


def inside_private_namespace():
    """Whether this runs in the namespace scripts/in-netns made, which ZORV_IN_NETNS names."""
    return os.environ.get("ZORV_IN_NETNS", "") == os.readlink("/proc/self/ns/net")
