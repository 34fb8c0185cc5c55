"""What a screen reader hears and a keyboard reaches, through the real accessibility bus
(at-spi2-core, read with pyatspi), on the XEmbed tray and on the StatusNotifierItem path. Horalis
runs at a faked instant, Sunday 6 December 2026, 06:00:10 UTC, so that each figure is known."""

import json
import os
import subprocess
import sys
import unittest

from desktop import Desktop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
SNI_HOST = os.environ["HORALIS_SNI_HOST"]
PROBE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "a11y_probe.py")
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
# At 06:00:10 on that Sunday: a week from Monday, December's 31 days, 365 days.
FIGURES = {"day": "25%", "Week": 89, "Month": 16, "Year": 92}


class AccessSession:
    """A desktop with the accessibility bus on, Horalis at the faked instant."""
    sni = False
    speed = ""

    def setUp(self):
        self.desktop = desktop = Desktop(HORALIS)
        self.addCleanup(desktop.close)
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               env=desktop.env)
        desktop.processes.append(bus)
        desktop.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        # As a screen reader turns it on: the bus's launcher starts the accessibility bus.
        desktop.run("dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                    "string:org.a11y.Status", "string:IsEnabled", "variant:boolean:true")
        if self.sni:
            desktop.env.pop("XDG_CURRENT_DESKTOP", None)
            self.host = subprocess.Popen([SNI_HOST], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, text=True, env=desktop.env)
            desktop.processes.append(self.host)
            self.assertEqual(self.host.stdout.readline().strip(), "ready")
        else:
            desktop.start_tray()
        faked = dict(desktop.env, LD_PRELOAD=FAKETIME, TZ="UTC",
                     FAKETIME="@2026-12-06 06:00:10" + self.speed,
                     FAKETIME_DONT_FAKE_MONOTONIC="1",
                     # The sanitizers' runtime would otherwise insist on coming first.
                     ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.horalis = subprocess.Popen([HORALIS], env=faked, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        desktop.processes.append(self.horalis)
        if self.sni:
            line = self.host.stdout.readline().strip()
            self.assertTrue(line.startswith("registered "), line)
        else:
            self.icon = wait_for(desktop.icon)
            self.assertIsNotNone(self.icon, "the icon did not dock")

    def probe(self, *command):
        out = subprocess.run(["/usr/bin/python3", PROBE, *command], env=self.desktop.env,
                             capture_output=True, text=True, timeout=60)
        self.assertEqual(out.returncode, 0, out.stderr[-2000:])
        return json.loads(out.stdout)

    def open_panel(self):
        if self.sni:
            self.host.stdin.write("activate 1100 10\n")
            self.host.stdin.flush()
            while self.host.stdout.readline().strip() != "done activate 1100 10":
                pass
        else:
            self.desktop.click(*self.icon.center)
        panel = wait_for(self.desktop.panel, 5)
        self.assertIsNotNone(panel, f"the panel did not open (Horalis running: "
                                    f"{self.horalis.poll() is None})")
        return panel

    def panel_objects(self):
        """The open panel's objects, once a screen reader finds them."""
        def found():
            tree = self.probe("tree")
            return tree if any(o["role"] == "push button" for o in tree) else None
        tree = wait_for(found, 10, 0.5)
        self.assertIsNotNone(tree, "no panel in the accessibility tree")
        return tree


class AccessTest(AccessSession):
    """The checks, for each path a tray item takes."""

    def test_a_screen_reader_reads_the_open_panel_and_presses_its_buttons(self):
        self.open_panel()
        tree = self.panel_objects()
        windows = [o for o in tree if o["depth"] == 1]
        self.assertEqual([(o["role"], o["name"]) for o in windows], [("frame", "Horalis")])
        labels = [o["name"] for o in tree if o["role"] == "label"]
        self.assertEqual(labels[0], FIGURES["day"])
        self.assertRegex(labels[1], r"^17h 59m remaining today$")
        bars = [o for o in tree if o["role"] == "progress bar"]
        self.assertEqual([(o["name"], o["value"]["now"]) for o in bars],
                         [(name, FIGURES[name]) for name in ("Week", "Month", "Year")])
        for bar in bars:
            self.assertEqual((bar["value"]["min"], bar["value"]["max"]), (0, 100))
        buttons = [o for o in tree if o["role"] == "push button"]
        self.assertEqual([o["name"] for o in buttons], ["Settings...", "Quit Horalis"])
        self.assertTrue(all("Press" in o["actions"] for o in buttons))
        self.assertTrue(any(o["focused"] for o in tree), "the panel did not take the focus")

        self.assertTrue(self.probe("do", "Settings...", "Press"))
        self.assertIsNotNone(wait_for(self.desktop.settings_window, 5),
                             "Press on Settings... opened no Settings window")

    def test_with_the_keyboard_alone_tab_and_return_open_settings_and_escape_closes_it(self):
        self.open_panel()
        self.desktop.run("xdotool", "key", "Tab", "Return")
        window = wait_for(self.desktop.settings_window, 5)
        self.assertIsNotNone(window, "Tab and Return opened no Settings window")
        self.assertTrue(wait_for(lambda: not self.desktop.panel(), 3))
        self.assertTrue(wait_for(lambda: self.desktop.colours_in(window) > 8, 5))
        # The window has the keyboard as it opens.
        self.desktop.run("xdotool", "key", "Escape")
        self.assertTrue(wait_for(lambda: not self.desktop.settings_window(), 5),
                        "Escape left the Settings window open")
        self.assertIsNone(self.horalis.poll())

    def test_the_settings_window_reads_in_order_and_announces_a_failure(self):
        # The autostart folder cannot be made: a file stands in its way.
        with open(os.path.join(self.desktop.config, "autostart"), "w"):
            pass
        self.open_panel()
        self.panel_objects()
        self.assertTrue(self.probe("do", "Settings...", "Press"))
        self.assertIsNotNone(wait_for(self.desktop.settings_window, 5))

        def settings():
            tree = self.probe("tree")
            return tree if any(o["name"] == "Launch at login" for o in tree) else None
        tree = wait_for(settings, 10, 0.5)
        self.assertIsNotNone(tree)
        self.assertIn(("frame", "Settings"), [(o["role"], o["name"]) for o in tree])
        self.assertEqual([o["name"] for o in tree if o["role"] == "page tab"],
                         ["General", "Menu Bar"])
        toggle = next(o for o in tree if o["name"] == "Launch at login")
        self.assertEqual(toggle["role"], "check box")
        self.assertEqual(toggle["description"], "Automatically start Horalis when you log in")

        self.assertTrue(self.probe("do", "Launch at login", "Toggle"))

        def alert():
            tree = self.probe("tree")
            return next((o for o in tree if o["role"] == "alert" and o["showing"]), None)
        told = wait_for(alert, 10, 0.5)
        self.assertIsNotNone(told, "the failure was not told as an alert")
        self.assertTrue(told["name"].startswith("Failed to configure launch at login: "))
        toggle = next(o for o in self.probe("tree") if o["name"] == "Launch at login")
        self.assertEqual(toggle["description"], told["name"])


class XEmbedAccess(AccessTest, unittest.TestCase):
    pass


class SniAccess(AccessTest, unittest.TestCase):
    sni = True


class FiguresTold(AccessSession, unittest.TestCase):
    """Time running three thousand times as fast: the week's figure turns every two seconds,
    the month's every nine."""
    speed = " x3000"

    def test_a_figure_is_told_when_it_changes_and_not_at_every_refresh(self):
        self.open_panel()
        self.panel_objects()
        heard = self.probe("listen", "4")
        # Three rows refreshed each second would tell twelve.
        self.assertGreaterEqual(heard["value"], 1, heard)
        self.assertLessEqual(heard["value"], 4, heard)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
