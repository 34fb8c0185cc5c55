"""The Settings window in a real X session: opened from the menu and from the panel, a style
chosen there showing in the tray, and closed the way a window manager closes windows."""

import os
import sys
import unittest

from desktop import DesktopTest, wait_for

SCREENSHOTS = os.environ.get("HORALIS_SCREENSHOTS")


class SettingsTest(DesktopTest):
    def test_settings_from_the_menu_and_choosing_circle_changes_the_icon(self):
        desktop = self.desktop
        _, icon = desktop.start_docked()
        window = desktop.open_settings(icon)
        self.assertEqual((window.width, window.height), (480, 280))
        if SCREENSHOTS:
            desktop.run("import", "-window", window.wid,
                        os.path.join(SCREENSHOTS, "settings-general.png"))
        window = desktop.open_settings(icon, tab=1)
        pill = desktop.picture_of(icon, "pill")
        desktop.click(*desktop.style_choice(window, 1))
        self.assertTrue(wait_for(lambda: desktop.stored("iconStyle") == "circle", 2),
                        "Circle was not stored")
        self.assertTrue(desktop.wait_for_picture(
            icon, lambda now: desktop.pixels_differing(now, pill) > 20, 2.5),
            "the tray icon did not change")
        if SCREENSHOTS:
            desktop.run("import", "-window", window.wid,
                        os.path.join(SCREENSHOTS, "settings-menubar.png"))

    def test_settings_from_the_panel_and_closing_it_from_its_frame_keeps_horalis(self):
        desktop = self.desktop
        desktop.start_window_manager()
        process, icon = desktop.start_docked()
        desktop.click(*icon.center)
        panel = wait_for(desktop.panel)
        self.assertIsNotNone(panel)
        desktop.click(*desktop.panel_row(panel, "settings"))
        window = wait_for(desktop.settings_window, 5)
        self.assertIsNotNone(window)
        self.assertTrue(wait_for(lambda: not desktop.panel(), 3), "the panel stayed open")
        # Asking again raises the same window rather than building a second one.
        desktop.click(*icon.center)
        desktop.click(*desktop.panel_row(wait_for(desktop.panel), "settings"))
        self.assertTrue(wait_for(lambda: not desktop.panel(), 3))
        self.assertEqual(len(desktop.windows_titled("Settings")), 1)

        # Alt+F4: openbox asks the window to close (WM_DELETE_WINDOW), as its close button does.
        desktop.run("xdotool", "windowactivate", "--sync", window.wid, "key", "alt+F4")
        self.assertTrue(wait_for(lambda: not desktop.settings_window(), 5), "it did not close")
        self.assertIsNone(process.poll(), "closing the Settings window ended Horalis")
        self.assertIsNotNone(desktop.open_settings(icon), "no fresh window after closing")
        self.assertIsNone(process.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
