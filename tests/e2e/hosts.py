"""The default panels of the desktops people use, each on an Xvfb display of its own with its
own session bus, run as an unprivileged user (GNOME Shell refuses to run as root), clicked with
xdotool and looked at through screenshots."""

import contextlib
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
import time

from desktop import Window, stop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
USER = "horalis-e2e"
WIDTH, HEIGHT = 1280, 800

# How each desktop starts its panel. "wm": the window manager started with the display;
# "watcher": a StatusNotifierWatcher comes up with the panel (else the tray is XEmbed's);
# "helpers": what the session starts beside the panel; "namespace": the panel needs a system
# bus of its own; "files": what the user's home holds before the session starts.
HOSTS = {
    # "dark": whether Horalis's panel is dark there, following the desktop's style. XFCE 4.18
    # draws its bar dark by default, and says so in xfconf.
    "xfce": {"desktop": "XFCE", "command": ["xfce4-panel"], "wm": ["openbox"], "watcher": True,
             "dark": True},
    # As startlxqt sets it, so that the panel finds LXQt's default configuration.
    "lxqt": {"desktop": "LXQt", "command": ["lxqt-panel"], "wm": ["openbox"], "watcher": True,
             "env": {"XDG_CONFIG_DIRS": "/etc/xdg:/usr/share"}},
    "tint2": {"desktop": "", "command": ["tint2"], "wm": ["openbox"], "watcher": False},
    "gnome": {"desktop": "GNOME", "command": ["gnome-shell", "--x11", "--replace"], "wm": None,
              "watcher": True, "namespace": True},
    # Linux Mint's desktop: its StatusNotifierItem host is the XApp watcher, which hands the
    # item to Cinnamon's own applet. Without a system bus its printers applet fails, and the
    # notice of that, counted in the bar, moves the tray along.
    "cinnamon": {"desktop": "X-Cinnamon", "command": ["cinnamon", "--replace"], "wm": None,
                 "watcher": True, "namespace": True,
                 "helpers": [["/usr/libexec/xapps/sn-watcher/xapp-sn-watcher"]]},
    # With its top panel in a dark colour of the user's, where a black icon would vanish.
    "mate": {"desktop": "MATE", "command": ["mate-panel"], "wm": ["marco", "--replace"],
             "watcher": True,
             "gsettings": [["org.mate.panel.toplevel.background:/org/mate/panel/toplevels/top/background/",
                            "type", "color"],
                           ["org.mate.panel.toplevel.background:/org/mate/panel/toplevels/top/background/",
                            "color", "#2B2B2B"]]},
    "budgie": {"desktop": "Budgie:GNOME", "command": ["budgie-panel"],
               "wm": ["budgie-wm", "--x11", "--replace"], "watcher": False, "namespace": True,
               "dark": False},
    # GNOME's default session: GNOME Shell as the Wayland compositor, Horalis on Xwayland.
    # The panel comes with the shell; it is "started" and "stopped" by turning the extension
    # on and off, as Xwayland, and every X client with it, ends with the shell.
    "gnomewayland": {"desktop": "GNOME", "command": None, "wm": None, "watcher": True},
    # KDE Plasma 5.27 on X11: its watcher is a module of kded5, which the session starts
    # before the shell (started by the bus instead, it would not know it is in a Plasma
    # session, and leave the module out). No animations, so that screenshots show menus whole.
    "plasma": {"desktop": "KDE", "command": ["plasmashell"], "wm": ["kwin_x11"],
               "watcher": True, "helpers": [["kded5"]],
               "env": {"KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "5"},
               "files": {".config/kdeglobals": "[KDE]\nAnimationDurationFactor=0\n"}},
    # The same on Wayland, KWin the compositor (started with the display), the shell its
    # client, Horalis on Xwayland.
    "plasmawayland": {"desktop": "KDE", "command": ["plasmashell"], "wm": None,
                      "watcher": True, "helpers": [["kded5"]],
                      "env": {"KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "5"},
                      "files": {".config/kdeglobals": "[KDE]\nAnimationDurationFactor=0\n"}},
    # Wayland: waybar's tray in sway (the command is written with the session's files).
    "sway": {"desktop": "sway", "command": None, "wm": None, "watcher": True, "bar_edge": 30},
}
GNOME_EXTENSION = "ubuntu-appindicators@ubuntu.com"


def ensure_user():
    if subprocess.run(["id", USER], capture_output=True).returncode != 0:
        subprocess.run(["useradd", "--create-home", "--shell", "/bin/sh", USER], check=True)


# The homes of the sessions started in this process, in order.
HOMES = []


class Session:
    """An X display, a session bus and a home of the test user's own."""

    def __init__(self, host):
        self.name = host
        self.host = HOSTS[host]
        self.processes = []
        self.home = tempfile.mkdtemp(prefix=f"horalis-{host}-")
        HOMES.append(self.home)
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        # The user must be able to run the program wherever the build lives.
        self.horalis = os.path.join(self.home, "horalis")
        shutil.copy(HORALIS, self.horalis)
        for name, content in self.host.get("files", {}).items():
            os.makedirs(os.path.dirname(os.path.join(self.home, name)), exist_ok=True)
            with open(os.path.join(self.home, name), "w") as file:
                file.write(content)
        if host == "xfce":
            panel = os.path.join(self.home, ".config/xfce4/xfconf/xfce-perchannel-xml")
            os.makedirs(panel)
            shutil.copy("/etc/xdg/xfce4/panel/default.xml", os.path.join(panel, "xfce4-panel.xml"))
        subprocess.run(["chown", "-R", USER, self.home], check=True)
        os.chmod(self.home, 0o755)

        self.env = {"PATH": os.environ["PATH"], "HOME": self.home,
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "XDG_RUNTIME_DIR": self.runtime, "LANG": "C.UTF-8", "USER": USER}
        if self.host["desktop"]:
            self.env["XDG_CURRENT_DESKTOP"] = self.host["desktop"]
        self.env.update(self.host.get("env", {}))
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        self.start_display()
        self.panel = None

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "+extension", "GLX"], pass_fds=(write_end,),
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as displays:
            self.env["DISPLAY"] = ":" + displays.readline().strip()
        self.env["XDG_SESSION_TYPE"] = "x11"
        # The bus starts MATE's applets and Cinnamon's helpers with its own environment: they
        # must find the display.
        self.run_as_user("dbus-update-activation-environment", "DISPLAY", "XDG_CURRENT_DESKTOP",
                         "XDG_SESSION_TYPE")
        if self.host["wm"]:
            self.spawn(self.host["wm"], namespace=self.host.get("namespace", False))

    def stop_display(self):
        stop(self.xvfb)

    def spawn(self, command, stdout=subprocess.DEVNULL, namespace=False, stdin=None):
        """Runs `command` as the test user in this session."""
        line = self.in_session(self.as_user(command), namespace)
        log = open(os.path.join(self.home, os.path.basename(command[0]) + ".log"), "w")
        process = subprocess.Popen(line, stdin=stdin, stdout=stdout, stderr=log, text=True)
        log.close()
        self.processes.append(process)
        return process

    def as_user(self, command):
        """`command` as the test user runs it, with the session's environment."""
        return ["runuser", "-u", USER, "--", "env", *[f"{k}={v}" for k, v in self.env.items()],
                *command]

    def in_session(self, line, namespace=False):
        """`line` as it runs in the session: with `namespace`, in a mount namespace of its
        own."""
        if not namespace:
            return line
        return ["unshare", "-m", "sh", "-c", f'{self.private_system()} && exec "$@"', "sh", *line]

    def private_system(self, x_sockets=False):
        """The shell commands that give a new mount namespace a system bus and no systemd seat
        of its own (GNOME Shell wants the one and cannot reach the other), and with
        `x_sockets` an X socket folder of its own. close() ends the bus, as it outlives what
        the namespace was made for."""
        os.makedirs("/run/systemd", exist_ok=True)
        os.makedirs("/run/dbus", exist_ok=True)
        script = "mount -t tmpfs none /run/systemd && mount -t tmpfs none /run/dbus && "
        if x_sockets:
            os.makedirs("/tmp/.X11-unix", mode=0o1777, exist_ok=True)
            script += "mount -t tmpfs -o mode=1777 none /tmp/.X11-unix && "
        return script + ("dbus-daemon --system --fork --print-pid >> "
                         f"{os.path.join(self.home, 'system-buses.pid')}")

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True).stdout

    def run_as_user(self, *command):
        """The session bus takes only its own user's connections."""
        return self.run(*self.as_user(command))

    def close(self):
        for process in reversed(self.processes):
            stop(process)
        subprocess.run(["pkill", "-KILL", "-u", USER, "-f", self.home], capture_output=True)
        self.stop_display()
        with contextlib.suppress(OSError):
            with open(os.path.join(self.home, "system-buses.pid")) as buses:
                for pid in buses.read().split():
                    with contextlib.suppress(OSError):
                        os.kill(int(pid), signal.SIGTERM)
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
            # Screenshots then show menus whole, not half faded in.
            self.run_as_user("gsettings", "set", "org.gnome.desktop.interface",
                             "enable-animations", "false")
        for helper in self.host.get("helpers", []):
            self.spawn(helper)
        self.panel = self.spawn(self.host["command"], namespace=self.host.get("namespace", False))
        if self.host["watcher"]:
            assert wait_for(self.watcher_is_up, 60), "the panel's watcher did not come up"
        else:
            assert wait_for(lambda: self.run("xdotool", "search", "--onlyvisible", "--classname",
                                             self.host["command"][0]).strip(), 30), \
                "the panel did not come up"
        if self.host["desktop"] == "GNOME":
            self.leave_the_overview()
        # Once the panel has laid itself out: at its first start it writes its layout's own.
        for schema, key, value in self.host.get("gsettings", []):
            self.run_as_user("gsettings", "set", schema, key, value)

    def overview_active(self):
        """Whether GNOME Shell shows its overview; None where it does not say."""
        out = self.run_as_user("dbus-send", "--session", "--print-reply", "--dest=org.gnome.Shell",
                               "/org/gnome/Shell", "org.freedesktop.DBus.Properties.Get",
                               "string:org.gnome.Shell", "string:OverviewActive")
        return ("boolean true" in out) if "boolean" in out else None

    def leave_the_overview(self):
        """GNOME starts in the overview, a moment after its bar is up (later under load), and
        covers every window with it; a user leaves it first, as Escape does."""
        if self.overview_active() is None:
            time.sleep(0.5)
            self.key("Escape")
            return
        if not wait_for(lambda: self.overview_active() is True, 10, 0.2):
            return
        for _ in range(5):
            self.key("Escape")
            if wait_for(lambda: self.overview_active() is False, 3, 0.2):
                return
        raise AssertionError("GNOME Shell stayed in its overview")

    def stop_panel(self):
        self.panel.terminate()
        self.panel.wait(10)

    def monitor_bus(self):
        """Records the session bus's traffic from now on, where the host is on it; the file's
        path, or None."""
        if not self.host["watcher"]:
            return None
        path = os.path.join(self.home, "bus-traffic.txt")
        with open(path, "w") as traffic:
            self.spawn(["dbus-monitor", "--session"], stdout=traffic)
        # The monitor has joined once the bus names it as one.
        wait_for(lambda: os.path.getsize(path) > 0, 10, 0.05)
        return path

    def panel_log(self):
        """What the panel wrote to its standard error, line by line."""
        if not self.host["command"]:
            return []
        path = os.path.join(self.home, os.path.basename(self.host["command"][0]) + ".log")
        if not os.path.exists(path):
            return []
        with open(path, errors="replace") as log:
            return log.read().splitlines()

    # --- Horalis -----------------------------------------------------------------------------
    def start_horalis(self):
        return self.spawn([self.horalis], stdout=subprocess.PIPE)

    def set_preference(self, key, value):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "horalis")
        user = pwd.getpwnam(USER)
        for made in (os.path.dirname(folder), folder):
            if not os.path.isdir(made):
                os.mkdir(made)
                os.chown(made, user.pw_uid, user.pw_gid)
        path = os.path.join(folder, "horalis.conf")
        lines = ["[General]"]
        if os.path.exists(path):
            with open(path) as current:
                lines = [line for line in current.read().splitlines()
                         if not line.startswith(key + "=")] or lines
        lines.insert(lines.index("[General]") + 1, f"{key}={value}")
        # Only our own file changes hands: Horalis, running, makes and removes its lock file
        # beside it, which a walk of the folder could meet half gone.
        with open(path + ".new", "w") as new:
            new.write("\n".join(lines) + "\n")
        os.chown(path + ".new", user.pw_uid, user.pw_gid)
        os.replace(path + ".new", path)

    def bar_edge(self, top):
        """Where the bar at the top (or the bottom) of the screen ends, as the window manager
        keeps windows off it; None where no bar keeps room."""
        values = re.findall(r"\d+", self.run("xprop", "-root", "_NET_WORKAREA").split("=")[-1])
        if len(values) < 4:
            return self.host.get("bar_edge") if top else None
        _, y, _, height = map(int, values[:4])
        if top:
            return y if y > 0 else None
        return y + height if y + height < HEIGHT else None

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

    def shot_unlike(self, reference, name, timeout=6.0):
        """A screenshot taken once the screen differs from `reference` and has stopped
        changing (a tray may dock or repaint in steps); None if it never does."""
        last = [reference]

        def attempt():
            path = self.shot(f"{name}-{len(last)}")
            settled = len(last) > 1 and not self.changed_area(last[-1], path)
            last.append(path)
            return path if settled and self.changed_area(reference, path) else None
        return wait_for(attempt, timeout, 0.2)

    def find_icon(self, timeout=10.0):
        """Where the icon is: what changes when "showIcon" is turned off and on again, the
        same place twice in a row (a panel's clock may turn over just as the icon comes)."""
        def toggled():
            shown = self.shot("shown")
            self.set_preference("showIcon", "false")
            hidden = self.shot_unlike(shown, "hidden")
            self.set_preference("showIcon", "true")
            again = hidden and self.shot_unlike(hidden, "again")
            if not again:
                return None
            # The icon is what comes back, icon-sized, where something went: a loaded panel
            # may take seconds to repaint.
            first, second = self.changed_area(shown, hidden), self.changed_area(hidden, again)
            if first and second and second.width <= 64 and second.height <= 64 and \
                    gap(first, second) == 0:
                return second
            return None

        def attempt():
            first = toggled()
            return first if first and same_place(first, toggled()) else None
        return wait_for(attempt, timeout, 0.2)

    def contrast(self, area, picture):
        """Contrast ratio (WCAG) between the lightest and the darkest pixel inside the area:
        the icon against the panel behind it."""
        out = subprocess.run(["convert", picture, "-crop",
                              f"{area.width}x{area.height}+{area.x}+{area.y}", "-colorspace",
                              "Gray", "-format", "%[fx:maxima]-%[fx:minima]", "info:-"],
                             capture_output=True, text=True).stdout

        def luminance(grey):
            return grey / 12.92 if grey <= 0.04045 else ((grey + 0.055) / 1.055) ** 2.4
        high, low = (luminance(float(value)) for value in out.split("-")[:2])
        return (high + 0.05) / (low + 0.05)

    def lightness(self, area, picture):
        """The mean lightness, 0 to 1, of the picture inside the area."""
        out = subprocess.run(["convert", picture, "-crop",
                              f"{area.width}x{area.height}+{area.x}+{area.y}", "-colorspace",
                              "Gray", "-format", "%[fx:mean]", "info:-"],
                             capture_output=True, text=True).stdout
        return float(out or "nan")

    def move(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.2)
        self.run("xdotool", "click", str(button))

    def key(self, name):
        self.run("xdotool", "key", name)

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

    # --- the steps of a test ----------------------------------------------------------------
    def menu_area(self, icon, before):
        """The menu the host shows after a right click (GNOME: after a click)."""
        # Beside the icon, on the screen's side of the bar: nothing else that changes there.
        top_bar = icon.y < HEIGHT // 2
        left = max(0, icon.x - 200)
        width = min(WIDTH, icon.x + icon.width + 200) - left
        # Deep enough for any host's menu of three rows, and clear of a window in the middle
        # of the screen (the Settings window turns inactive as the menu opens).
        depth = 220
        region = ((left, icon.y + icon.height + 1, width, depth) if top_bar else
                  (left, max(0, icon.y - depth - 1), width, min(depth, icon.y - 1)))
        # Menus fade and slide in, seconds late on a loaded machine: the menu is there once its area
        # is menu-sized and the same in two screenshots in a row.
        last = [None]

        def attempt():
            area = self.changed_area(before, self.shot("menu"), region)
            settled = area is not None and area.height > 30 and same_place(area, last[0])
            last[0] = area
            return area if settled else None
        return wait_for(attempt, 10, 0.2)

    def open_menu(self, icon):
        gnome = self.host["desktop"] == "GNOME"
        for _ in range(4):
            before = self.shot("before-menu")
            self.click(*icon.center, button=1 if gnome else 3)
            menu = self.menu_area(icon, before)
            if menu:
                return menu
            # GNOME Shell takes two clicks in quick succession for a double click, which
            # opens no menu: a person clicks again, a moment later, out of the overview if a
            # stray key or click took the shell there.
            self.key("Escape")
            time.sleep(1.5)
            if gnome and self.overview_active():
                self.key("Escape")
                wait_for(lambda: self.overview_active() is False, 3, 0.2)
        raise AssertionError("no menu came up")

    def entry(self, menu, which):
        """Where to click an entry: the menu is "Settings...", a line, "Quit Horalis"; GNOME's
        starts with "Show Progress" and a line."""
        rows = (["show", "settings", "quit"] if self.host["desktop"] == "GNOME" else
                ["settings", "quit"])
        index = rows.index(which)
        y = menu.y + menu.height * (2 * index + 1) // (2 * len(rows))
        return menu.x + menu.width // 2, y

    def choose(self, menu, which):
        """Clicks an entry of the menu once it shows the pointer over it: a loaded GTK menu
        that has not yet seen the pointer arrive lets the click pass and closes."""
        x, y = self.entry(menu, which)
        area = (menu.x, menu.y, menu.width, menu.height)
        before = self.shot("menu-unhovered")
        self.move(x, y)
        hovered = wait_for(lambda: (lambda shot: shot if self.changed_area(before, shot, area)
                                    else None)(self.shot("menu-hovered")), 3, 0.1)
        self.click(x, y)
        # Gone before anything else is looked at: a screenshot that still shows it would be
        # taken for the screen without a menu.
        wait_for(lambda: self.changed_area(hovered or before, self.shot("menu-closing"), area),
                 3, 0.1)

    def open_panel(self, icon):
        if self.host["desktop"] == "GNOME":
            self.choose(self.open_menu(icon), "show")
        else:
            self.click(*icon.center)
        # A loaded host may pass the click on seconds late.
        return wait_for(self.panel_window, 10)


def same_place(a, b):
    """Whether two rectangles, either of which may be missing, are the same."""
    return bool(a and b) and (a.x, a.y, a.width, a.height) == (b.x, b.y, b.width, b.height)


def gap(a, b):
    """Pixels between two rectangles, 0 where they touch or overlap."""
    dx = max(a.x - (b.x + b.width), b.x - (a.x + a.width), 0)
    dy = max(a.y - (b.y + b.height), b.y - (a.y + a.height), 0)
    return max(dx, dy)


class SwaySession(Session):
    """A Wayland session: sway on a headless output, with Xwayland, waybar as the bar and
    its tray as the StatusNotifierItem host; pictures from grim, clicks through a virtual
    pointer, keys through a virtual keyboard."""

    POINTER = os.environ.get("HORALIS_VIRTUAL_POINTER")
    KEYBOARD = os.environ.get("HORALIS_VIRTUAL_KEYBOARD")
    OTHER_WINDOW = os.environ.get("HORALIS_OTHER_WINDOW")

    def start_display(self):
        config = os.path.join(self.home, "sway.config")
        with open(config, "w") as out:
            out.write(f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0\n"
                      "xwayland enable\n"
                      f"exec sh -c 'echo \"$DISPLAY\" > {self.home}/xwayland-display'\n")
        bar = os.path.join(self.home, "waybar.json")
        with open(bar, "w") as out:
            out.write('{"layer": "top", "position": "top", "height": 30, '
                      '"modules-left": ["sway/workspaces"], "modules-right": ["clock", "tray"], '
                      '"tray": {"spacing": 8}}\n')
        self.host = dict(self.host, command=["waybar", "-c", bar])
        self.pointer = os.path.join(self.home, "virtual-pointer")
        shutil.copy(self.POINTER, self.pointer)
        self.keyboard = os.path.join(self.home, "virtual-keyboard")
        shutil.copy(self.KEYBOARD, self.keyboard)
        self.other_window = os.path.join(self.home, "other-window")
        shutil.copy(self.OTHER_WINDOW, self.other_window)
        # As many sway users set it up: Wayland chosen for every Qt program.
        self.env.update({"XDG_SESSION_TYPE": "wayland", "WLR_BACKENDS": "headless",
                         "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
                         "QT_QPA_PLATFORM": "wayland"})
        subprocess.run(["chown", "-R", USER, self.home], check=True)
        self.spawn(["sway", "-c", config])

        def runtime_file(pattern):
            return next((name for name in os.listdir(self.runtime)
                         if re.fullmatch(pattern, name)), None)
        socket = wait_for(lambda: runtime_file(r"wayland-\d+"), 30)
        assert socket, "sway did not come up"
        self.env["WAYLAND_DISPLAY"] = socket
        ipc = wait_for(lambda: runtime_file(r"sway-ipc\..*\.sock"), 30)
        self.env["SWAYSOCK"] = os.path.join(self.runtime, ipc)
        path = os.path.join(self.home, "xwayland-display")

        def display():
            if os.path.exists(path):
                with open(path) as found:
                    return found.read().strip()
            return None
        self.env["DISPLAY"] = wait_for(display, 30)
        assert self.env["DISPLAY"], "sway started no Xwayland"

    def stop_display(self):
        pass

    def run(self, *command):
        # Xwayland lets in only the user who runs the compositor.
        return super().run(*self.as_user(command))

    def run_as_user(self, *command):
        return self.run(*command)

    def shot(self, name):
        path = os.path.join(self.home, name + ".png")
        self.run_as_user("grim", path)
        return path

    def device(self, name, program):
        """A mouse or a keyboard of the tests' own, plugged in at first use and kept."""
        if not getattr(self, name, None):
            setattr(self, name, self.spawn([program], stdout=subprocess.PIPE,
                                           stdin=subprocess.PIPE))
            assert getattr(self, name).stdout.readline().strip() == "ready", f"no {name}"
        return getattr(self, name)

    def tell(self, device, line):
        device.stdin.write(line + "\n")
        device.stdin.flush()
        assert device.stdout.readline().strip() == "done", "a virtual device stopped"

    def move(self, x, y):
        self.click(x, y, button=0)

    def click(self, x, y, button=1):
        mouse = self.device("mouse", self.pointer)
        which = {1: "left", 3: "right", 0: "none"}[button]
        # As a hand comes to a place: a step short of it, then onto it. Xwayland may take the
        # first motion over one of its windows for the pointer's entry alone.
        for line in (f"{x - 3} {y} none", f"{x} {y} {which}"):
            self.tell(mouse, f"{WIDTH} {HEIGHT} {line}")

    def key(self, name):
        if getattr(self, "keys", None):
            self.tell(self.keys, name)
        else:
            # A keyboard plugged in for the key: a moment for the clients to take it first.
            self.run_as_user("wtype", "-s", "300", "-k", name)

    @contextlib.contextmanager
    def keyboard_plugged_in(self):
        """Keys from a keyboard that stays plugged in meanwhile: they go where a real
        keyboard's would, to the surface that holds the keyboard, and nowhere else. (Left
        plugged in, it keeps waybar's menus from opening in headless sway.)"""
        self.device("keys", self.keyboard)
        # Its layout reaches the clients a moment after it is plugged in.
        time.sleep(0.5)
        try:
            yield
        finally:
            self.keys.stdin.close()
            self.keys.wait(5)
            self.keys = None

    def open_other_window(self, title):
        """A Wayland window of another program, which takes the focus as it opens."""
        self.spawn(["env", "QT_QPA_PLATFORM=wayland", self.other_window, title])
        assert wait_for(lambda: any(w for w in self.tree_windows("other-window")
                                    if w.title == title), 10), f"{title} did not open"

    def focus_window(self, app_id):
        """Gives the keyboard to a Wayland window, as a compositor's own key binding does."""
        self.run_as_user("swaymsg", f'[app_id="{app_id}"] focus')

    def tree_windows(self, app_id):
        """Windows sway manages for Wayland clients with this app id."""
        tree = json.loads(self.run_as_user("swaymsg", "-t", "get_tree", "-r") or "{}")
        found, nodes = [], [tree]
        while nodes:
            node = nodes.pop()
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
            if node.get("app_id") == app_id and node.get("visible"):
                rect = node["rect"]
                window = Window(node["id"], rect["x"], rect["y"], rect["width"],
                                rect["height"])
                window.title = node.get("name")
                found.append(window)
        return found


class NamespacedSession(Session):
    """A Wayland compositor that starts Xwayland on the first free X display, in mount and
    network namespaces of the session's own: its X sockets only the session's clients then see,
    and a system bus and no systemd seat are the session's own. Input through a tool that reads
    "move X Y", "click X Y BUTTON" and "key NAME" lines and answers "done"."""

    def namespace(self):
        if not getattr(self, "holder", None):
            script = (f"{self.private_system(x_sockets=True)} && echo ready && "
                      "exec sleep infinity")
            self.holder = subprocess.Popen(["unshare", "-m", "-n", "sh", "-c", script],
                                           stdout=subprocess.PIPE, text=True)
            assert self.holder.stdout.readline().strip() == "ready", "no namespace"
        return ["nsenter", "-t", str(self.holder.pid), "-m", "-n"]

    def in_session(self, line, namespace=False):
        return [*self.namespace(), *line]

    def run(self, *command):
        # Xwayland may let in only the user who runs the compositor.
        return subprocess.run(self.in_session(self.as_user(command)), capture_output=True,
                              text=True).stdout

    def run_as_user(self, *command):
        return self.run(*command)

    def xwayland(self, auth=None):
        """Waits for the compositor's Xwayland and makes it the session's display."""
        display = wait_for(lambda: next(iter(re.findall(r"^X(\d+)$", self.run(
            "ls", "/tmp/.X11-unix"), re.M)), None), 60)
        assert display, f"{self.name} started no Xwayland"
        self.env["DISPLAY"] = f":{display}"
        if auth:
            found = wait_for(lambda: next((name for name in os.listdir(self.runtime)
                                           if name.startswith(auth)), None), 10)
            self.env["XAUTHORITY"] = os.path.join(self.runtime, found)
        self.run_as_user("dbus-update-activation-environment", *[
            name for name in ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP",
                              "XDG_SESSION_TYPE", "KDE_FULL_SESSION", "KDE_SESSION_VERSION")
            if name in self.env])

    def stop_display(self):
        stop(self.compositor)
        stop(self.holder)

    def tell(self, line):
        if not getattr(self, "remote", None):
            self.remote = self.spawn(self.input_tool, stdout=subprocess.PIPE,
                                     stdin=subprocess.PIPE)
            assert self.remote.stdout.readline().strip() == "ready", "no input device"
        self.remote.stdin.write(line + "\n")
        self.remote.stdin.flush()
        assert self.remote.stdout.readline().strip() == "done", "the input device stopped"

    def move(self, x, y):
        self.tell(f"move {x} {y}")

    def click(self, x, y, button=1):
        self.move(x - 3, y)
        time.sleep(0.2)
        self.tell(f"click {x} {y} {button}")

    def key(self, name):
        self.tell(f"key {name}")

    def open_other_window(self, title):
        """A native Wayland window of another program, which takes the focus as it opens."""
        other_window = os.path.join(self.home, "other-window")
        shutil.copy(os.environ["HORALIS_OTHER_WINDOW"], other_window)
        before = self.shot("before-other-window")
        self.spawn(["env", "QT_QPA_PLATFORM=wayland", other_window, title])
        window = wait_for(lambda: self.changed_area(before, self.shot("other-window")), 10)
        assert window, f"{title} did not open"
        return window


class GnomeWaylandSession(NamespacedSession):
    """GNOME Shell 43 as a headless Wayland compositor with Xwayland. Screenshots and input
    through the shell's and Mutter's own D-Bus services."""

    REMOTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "gnome_remote.py")

    def start_display(self):
        self.env.update({"XDG_SESSION_TYPE": "wayland", "WAYLAND_DISPLAY": "horalis-wayland"})
        self.input_tool = ["/usr/bin/python3", self.REMOTE, "input"]
        # No extension yet: the panel, the item's host, comes later. No animations, so that
        # screenshots show menus whole.
        self.run_as_user("gsettings", "set", "org.gnome.shell", "enabled-extensions", "[]")
        self.run_as_user("gsettings", "set", "org.gnome.desktop.interface", "enable-animations",
                         "false")
        self.compositor = self.spawn(["gnome-shell", "--wayland", "--headless",
                                      "--virtual-monitor", f"{WIDTH}x{HEIGHT}",
                                      "--wayland-display", "horalis-wayland"])
        self.xwayland(auth=".mutter-Xwaylandauth")
        # The shell is up once it answers for its screenshots.
        assert wait_for(lambda: os.path.exists(self.shot("first")), 60), "GNOME Shell is not up"
        self.leave_the_overview()

    def start_panel(self):
        self.run_as_user("gsettings", "set", "org.gnome.shell", "enabled-extensions",
                         f"['{GNOME_EXTENSION}']")
        assert wait_for(self.watcher_is_up, 60), "the extension's watcher did not come up"

    def stop_panel(self):
        self.run_as_user("gsettings", "set", "org.gnome.shell", "enabled-extensions", "[]")
        assert wait_for(lambda: not self.watcher_is_up(), 30), "the watcher stayed"

    def panel_log(self):
        with open(os.path.join(self.home, "gnome-shell.log"), errors="replace") as log:
            return log.read().splitlines()

    def shot(self, name):
        path = os.path.join(self.home, name + ".png")
        if os.path.exists(path):
            os.remove(path)
        self.run_as_user("/usr/bin/python3", self.REMOTE, "shot", path)
        return path


class PlasmaWaylandSession(NamespacedSession):
    """KDE Plasma 5.27 on Wayland: KWin as a headless compositor with Xwayland, Plasma's shell a
    Wayland client of it. Screenshots through KWin's D-Bus service, input through its fake
    input protocol: this KWin, the tests' own, lets their tools use both without the desktop
    entries that name a program allowed to."""

    SHOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kwin_shot.py")

    def start_display(self):
        # KWin's file capability makes exec fail in a container; a plain copy runs.
        kwin = os.path.join(self.home, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self.input_tool = [os.path.join(self.home, "fake-input")]
        shutil.copy(os.environ["HORALIS_FAKE_INPUT"], self.input_tool[0])
        self.env.update({"XDG_SESSION_TYPE": "wayland", "WAYLAND_DISPLAY": "horalis-wayland",
                         "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1",
                         "KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1"})
        self.compositor = self.spawn([kwin, "--virtual", "--width", str(WIDTH), "--height",
                                      str(HEIGHT), "--xwayland", "--socket", "horalis-wayland",
                                      "--no-lockscreen"])
        self.xwayland()
        assert wait_for(lambda: os.path.exists(self.shot("first")), 60), "KWin is not up"

    def shot(self, name):
        path = os.path.join(self.home, name + ".png")
        if os.path.exists(path):
            os.remove(path)
        self.run_as_user("/usr/bin/python3", self.SHOT, path, str(WIDTH), str(HEIGHT))
        return path


def session_for(host):
    if host == "sway":
        return SwaySession(host)
    if host == "gnomewayland":
        return GnomeWaylandSession(host)
    if host == "plasmawayland":
        return PlasmaWaylandSession(host)
    return Session(host)
