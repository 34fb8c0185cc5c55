"""Horalis on the default panels of the desktops people use, as a user of each would try it:
XFCE's, LXQt's, MATE's and Plasma's panels, Cinnamon's through the XApp watcher and GNOME Shell
with its AppIndicator extension on X11 and on Wayland (StatusNotifierItem), tint2 and Budgie
(XEmbed), and in a Wayland session waybar's tray in sway."""

import glob
import os
import shutil
import subprocess
import sys
import time
import unittest

from desktop import Desktop, Window, wait_for
from hosts import HEIGHT, HOMES, HOSTS, WIDTH, ensure_user, session_for

SCREENSHOTS = os.environ.get("HORALIS_SCREENSHOTS")


def errors_answered(traffic):
    """The error replies Horalis sent to calls on its item's and its menu's interfaces (a
    property read counts for the interface it names), from dbus-monitor's record."""
    with open(traffic) as record:
        lines = record.read().splitlines()
    ours = ("org.kde.StatusNotifierItem", "com.canonical.dbusmenu")
    names, calls, errors = set(), {}, []
    for number, line in enumerate(lines):
        following = lines[number + 1] if number + 1 < len(lines) else ""
        if line.startswith("method call") and "member=RegisterStatusNotifierItem" in line:
            names.add(line.split("sender=")[1].split()[0])
            names.add(following.strip().removeprefix("string ").strip('"'))
        elif line.startswith("method call"):
            fields = dict(part.split("=", 1) for part in line.replace(";", "").split()
                          if "=" in part)
            asked = fields.get("interface", "")
            if asked == "org.freedesktop.DBus.Properties":
                asked = following.strip().removeprefix("string ").strip('"')
            calls[(fields.get("sender"), fields.get("serial"))] = (fields.get("destination"),
                                                                  asked, line)
        elif line.startswith("error "):
            fields = dict(part.split("=", 1) for part in line.split() if "=" in part)
            call = calls.get((fields.get("destination"), fields.get("reply_serial")))
            if call and fields.get("sender") in names and call[1] in ours:
                errors.append(f"{call[2]} -> {fields.get('error_name')}")
    return errors


class HostTest(unittest.TestCase):
    host = None

    def setUp(self):
        ensure_user()
        self.session = session_for(self.host)
        self.addCleanup(self.session.close)

    def check_everything(self, horalis, icon):
        # 3:1, the least that WCAG asks of a graphical object, once the host has drawn the
        # picture (GNOME fetches it a moment after it has placed the item, later under load).
        last = [None]

        def stands_out():
            shown = self.session.shot("icon")
            last[0] = shown, self.session.contrast(icon, shown)
            return last[0][1] >= 3
        wait_for(stands_out, 5, 0.3)
        shown, contrast = last[0]
        self.assertGreaterEqual(contrast, 3, f"the icon hardly stands out ({contrast:.2f}:1)")
        if SCREENSHOTS:
            x = max(0, min(icon.x - 150, WIDTH - 300))
            y = max(0, min(icon.y - 10, HEIGHT - 40))
            subprocess.run(["convert", shown, "-crop", f"300x40+{x}+{y}", "+repage",
                            os.path.join(SCREENSHOTS, f"icon-{self.host}.png")], check=True)
        if SCREENSHOTS and self.host == "sway":
            self.session.open_panel(icon)
            subprocess.run(["convert", self.session.shot("panel"), "-crop", "640x420+640+0",
                            "+repage", os.path.join(SCREENSHOTS, "panel-waybar.png")],
                           check=True)
            self.session.click(*icon.center)
            wait_for(lambda: not self.session.panel_window(), 3)

        panel = self.session.open_panel(icon)
        self.assertIsNotNone(panel, "the panel did not open")
        self.assert_next_to_the_icon(panel, icon)
        # Its background follows the desktop's light or dark style.
        dark = HOSTS[self.host].get("dark", False)
        background = Window(0, panel.x + 4, panel.y + 4, panel.width - 8, 16)
        seen = []
        self.assertTrue(wait_for(lambda: (seen.append(self.session.lightness(
            background, self.session.shot("panel-shade"))) or seen[-1] < 0.5) == dark, 3),
            f"the panel is not {'dark' if dark else 'light'} (lightness {seen[-1:]})")
        if SCREENSHOTS and dark:
            subprocess.run(["convert", self.session.shot("panel-dark"), "-crop",
                            f"{panel.width + 40}x{panel.height + 50}+{panel.x - 20}+0",
                            "+repage", os.path.join(SCREENSHOTS, f"panel-{self.host}.png")],
                           check=True)
        # A person's second click comes a moment later, not in the same instant.
        time.sleep(1.5)
        before = self.session.shot("before-second-click")
        self.session.click(*icon.center)
        closed = wait_for(lambda: not self.session.panel_window(), 3)
        if not closed and HOSTS[self.host]["desktop"] == "GNOME":
            # GNOME Shell may keep that click for its own menu; there the menu's first entry
            # closes the panel as it opened it.
            menu = self.session.menu_area(icon, before)
            self.assertIsNotNone(menu, "the click on the icon did nothing")
            self.session.choose(menu, "show")
            closed = wait_for(lambda: not self.session.panel_window(), 5)
        self.assertTrue(closed, "a second click on the icon left the panel open")
        # That same click must not open it again.
        time.sleep(1.5)
        self.assertIsNone(self.session.panel_window(), "the closing click opened the panel again")
        if self.host == "sway":
            self.check_closing_over_a_wayland_bar(icon)
        elif self.host in ("gnomewayland", "plasmawayland"):
            self.check_closing_over_wayland_windows(icon)
        else:
            self.check_closing(icon)

        # Under a full run's load Cinnamon's menu once closed on the click without passing
        # it on (no call reached Horalis): a person opens the menu again.
        settings = None
        for _ in range(2):
            self.session.choose(self.session.open_menu(icon), "settings")
            settings = wait_for(self.session.settings_window, 5)
            if settings:
                break
        self.assertIsNotNone(settings, "Settings... opened no Settings window")
        self.assertEqual((settings.width, settings.height), (480, 280))

        self.session.choose(self.session.open_menu(icon), "quit")
        try:
            code = horalis.wait(10)
        except subprocess.TimeoutExpired:
            # As above: the menu may close without passing the click on.
            self.session.choose(self.session.open_menu(icon), "quit")
            code = horalis.wait(10)
        self.assertEqual(code, 0)

    def assert_next_to_the_icon(self, panel, icon):
        """The panel touches the bar's edge, on the screen's side of it, and spans the icon."""
        top = icon.y < HEIGHT // 2
        edge = self.session.bar_edge(top)
        if edge is None:
            # A bar that keeps no room: the icon's own edge.
            edge = icon.y + icon.height if top else icon.y
        away = panel.y - edge if top else edge - (panel.y + panel.height)
        self.assertTrue(0 <= away <= 8, f"the panel {panel} is {away} px from the bar's edge "
                        f"at {edge}, the icon at {icon}")
        self.assertTrue(panel.x <= icon.x and panel.x + panel.width >= icon.x + icon.width,
                        f"the panel {panel} does not span the icon {icon}")

    def assert_closes(self, icon, act, what):
        """The panel, opened, stays open, and closes on `act`, a moment later as a person's."""
        session = self.session
        # Under a full run's load Cinnamon once let a click on the icon pass unanswered; a
        # person clicks again.
        self.assertIsNotNone(session.open_panel(icon) or session.open_panel(icon),
                             "the panel did not open")
        time.sleep(1)
        self.assertIsNotNone(session.panel_window(), "the panel closed by itself")
        act()
        self.assertTrue(wait_for(lambda: not session.panel_window(), 3), f"{what} left the "
                        "panel open")
        # The next click on the icon a moment later, as a person's: some hosts take two clicks
        # within their double-click time for two activations.
        time.sleep(1)

    def check_closing(self, icon):
        """A click elsewhere and Escape close the panel (an X session's)."""
        session = self.session
        self.assert_closes(icon, lambda: session.click(WIDTH // 2, HEIGHT // 2),
                           "a click elsewhere")
        self.assert_closes(icon, lambda: session.key("Escape"), "Escape")

    def check_closing_over_a_wayland_bar(self, icon):
        """sway: the panel's X grab sees neither clicks on Wayland surfaces nor keys while a
        Wayland window has the keyboard; the shield over the screen takes both."""
        session = self.session
        session.open_other_window("first")
        self.assert_closes(icon, lambda: session.click(WIDTH // 2, HEIGHT * 3 // 4),
                           "a click on another program's window")
        # Escape closes it even with the keyboard given to another program's window.
        with session.keyboard_plugged_in():
            self.assert_closes(icon, lambda: (session.focus_window("other-window"),
                                              session.key("Escape")),
                               "Escape, with the keyboard given to another window,")
        self.check_clicks_on_the_panel_reach_it(icon)

    def check_closing_over_wayland_windows(self, icon):
        """GNOME and Plasma on Wayland: a click on the desktop or on another program's Wayland
        window, and Escape with such a window open and active, close the panel."""
        session = self.session
        self.assert_closes(icon, lambda: session.click(WIDTH // 2, HEIGHT * 3 // 4),
                           "a click on the desktop")
        self.assert_closes(icon, lambda: session.key("Escape"), "Escape")
        other = session.open_other_window("first")
        self.assert_closes(icon, lambda: session.key("Escape"),
                           "Escape, with another window open,")
        self.assert_closes(icon, lambda: session.click(other.x + 20,
                                                       other.y + other.height - 20),
                           "a click on another program's window")
        self.check_clicks_on_the_panel_reach_it(icon)

    def check_clicks_on_the_panel_reach_it(self, icon):
        """Above whatever takes the clicks elsewhere: its "Settings..." row opens Settings."""
        panel = self.session.open_panel(icon)
        self.session.click(*Desktop.panel_row(panel, "settings"))
        self.assertIsNotNone(wait_for(self.session.settings_window, 5),
                             "a click on the panel's Settings... row did nothing")

    def test_on_the_panel(self):
        self.session.start_panel()
        bus = self.session.monitor_bus()
        horalis = self.session.start_horalis()
        # A loaded machine may take a tray many seconds to draw each change; a minute is the
        # most a person would wait for an icon to show.
        icon = self.session.find_icon(60)
        self.assertIsNotNone(icon, "the icon did not appear")
        self.check_everything(horalis, icon)
        self.assert_the_host_had_nothing_to_complain_of(bus)

    def assert_the_host_had_nothing_to_complain_of(self, bus):
        """No error answer from Horalis to anything the host asked of its item or its menu,
        and nothing about the item in the host's own log (GNOME's extension logs a JavaScript
        error for each property an item lacks)."""
        if bus:
            self.assertEqual(errors_answered(bus), [], "Horalis answered the host with errors")
        home = self.session.home
        # Left out: GNOME's extension warns "While initalizing proxy" when a property read of
        # its own, made while it sets up a new item, goes out before it knows the name's owner
        # (seen once, under the sanitizer build's load), and "this._proxy is undefined" when
        # it reads the properties of an item whose set-up it has itself dropped (seen once,
        # under a full run's load, on Wayland); the item shows all the same. And "Promise
        # cancelled": the shell's own cancelling of a wait when its menu closes as the panel
        # takes the pointer, naming no call of the item's.
        def complains(line):
            text = line.replace(home, "").lower()
            if any(known in text for known in ("while initalizing proxy", "promise cancelled",
                                               "this._proxy is undefined")):
                return False
            return "js error" in text or (
                any(word in text for word in ("error", "warn", "critical", "fail")) and
                any(name in text for name in ("horalis", "statusnotifieritem", "appindicator")))
        complaints = [line for line in self.session.panel_log() if complains(line)]
        self.assertEqual(complaints, [], "the host logged errors about the item")

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
        self.assertIsNotNone(self.session.find_icon(60),
                             "the icon did not appear after the panel came up")
        self.session.stop_panel()
        self.session.start_panel()
        self.assert_listed_soon()
        self.assertIsNotNone(self.session.find_icon(60), "the icon did not come back")
        self.assertIsNone(horalis.poll())


# A test case for each desktop: Xfce, Lxqt, Tint2, Gnome, Cinnamon, Mate, Budgie, Plasma,
# GnomeWayland, PlasmaWayland, Sway.
for _name in HOSTS:
    _title = _name.capitalize().replace("wayland", "Wayland")
    globals()[_title] = type(_title, (HostTest,), {"host": _name})


def report(home):
    """The last lines each program of a session wrote, for the record of a failure."""
    for log in sorted(glob.glob(os.path.join(home, "*.log"))):
        with open(log, errors="replace") as text:
            lines = text.read().splitlines()[-12:]
        print(f"--- the last lines of {log}", *lines, sep="\n")


if __name__ == "__main__":
    # Each case brings up a whole desktop's shell and panel, headless, and now and then one of
    # them misses a step that no run by hand repeats. A case that fails runs once more, in a
    # fresh session; the first failure and its programs' last words stay in the log above.
    keep = os.environ.get("HORALIS_KEEP")
    os.environ["HORALIS_KEEP"] = "1"
    passed = False
    for attempt in ("first", "second"):
        passed = unittest.main(argv=sys.argv, verbosity=2, exit=False).result.wasSuccessful()
        if not passed:
            for home in HOMES:
                report(home)
        if not keep:
            for home in HOMES:
                shutil.rmtree(home, ignore_errors=True)
        HOMES.clear()
        if passed:
            break
        if attempt == "first":
            print("Once more, in a fresh session:", flush=True)
    sys.exit(0 if passed else 1)
