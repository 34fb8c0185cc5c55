"""The StatusNotifierItem path that KDE, GNOME's AppIndicator extension, XFCE and the tiling
bars use: a test host on a private session bus watches Horalis's item, reads its icon and
clicks it through D-Bus."""

import os
import re
import subprocess
import sys
import tempfile
import unittest

from desktop import Desktop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
SNI_HOST = os.environ["HORALIS_SNI_HOST"]


class SniTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(HORALIS)
        self.addCleanup(self.desktop.close)
        # At a fixed place, so that a bus restarted there is the same session bus.
        self.bus_socket = os.path.join(tempfile.mkdtemp(dir=self.desktop.home), "bus")
        self.desktop.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + self.bus_socket
        self.start_bus()
        # Qt's generic desktop integration: it uses StatusNotifierItem when a host is there.
        self.desktop.env.pop("XDG_CURRENT_DESKTOP", None)
        self.start_host()
        self.horalis = self.desktop.start_horalis()
        self.assert_registered()

    def start_bus(self):
        self.bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1",
             "--address=" + self.desktop.env["DBUS_SESSION_BUS_ADDRESS"]],
            stderr=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True, env=self.desktop.env)
        self.desktop.processes.append(self.bus)
        self.assertTrue(self.bus.stdout.readline().strip(), "no session bus")

    def start_host(self):
        self.host = subprocess.Popen([SNI_HOST], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, env=self.desktop.env)
        self.desktop.processes.append(self.host)
        self.assertEqual(self.host.stdout.readline().strip(), "ready")

    def assert_registered(self):
        line = self.host.stdout.readline().strip()
        self.assertTrue(line.startswith("registered "), line)

    def ask(self, command):
        self.host.stdin.write(command + "\n")
        self.host.stdin.flush()
        answers = []
        while True:
            line = self.host.stdout.readline().strip()
            if line == "done " + command or not line:
                return answers
            answers.append(line)

    def opaque_pixels(self):
        answer = self.ask("pixmap")
        self.assertEqual(len(answer), 1, answer)
        _, size, opaque = answer[0].split()
        return size, int(opaque)

    def test_icon_is_published_and_blank_while_show_icon_is_false(self):
        size, opaque = self.opaque_pixels()
        self.assertNotEqual(size, "0x0")
        self.assertGreater(opaque, 0)
        self.desktop.set_preference("showIcon", "false")
        self.assertTrue(wait_for(lambda: self.opaque_pixels()[1] == 0, 2.5))
        self.desktop.set_preference("showIcon", "true")
        self.assertTrue(wait_for(lambda: self.opaque_pixels()[1] > 0, 2.5))
        # The percentage changes every 14.4 minutes: a picture unchanged is not sent again.
        self.desktop.set_preference("iconStyle", "percentage")
        self.assertTrue(wait_for(lambda: self.opaque_pixels()[0] != size, 2.5))
        before = int(self.ask("newicons")[0].split()[1])
        self.assertFalse(wait_for(lambda: int(self.ask("newicons")[0].split()[1]) > before + 1,
                                  3), "unchanged pictures are sent to the host")

    def test_activate_opens_the_panel_and_context_menu_opens_the_menu(self):
        self.ask("activate")
        panel = wait_for(self.desktop.panel, 5)
        self.assertIsNotNone(panel, "Activate did not open the panel")
        self.ask("activate")
        self.assertTrue(wait_for(lambda: not self.desktop.panel(), 5), "a second Activate closes")

        self.ask("context")
        self.assertIsNotNone(wait_for(self.desktop.menu, 5), "ContextMenu did not open the menu")
        self.assertIsNone(self.desktop.panel(), "ContextMenu must not open the panel")
        self.assertIsNone(self.horalis.poll())

    def test_the_host_reads_both_sizes_the_tooltip_and_the_description(self):
        # The pill is 36 x 18 points, sent at 1x and 2x, each picture filled to its size.
        self.assertEqual(self.ask("sizes"), ["sizes 36x18 72x36"])
        [tooltip] = self.ask("tooltip")
        self.assertRegex(tooltip, r"^tooltip Horalis\|\d{1,2}% of the day, "
                                  r"(\d+h \d+m|\d+m|under a minute) remaining today$")
        # What the icon shows, in words, for a screen reader on a host that reads it (GNOME's
        # extension asks with every picture, and logs an error where there is none).
        figure = re.search(r"\|(\d{1,2})% of the day", tooltip).group(1)
        self.assertEqual(self.ask("accessible"),
                         [f"accessible {figure}% of the day|{figure}% of the day"])
        # A host shows its own menu on a left click where the item says it is only a menu;
        # Horalis's left click opens its panel.
        for name, value in (("ItemIsMenu", "false"), ("Menu", "/MenuBar"),
                            ("Title", "Horalis"), ("Status", "Active"),
                            ("Category", "ApplicationStatus")):
            self.assertEqual(self.ask(f"item {name}"), [f"item {name} {value}"])

    def test_gnome_gets_the_one_square_picture_its_icon_box_shows(self):
        # GNOME's extension stretches a picture to its square box and shows the smallest one
        # that fills it: 16 px by default, so the pill goes as 36 x 36 alone, and as 72 x 72
        # once the user makes the box larger than 36 px.
        keyfile = os.path.join(self.desktop.config, "glib-2.0", "settings", "keyfile")
        os.makedirs(os.path.dirname(keyfile))
        self.desktop.env.update(XDG_CURRENT_DESKTOP="GNOME", GSETTINGS_BACKEND="keyfile")
        self.horalis.terminate()
        self.horalis.wait()
        self.horalis = self.desktop.start_horalis()
        self.assert_registered()
        self.assertTrue(wait_for(lambda: self.ask("sizes") == ["sizes 36x36"], 5),
                        self.ask("sizes"))
        with open(keyfile, "w") as settings:
            settings.write("[org/gnome/shell/extensions/appindicator]\nicon-size=40\n")
        self.assertTrue(wait_for(lambda: self.ask("sizes") == ["sizes 72x72"], 5),
                        self.ask("sizes"))

    def test_a_hostile_client_gets_bounded_answers_and_horalis_stays_on_the_bus(self):
        # The menu as a host builds it, and an error for an item it lacks.
        self.assertEqual(self.ask("layout 0"), ["layout Settings...|-|Quit Horalis"])
        self.assertEqual(self.ask("layout 99"),
                         ["layout error org.freedesktop.DBus.Error.InvalidArgs"])
        # Half a million copies of one id: answered once, far below the bus's message limit.
        self.assertEqual(self.ask("flood 550000"), ["flood 1"])
        # Clicks by the hundred thousand on one call: one action, and each unknown id told once.
        self.assertEqual(self.ask("eventgroup 200000 99"), ["eventgroup 1"])
        self.assertEqual(self.ask("eventgroup 200000 2"), ["eventgroup 0"])
        self.assertEqual(self.ask("event 99"),
                         ["event error org.freedesktop.DBus.Error.InvalidArgs"])
        self.assertEqual(self.ask("property 1 label"), ["property Settings..."])
        for missing in ("property 1 x", "property 0 label", "property 99 label"):
            [answer] = self.ask(missing)
            self.assertEqual(answer, "property error org.freedesktop.DBus.Error.InvalidArgs",
                             missing)
        # Clicks at the ends of the int range are kept on the screen.
        for corner in ("2147483647 2147483647", "-2147483648 -2147483648"):
            self.ask("activate " + corner)
            self.assertIsNotNone(wait_for(self.desktop.panel, 5), corner)
            self.ask("activate " + corner)
            self.assertTrue(wait_for(lambda: not self.desktop.panel(), 5), corner)
            self.ask("context " + corner)
            self.assertIsNotNone(wait_for(self.desktop.menu, 5), corner)
            self.desktop.run("xdotool", "key", "Escape")
            self.assertTrue(wait_for(lambda: not self.desktop.menu(), 5), corner)
        self.assertEqual(self.ask("sizes"), ["sizes 36x18 72x36"], "no longer on the bus")
        # Nothing a client sends makes Horalis write to the log.
        self.horalis.terminate()
        out, errors = self.horalis.communicate(timeout=10)
        self.assertEqual((self.horalis.returncode, out, errors), (0, "", ""))

    def test_the_item_returns_when_the_session_bus_restarts(self):
        self.bus.terminate()
        self.bus.wait(5)
        self.host.kill()
        self.host.wait(5)
        # dbus-daemon removes its socket as it leaves.
        self.start_bus()
        self.start_host()
        self.assert_registered()
        # Both densities from the next refresh on, as for any host that comes later.
        self.assertTrue(wait_for(lambda: self.ask("sizes") == ["sizes 36x18 72x36"], 3))
        self.ask("activate")
        self.assertIsNotNone(wait_for(self.desktop.panel, 5), "no panel from the new bus")
        self.assertIsNone(self.horalis.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
