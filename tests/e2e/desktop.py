"""A throwaway X desktop for end-to-end tests: Xvfb, an XEmbed tray (trayer) and Horalis,
each with folders of its own, driven with xdotool and looked at with ImageMagick."""

import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest


def wait_for(predicate, timeout=10.0, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


def stop(process, timeout=5):
    """Asks a process to end, as a session's end does, and kills it if it will not. An X
    server ended so takes its socket and its lock with it: killed outright it leaves both, and
    the next server started with -displayfd may be given a display whose stale socket a client
    then fails to reach. Its pipes are closed with it."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    for pipe in (process.stdin, process.stdout, process.stderr):
        if pipe:
            with contextlib.suppress(OSError):
                pipe.close()


class Window:
    def __init__(self, wid, x, y, width, height):
        self.wid, self.x, self.y, self.width, self.height = wid, x, y, width, height

    @property
    def center(self):
        return self.x + self.width // 2, self.y + self.height // 2

    def __repr__(self):
        return f"Window({self.wid}, {self.x},{self.y} {self.width}x{self.height})"


class Desktop:
    def __init__(self, horalis, width=1280, height=800):
        self.horalis = horalis
        self.home = tempfile.mkdtemp(prefix="horalis-e2e-")
        self.config = os.path.join(self.home, "config")
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.config)
        os.makedirs(self.runtime, mode=0o700)
        self.processes = []
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as displays:
            self.display = ":" + displays.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, XDG_CONFIG_HOME=self.config,
                        XDG_RUNTIME_DIR=self.runtime, HOME=self.home, QT_QPA_PLATFORM="xcb",
                        LANG="C.UTF-8")
        # No session bus: the XEmbed tray is the one Qt docks into.
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.tray = None
        self.tray_id = None

    # --- processes ---------------------------------------------------------------------------
    def start_tray(self):
        # trayer now and then fails to claim the tray on a busy machine; try again, as a user
        # restarting their panel would.
        log = os.path.join(self.home, "trayer.log")
        for _ in range(3):
            with open(log, "w") as errors:
                self.tray = subprocess.Popen(
                    ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                     "--height", "40", "--SetDockType", "true", "--transparent", "false",
                     "--tint", "0xdddddd"], env=self.env, stdout=errors, stderr=errors)
            self.processes.append(self.tray)
            if wait_for(self.tray_window, 5):
                return
            self.tray.kill()
            self.tray.wait()
        with open(log) as errors:
            raise AssertionError("the tray did not come up: " + errors.read())

    def start_forgetful_tray(self):
        """A tray of the tests' own in place of trayer: one that drops the first request to
        dock it is sent."""
        self.tray = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "forgetful_tray.py")],
            env=self.env, stdout=subprocess.PIPE, text=True)
        self.processes.append(self.tray)
        line = self.tray.stdout.readline().split()
        assert line[:1] == ["ready"], "the forgetful tray did not come up"
        self.tray_id = line[1]

    def stop_tray(self):
        self.tray.kill()
        self.tray.wait()
        wait_for(lambda: not self.tray_window())

    def start_horalis(self, wrapper=()):
        """Starts Horalis, under `wrapper` (valgrind and its options, say) if given."""
        process = subprocess.Popen([*wrapper, self.horalis], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.processes.append(process)
        return process

    def start_docked(self):
        """Starts Horalis and waits for its icon in the tray; returns (process, icon)."""
        process = self.start_horalis()
        icon = wait_for(self.icon)
        assert icon is not None, "the icon did not dock in the tray"
        return process, icon

    def close(self):
        for process in reversed(self.processes):
            stop(process)
            for stream in (process.stdout, process.stderr):
                if stream:
                    stream.close()
        stop(self.xvfb)
        shutil.rmtree(self.home, ignore_errors=True)

    # --- X -----------------------------------------------------------------------------------
    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True).stdout

    def tree(self):
        return self.run("xwininfo", "-root", "-tree")

    def tray_window(self):
        if self.tray_id:
            return self.tray_id
        match = re.search(r'^\s*(0x[0-9a-f]+) "panel": \("panel" "trayer"\)', self.tree(), re.M)
        return match.group(1) if match else None

    def docked_icons(self):
        """Horalis windows that are children of the tray's panel."""
        tray = self.tray_window()
        if not tray:
            return []
        tree = self.run("xwininfo", "-tree", "-id", tray)
        return re.findall(r'(0x[0-9a-f]+) "[Hh]oralis": \("horalis" "horalis"\)', tree)

    def geometry(self, wid):
        info = self.run("xwininfo", "-id", str(wid))
        values = {key: int(value) for key, value in re.findall(
            r"(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)", info)}
        if len(values) < 4:
            return None
        return Window(wid, values["Absolute upper-left X"], values["Absolute upper-left Y"],
                      values["Width"], values["Height"])

    def visible_windows(self):
        ids = self.run("xdotool", "search", "--onlyvisible", "--classname", "horalis").split()
        return [w for w in (self.geometry(i) for i in ids) if w]

    def icon(self):
        """The docked icon, once it has its place: on screen, and there twice in a row (a tray
        lays its items out again as a window manager comes, or another item docks)."""
        docked = self.docked_icons()
        first = self.geometry(docked[0]) if docked else None
        if not first or first.x < 0 or first.y < 0:
            return None
        time.sleep(0.1)
        again = self.geometry(docked[0])
        return first if again and (again.x, again.y) == (first.x, first.y) else None

    def panel(self):
        return next((w for w in self.visible_windows() if w.width == 300), None)

    def menu(self):
        icon = self.icon()
        return next((w for w in self.visible_windows() if w.width != 300 and
                     (not icon or w.wid != int(icon.wid, 16)) and w.height > 30), None)

    def windows_titled(self, title):
        ids = self.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()
        return [w for w in (self.geometry(i) for i in ids) if w]

    def click(self, x, y, button=1):
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def screenshot(self, path, crop=None):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        if crop:
            x, y, w, h = crop
            subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", path],
                           check=True)

    def picture_of(self, window, name):
        path = os.path.join(self.home, name + ".png")
        self.screenshot(path, (window.x, window.y, window.width, window.height))
        return path

    def pixels_differing(self, first, second):
        """How many pixels of two pictures differ by more than faint antialiasing does."""
        result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "25%", first, second,
                                 "null:"], capture_output=True, text=True)
        return int(float(result.stderr.split()[0]))

    def colours_in(self, window):
        """How many distinct colours the screen shows inside the window."""
        path = os.path.join(self.home, "probe.png")
        self.screenshot(path, (window.x, window.y, window.width, window.height))
        return int(subprocess.run(["identify", "-format", "%k", path], capture_output=True,
                                  text=True, check=True).stdout)

    # --- what a user does --------------------------------------------------------------------
    def start_window_manager(self):
        """openbox, for what only a window manager does: closing a window from its frame."""
        self.processes.append(subprocess.Popen(["openbox"], env=self.env,
                                               stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
        assert wait_for(lambda: "window id" in self.run("xprop", "-root",
                                                        "_NET_SUPPORTING_WM_CHECK"), 10), \
            "openbox did not come up"

    def open_menu(self, icon):
        """Right-clicks the icon; the menu holds "Settings...", a line, "Quit Horalis"."""
        self.click(*icon.center, button=3)
        menu = wait_for(self.menu, 10)
        assert menu, "the context menu did not open"
        # Mapped is not yet ready: a click before Qt has drawn the menu can miss its entry.
        assert wait_for(lambda: self.colours_in(menu) > 4, 10), "the menu was not drawn"
        return menu

    @staticmethod
    def menu_entry(menu, entry):
        """Where to click "settings" or "quit" in the context menu."""
        return menu.x + menu.width // 2, menu.y + (12 if entry == "settings" else menu.height - 12)

    @staticmethod
    def panel_row(panel, row):
        """Where to click the panel's "settings" or "quit" row, the last two of the panel."""
        return panel.x + panel.width // 2, panel.y + panel.height - (42 if row == "settings" else 14)

    def settings_window(self):
        return next(iter(self.windows_titled("Settings")), None)

    def open_settings(self, icon, tab=0, timeout=10):
        """Opens the Settings window from the menu, on its first tab or, with tab=1, on
        "Menu Bar"; returns it once it is drawn."""
        self.click(*self.menu_entry(self.open_menu(icon), "settings"))
        window = wait_for(self.settings_window, timeout)
        assert window, "the Settings window did not open"
        assert wait_for(lambda: self.colours_in(window) > 8, timeout), "it was not drawn"
        if tab:
            before = self.picture_of(window, "first-tab")
            # The tabs sit side by side at the top left: "General", then "Menu Bar".
            self.click(window.x + 40 + 80 * tab, window.y + 14)
            assert wait_for(lambda: self.pixels_differing(
                before, self.picture_of(window, "tab")) > 200, 5), "the tab did not change"
        return window

    @staticmethod
    def style_choice(window, index):
        """Where to click Pill (0), Circle (1) or Percentage (2) on the "Menu Bar" tab."""
        return window.x + 40, window.y + 85 + 26 * index

    def wait_for_picture(self, window, condition, timeout=3.0):
        """Polls pictures of the window until condition(path) holds; the last path or None."""
        return wait_for(lambda: (lambda path: path if condition(path) else None)(
            self.picture_of(window, "poll")), timeout, 0.2)

    def looks_like(self, window, picture):
        return self.pixels_differing(self.picture_of(window, "now"), picture) < 4

    # --- preferences -------------------------------------------------------------------------
    def stored(self, key):
        """The text stored under the key, None where there is none or no file."""
        try:
            with open(self.preferences_path()) as preferences:
                for line in preferences:
                    if line.startswith(key + "="):
                        return line.strip().split("=", 1)[1]
        except (OSError, UnicodeDecodeError):
            pass
        return None

    def preferences_path(self):
        return os.path.join(self.config, "horalis", "horalis.conf")

    def replace_preferences(self, content=None, folder=False):
        """Puts the bytes `content`, or with folder=True a folder, where the file goes."""
        path = self.preferences_path()
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)
        if folder:
            os.makedirs(path)
        else:
            with open(path, "wb") as replacement:
                replacement.write(content)

    def set_preference(self, key, value):
        path = self.preferences_path()
        lines = ["[General]"]
        if os.path.exists(path):
            with open(path) as current:
                lines = current.read().splitlines() or lines
        lines = [line for line in lines if not line.startswith(key + "=")]
        lines.insert(lines.index("[General]") + 1, f"{key}={value}")
        with open(path + ".new", "w") as new:
            new.write("\n".join(lines) + "\n")
        os.replace(path + ".new", path)


class DesktopTest(unittest.TestCase):
    """A test on a desktop of its own with an XEmbed tray, Horalis not yet started."""

    def setUp(self):
        self.desktop = Desktop(os.environ["HORALIS_BINARY"])
        self.addCleanup(self.desktop.close)
        self.desktop.start_tray()
