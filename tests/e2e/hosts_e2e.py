"""Horalis on the default panels of the desktops people use, as a user of each would try it:
XFCE's and LXQt's panels and GNOME Shell with its AppIndicator extension (StatusNotifierItem),
tint2 (XEmbed). Each runs on an Xvfb display of its own with its own session bus, as an
unprivileged user (GNOME Shell refuses to run as root), and is clicked with xdotool; what it
shows is read from screenshots."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from desktop import Window, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
SCREENSHOTS = os.environ.get("HORALIS_SCREENSHOTS")
USER = "horalis-e2e"
WIDTH, HEIGHT = 1280, 800

# How each desktop starts its panel. "watcher": the panel owns org.kde.StatusNotifierWatcher.
HOSTS = {
    "xfce": {"desktop": "XFCE", "command": ["xfce4-panel"], "wm": True, "watcher": True},
    # As startlxqt sets it, so that the panel finds LXQt's default configuration.
    "lxqt": {"desktop": "LXQt", "command": ["lxqt-panel"], "wm": True, "watcher": True,
             "env": {"XDG_CONFIG_DIRS": "/etc/xdg:/usr/share"}},
    "tint2": {"desktop": "", "command": ["tint2"], "wm": True, "watcher": False},
    "gnome": {"desktop": "GNOME", "command": ["gnome-shell", "--x11", "--replace"], "wm": False,
              "watcher": True},
}
GNOME_EXTENSION = "ubuntu-appindicators@ubuntu.com"


def ensure_user():
    if subprocess.run(["id", USER], capture_output=True).returncode != 0:
        subprocess.run(["useradd", "--create-home", "--shell", "/bin/sh", USER], check=True)


class Session:
    """An X display, a session bus and a home of the test user's own."""

    def __init__(self, host):
        self.host = HOSTS[host]
        self.processes = []
        self.home = tempfile.mkdtemp(prefix=f"horalis-{host}-")
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        # The user must be able to run the program wherever the build lives.
        self.horalis = os.path.join(self.home, "horalis")
        shutil.copy(HORALIS, self.horalis)
        if host == "xfce":
            panel = os.path.join(self.home, ".config/xfce4/xfconf/xfce-perchannel-xml")
            os.makedirs(panel)
            shutil.copy("/etc/xdg/xfce4/panel/default.xml", os.path.join(panel, "xfce4-panel.xml"))
        subprocess.run(["chown", "-R", USER, self.home], check=True)
        os.chmod(self.home, 0o755)

        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "+extension", "GLX"], pass_fds=(write_end,),
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as displays:
            self.display = ":" + displays.readline().strip()
        self.env = {"PATH": os.environ["PATH"], "DISPLAY": self.display, "HOME": self.home,
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "XDG_RUNTIME_DIR": self.runtime, "LANG": "C.UTF-8", "USER": USER,
                    "XDG_SESSION_TYPE": "x11"}
        if self.host["desktop"]:
            self.env["XDG_CURRENT_DESKTOP"] = self.host["desktop"]
        self.env.update(self.host.get("env", {}))
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        if self.host["wm"]:
            self.spawn(["openbox"])
        self.panel = None

    def spawn(self, command, stdout=subprocess.DEVNULL, namespace=False):
        """Runs `command` as the test user in this session."""
        line = ["runuser", "-u", USER, "--", "env", *[f"{k}={v}" for k, v in self.env.items()],
                *command]
        if namespace:
            # GNOME Shell wants a system bus and no systemd seat it cannot reach: a mount
            # namespace of its own gives it both without touching the machine's.
            script = ("mount -t tmpfs none /run/systemd && mount -t tmpfs none /run/dbus && "
                      "dbus-daemon --system --fork && exec \"$@\"")
            os.makedirs("/run/systemd", exist_ok=True)
            os.makedirs("/run/dbus", exist_ok=True)
            line = ["unshare", "-m", "sh", "-c", script, "sh", *line]
        log = open(os.path.join(self.home, os.path.basename(command[0]) + ".log"), "w")
        process = subprocess.Popen(line, stdout=stdout, stderr=log, text=True)
        log.close()
        self.processes.append(process)
        return process

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True).stdout

    def run_as_user(self, *command):
        """The session bus takes only its own user's connections."""
        return self.run("runuser", "-u", USER, "--", "env",
                        *[f"{k}={v}" for k, v in self.env.items()], *command)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        subprocess.run(["pkill", "-KILL", "-u", USER, "-f", self.home], capture_output=True)
        self.xvfb.kill()
        self.xvfb.wait()
        if not os.environ.get("HORALIS_KEEP"):
            shutil.rmtree(self.home, ignore_errors=True)

    # --- the host ----------------------------------------------------------------------------
    def listed_by_watcher(self):
        """Whether the watcher lists an item of ours (each host writes the entry its way)."""
        out = self.run_as_user("dbus-send", "--session", "--print-reply",
                               "--dest=org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                               "org.freedesktop.DBus.Properties.Get",
                               "string:org.kde.StatusNotifierWatcher",
                               "string:RegisteredStatusNotifierItems")
        return "StatusNotifierItem" in out.split("array", 1)[-1]

    def watcher_is_up(self):
        out = self.run_as_user("dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                       "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                       "string:org.kde.StatusNotifierWatcher")
        return "boolean true" in out

    def start_panel(self):
        if self.host["desktop"] == "GNOME":
            self.run_as_user("gsettings", "set", "org.gnome.shell", "enabled-extensions",
                             f"['{GNOME_EXTENSION}']")
        self.panel = self.spawn(self.host["command"], namespace=self.host["desktop"] == "GNOME")
        if self.host["watcher"]:
            assert wait_for(self.watcher_is_up, 60), "the panel's watcher did not come up"
        else:
            assert wait_for(lambda: self.run("xdotool", "search", "--onlyvisible", "--classname",
                                             self.host["command"][0]).strip(), 30), \
                "the panel did not come up"
        if self.host["desktop"] == "GNOME":
            # GNOME starts in the overview; a user leaves it first.
            time.sleep(0.5)
            self.run("xdotool", "key", "Escape")

    def stop_panel(self):
        self.panel.terminate()
        self.panel.wait(10)

    # --- Horalis -----------------------------------------------------------------------------
    def start_horalis(self):
        return self.spawn([self.horalis], stdout=subprocess.PIPE)

    def set_preference(self, key, value):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "horalis")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "horalis.conf")
        lines = ["[General]"]
        if os.path.exists(path):
            with open(path) as current:
                lines = [line for line in current.read().splitlines()
                         if not line.startswith(key + "=")] or lines
        lines.insert(lines.index("[General]") + 1, f"{key}={value}")
        with open(path + ".new", "w") as new:
            new.write("\n".join(lines) + "\n")
        os.replace(path + ".new", path)
        subprocess.run(["chown", "-R", USER, folder], check=True)

    # --- looking and clicking ----------------------------------------------------------------
    def shot(self, name):
        path = os.path.join(self.home, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path

    def changed_area(self, first, second, region=None):
        """The bounding box of what differs between two screenshots, optionally only inside
        a region (x, y, width, height), as a Window; None where nothing does."""
        crop = []
        if region:
            x, y, w, h = region
            crop = ["-crop", f"{w}x{h}+{x}+{y}"]
        out = subprocess.run(["convert", first, second, "-compose", "difference", "-composite",
                              *crop, "-colorspace", "Gray", "-threshold", "8%", "-trim", "info:-"],
                             capture_output=True, text=True).stdout
        match = re.search(r" (\d+)x(\d+) \d+x\d+\+(\d+)\+(\d+)", out)
        if not match or out.split()[2] == "1x1":
            return None
        w, h, x, y = map(int, match.groups())
        return Window(0, x, y, w, h)

    def find_icon(self, timeout=10.0):
        """Where the icon is: what changes when "showIcon" is turned off and on again."""
        def attempt():
            shown = self.shot("shown")
            # The icon is redrawn once a second; a loaded machine may take another.
            self.set_preference("showIcon", "false")
            time.sleep(2)
            hidden = self.shot("hidden")
            self.set_preference("showIcon", "true")
            time.sleep(2)
            again = self.shot("again")
            first, second = self.changed_area(shown, hidden), self.changed_area(hidden, again)
            if first and second and (first.x, first.y, first.width) == (second.x, second.y,
                                                                          second.width):
                return first
            return None
        return wait_for(attempt, timeout, 0.2)

    def contrast(self, area, picture):
        """Spread of lightness inside the area: icon against the panel behind it."""
        out = subprocess.run(["convert", picture, "-crop",
                              f"{area.width}x{area.height}+{area.x}+{area.y}", "-colorspace",
                              "Gray", "-format", "%[fx:maxima]-%[fx:minima]", "info:-"],
                             capture_output=True, text=True).stdout
        high, low = out.split("-")[:2]
        return float(high) - float(low)

    def click(self, x, y, button=1):
        self.run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.2)
        self.run("xdotool", "click", str(button))

    def windows(self, **search):
        args = ["xdotool", "search", "--onlyvisible"]
        for key, value in search.items():
            args += [f"--{key}", value]
        found = []
        for wid in self.run(*args).split():
            info = self.run("xwininfo", "-id", wid)
            values = dict(re.findall(
                r"(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)", info))
            if len(values) == 4:
                found.append(Window(wid, int(values["Absolute upper-left X"]),
                                    int(values["Absolute upper-left Y"]), int(values["Width"]),
                                    int(values["Height"])))
        return found

    def panel_window(self):
        return next((w for w in self.windows(classname="horalis") if w.width == 300), None)

    def settings_window(self):
        return next(iter(self.windows(name="^Settings$")), None)


def gap(a, b):
    """Pixels between two rectangles, 0 where they touch or overlap."""
    dx = max(a.x - (b.x + b.width), b.x - (a.x + a.width), 0)
    dy = max(a.y - (b.y + b.height), b.y - (a.y + a.height), 0)
    return max(dx, dy)


class HostTest(unittest.TestCase):
    host = None

    def setUp(self):
        ensure_user()
        self.session = Session(self.host)
        self.addCleanup(self.session.close)

    def menu_area(self, icon, before):
        """The menu the host shows after a right click (GNOME: after a click)."""
        # Beside the icon, on the screen's side of the bar: nothing else that changes there.
        top_bar = icon.y < HEIGHT // 2
        left = max(0, icon.x - 300)
        width = min(WIDTH, icon.x + icon.width + 300) - left
        region = ((left, icon.y + icon.height + 1, width, 260) if top_bar else
                  (left, max(0, icon.y - 261), width, min(260, icon.y - 1)))
        return wait_for(lambda: self.session.changed_area(before, self.session.shot("menu"),
                                                          region), 5)

    def open_menu(self, icon):
        gnome = self.host == "gnome"
        for _ in range(3):
            before = self.session.shot("before-menu")
            self.session.click(*icon.center, button=1 if gnome else 3)
            menu = self.menu_area(icon, before)
            if menu and menu.height > 30:
                return menu
            # GNOME Shell takes two clicks in quick succession for a double click, which
            # opens no menu: a person clicks again, a moment later.
            self.session.run("xdotool", "key", "Escape")
            time.sleep(1.5)
        self.fail("no menu came up")

    def entry(self, menu, which):
        """Where to click an entry: the menu is "Settings...", a line, "Quit Horalis"; GNOME's
        starts with "Show Progress" and a line."""
        rows = ["show", "settings", "quit"] if self.host == "gnome" else ["settings", "quit"]
        index = rows.index(which)
        y = menu.y + menu.height * (2 * index + 1) // (2 * len(rows))
        return menu.x + menu.width // 2, y

    def open_panel(self, icon):
        if self.host == "gnome":
            menu = self.open_menu(icon)
            self.session.click(*self.entry(menu, "show"))
        else:
            self.session.click(*icon.center)
        return wait_for(self.session.panel_window, 5)

    def check_everything(self, horalis, icon):
        shown = self.session.shot("icon")
        contrast = self.session.contrast(icon, shown)
        self.assertGreater(contrast, 0.5, f"the icon hardly stands out ({contrast:.2f})")
        if SCREENSHOTS:
            x = max(0, min(icon.x - 150, WIDTH - 300))
            y = max(0, min(icon.y - 10, HEIGHT - 40))
            subprocess.run(["convert", shown, "-crop", f"300x40+{x}+{y}", "+repage",
                            os.path.join(SCREENSHOTS, f"icon-{self.host}.png")], check=True)

        panel = self.open_panel(icon)
        self.assertIsNotNone(panel, "the panel did not open")
        self.assertLessEqual(gap(panel, icon), 48, f"the panel {panel} is far from {icon}")
        # A person's second click comes a moment later, not in the same instant.
        time.sleep(1.5)
        before = self.session.shot("before-second-click")
        self.session.click(*icon.center)
        closed = wait_for(lambda: not self.session.panel_window(), 3)
        if not closed and self.host == "gnome":
            # GNOME Shell may keep that click for its own menu; there the menu's first entry
            # closes the panel as it opened it.
            menu = self.menu_area(icon, before)
            self.assertIsNotNone(menu, "the click on the icon did nothing")
            self.session.click(*self.entry(menu, "show"))
            closed = wait_for(lambda: not self.session.panel_window(), 5)
        self.assertTrue(closed, "a second click on the icon left the panel open")

        menu = self.open_menu(icon)
        self.session.click(*self.entry(menu, "settings"))
        settings = wait_for(self.session.settings_window, 5)
        self.assertIsNotNone(settings, "Settings... opened no Settings window")
        self.assertEqual((settings.width, settings.height), (480, 280))

        menu = self.open_menu(icon)
        self.session.click(*self.entry(menu, "quit"))
        self.assertEqual(horalis.wait(10), 0)

    def test_on_the_panel(self):
        self.session.start_panel()
        horalis = self.session.start_horalis()
        icon = self.session.find_icon(20)
        self.assertIsNotNone(icon, "the icon did not appear")
        self.check_everything(horalis, icon)

    def assert_listed_soon(self):
        """A watcher that comes up lists the item within two seconds."""
        if HOSTS[self.host]["watcher"]:
            up = time.monotonic()
            self.assertTrue(wait_for(self.session.listed_by_watcher, 2.0, 0.05),
                            "the watcher did not list the item within two seconds")
            self.assertLessEqual(time.monotonic() - up, 2.5)

    def test_the_panel_started_after_horalis(self):
        horalis = self.session.start_horalis()
        time.sleep(1)
        self.session.start_panel()
        self.assert_listed_soon()
        self.assertIsNotNone(self.session.find_icon(20),
                             "the icon did not appear after the panel came up")
        self.session.stop_panel()
        self.session.start_panel()
        self.assert_listed_soon()
        self.assertIsNotNone(self.session.find_icon(20), "the icon did not come back")
        self.assertIsNone(horalis.poll())


class Xfce(HostTest):
    host = "xfce"


class Lxqt(HostTest):
    host = "lxqt"


class Tint2(HostTest):
    host = "tint2"


class Gnome(HostTest):
    host = "gnome"


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
