"""The tray item in a real X session: docking, the panel, the menu, quitting, one instance."""

import os
import sys
import unittest

from desktop import DesktopTest, wait_for

SCREENSHOTS = os.environ.get("HORALIS_SCREENSHOTS")


class TrayTest(DesktopTest):
    def test_left_click_opens_the_panel_below_the_icon_and_a_click_outside_closes_it(self):
        process, icon = self.desktop.start_docked()
        self.desktop.click(*icon.center)
        panel = wait_for(self.desktop.panel)
        self.assertIsNotNone(panel, "the panel did not open")
        self.assertGreaterEqual(panel.y, icon.y + icon.height - 1, "the panel is not below")
        self.assertLessEqual(panel.x + panel.width, 1280)
        self.assertGreaterEqual(panel.x, 0)
        if SCREENSHOTS:
            wait_for(lambda: self.desktop.colours_in(panel) > 8, 3)
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "tray-panel.png"),
                                    (880, 0, 400, panel.y + panel.height + 10))

        self.desktop.click(300, 600)
        self.assertTrue(wait_for(lambda: not self.desktop.panel(), 5), "the panel stayed open")
        # Clicking the icon toggles: open, then closed again.
        self.desktop.click(*icon.center)
        self.assertTrue(wait_for(self.desktop.panel, 5))
        self.desktop.click(*icon.center)
        self.assertTrue(wait_for(lambda: not self.desktop.panel(), 5))
        self.assertIsNone(process.poll())

    def test_quit_from_the_context_menu_exits_with_status_zero(self):
        process, icon = self.desktop.start_docked()
        menu = self.desktop.open_menu(icon)
        self.assertIsNone(self.desktop.panel(), "a right click must not open the panel")
        self.desktop.click(*self.desktop.menu_entry(menu, "quit"))
        code = process.wait(10)
        errors = process.stderr.read()
        self.assertEqual(code, 0, errors[-4000:])
        self.assertEqual(process.stdout.read(), "", "nothing is printed")
        self.assertEqual(errors, "", "nothing is printed")

    def test_a_second_start_exits_at_once_and_adds_no_icon(self):
        first, _ = self.desktop.start_docked()
        second = self.desktop.start_horalis()
        self.assertEqual(second.wait(10), 0)
        self.assertEqual(len(self.desktop.docked_icons()), 1)
        self.assertIsNone(first.poll())

    def test_the_icon_comes_back_when_the_tray_restarts(self):
        process, _ = self.desktop.start_docked()
        self.desktop.stop_tray()
        self.desktop.start_tray()
        self.assertIsNotNone(wait_for(self.desktop.icon, 2.5), "the icon did not return")
        self.assertIsNone(process.poll())

    def test_an_icon_appears_when_a_tray_comes_up_after_the_start(self):
        self.desktop.stop_tray()
        process = self.desktop.start_horalis()
        # Up and running, with no tray to show it: it holds its one-instance lock.
        self.assertTrue(wait_for(lambda: os.path.exists(
            os.path.join(self.desktop.runtime, "horalis.lock")), 5))
        self.desktop.start_tray()
        self.assertIsNotNone(wait_for(self.desktop.icon, 5), "the icon did not dock")
        self.assertIsNone(process.poll(), "Horalis must keep running without a tray")

    def test_a_tray_that_drops_the_first_request_to_dock_still_gets_the_icon(self):
        self.desktop.stop_tray()
        self.desktop.start_forgetful_tray()
        process = self.desktop.start_horalis()
        self.assertIsNotNone(wait_for(self.desktop.icon, 10), "the icon did not dock")
        self.assertIsNone(process.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
