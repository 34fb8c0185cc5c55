"""The StatusNotifierItem path that KDE, GNOME's AppIndicator extension, XFCE and the tiling
bars use: a test host on a private session bus watches Horalis's item, reads its icon and
clicks it through D-Bus."""

import os
import subprocess
import sys
import unittest

from desktop import Desktop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
SNI_HOST = os.environ["HORALIS_SNI_HOST"]


class SniTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(HORALIS)
        self.addCleanup(self.desktop.close)
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stderr=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, text=True, env=self.desktop.env)
        self.desktop.processes.append(bus)
        address = bus.stdout.readline().strip()
        self.assertTrue(address, "no session bus")
        self.desktop.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # Qt's generic desktop integration: it uses StatusNotifierItem when a host is there.
        self.desktop.env.pop("XDG_CURRENT_DESKTOP", None)
        self.host = subprocess.Popen([SNI_HOST], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, env=self.desktop.env)
        self.desktop.processes.append(self.host)
        self.assertEqual(self.host.stdout.readline().strip(), "ready")
        self.horalis = self.desktop.start_horalis()
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


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
