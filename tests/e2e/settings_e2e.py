"""The Settings window in a real X session: opened from the menu and from the panel, and a
style chosen there showing in the tray."""

import os
import sys
import time
import unittest

from desktop import Desktop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]
SCREENSHOTS = os.environ.get("HORALIS_SCREENSHOTS")


class SettingsTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(HORALIS)
        self.addCleanup(self.desktop.close)
        self.desktop.start_tray()
        self.process, self.icon = self.desktop.start_docked()

    def settings_window(self):
        windows = self.desktop.windows_titled("Settings")
        return windows[0] if windows else None

    def test_settings_from_the_menu_and_choosing_circle_changes_the_icon(self):
        self.desktop.click(*self.icon.center, button=3)
        menu = wait_for(self.desktop.menu)
        self.assertIsNotNone(menu)
        self.desktop.click(menu.x + menu.width // 2, menu.y + 12)  # "Settings..."
        window = wait_for(self.settings_window, 5)
        self.assertIsNotNone(window, "the Settings window did not open")
        self.assertEqual((window.width, window.height), (480, 280))
        time.sleep(0.5)
        if SCREENSHOTS:
            self.desktop.run("import", "-window", window.wid,
                             os.path.join(SCREENSHOTS, "settings-general.png"))

        # The second tab sits right of the first at the top of the window.
        self.desktop.click(window.x + 120, window.y + 14)
        time.sleep(0.5)
        before = os.path.join(self.desktop.home, "before.png")
        self.desktop.screenshot(before, (self.icon.x, self.icon.y, self.icon.width,
                                         self.icon.height))
        # The radio buttons: Pill, Circle, Percentage under the heading.
        circle = self.find_radio(window, 1)
        self.desktop.click(*circle)
        if SCREENSHOTS:
            time.sleep(0.3)
            self.desktop.run("import", "-window", window.wid,
                             os.path.join(SCREENSHOTS, "settings-menubar.png"))
        self.assertTrue(wait_for(lambda: self.stored("iconStyle") == "circle", 2),
                        "Circle was not stored")
        after = os.path.join(self.desktop.home, "after.png")

        def icon_changed():
            self.desktop.screenshot(after, (self.icon.x, self.icon.y, self.icon.width,
                                            self.icon.height))
            return open(before, "rb").read() != open(after, "rb").read()

        self.assertTrue(wait_for(icon_changed, 2.5), "the tray icon did not change")

    def test_settings_from_the_panel_closes_the_panel_and_opens_one_window(self):
        self.desktop.click(*self.icon.center)
        panel = wait_for(self.desktop.panel)
        self.assertIsNotNone(panel)
        settings_row = (panel.x + panel.width // 2, panel.y + panel.height - 42)
        self.desktop.click(*settings_row)
        self.assertIsNotNone(wait_for(self.settings_window, 5))
        self.assertTrue(wait_for(lambda: not self.desktop.panel(), 3), "the panel stayed open")
        # Asking again raises the same window rather than building a second one.
        self.desktop.click(*self.icon.center)
        panel = wait_for(self.desktop.panel)
        self.desktop.click(*settings_row)
        time.sleep(0.5)
        self.assertEqual(len(self.desktop.windows_titled("Settings")), 1)
        self.assertIsNone(self.process.poll())

    def stored(self, key):
        try:
            with open(self.desktop.preferences_path()) as preferences:
                for line in preferences:
                    if line.startswith(key + "="):
                        return line.strip().split("=", 1)[1]
        except FileNotFoundError:
            pass
        return None

    def find_radio(self, window, index):
        # Radio buttons stand in a column below the "Icon Style" heading, inside the tab page.
        return window.x + 40, window.y + 86 + index * 22


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
