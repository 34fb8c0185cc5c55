"""Horalis under valgrind's memcheck for about 30 seconds in a real X session, with the panel,
the menu and the Settings window each opened and closed: no definite or indirect leak of its
own (tests/sanitizer/memcheck.supp lists, with reasons, what system libraries keep)."""

import os
import re
import sys
import time
import unittest

from desktop import DesktopTest, wait_for

SUPPRESSIONS = os.path.join(os.path.dirname(__file__), "..", "sanitizer", "memcheck.supp")


class MemcheckTest(DesktopTest):
    def test_no_leak_of_its_own_after_half_a_minute_of_use(self):
        desktop = self.desktop
        log = os.path.join(desktop.home, "memcheck.log")
        process = desktop.start_horalis(wrapper=(
            "valgrind", "--tool=memcheck", "--leak-check=full",
            "--errors-for-leak-kinds=definite,indirect", "--show-leak-kinds=definite,indirect",
            f"--suppressions={SUPPRESSIONS}", f"--log-file={log}"))
        icon = wait_for(desktop.icon, 60)
        self.assertIsNotNone(icon, "the icon did not dock under valgrind")
        started = time.monotonic()
        while time.monotonic() - started < 30:
            desktop.click(*icon.center)
            wait_for(desktop.panel, 10)
            desktop.click(300, 600)
            wait_for(lambda: not desktop.panel(), 10)
            try:
                window = desktop.open_settings(icon, timeout=15)
            except AssertionError:
                continue  # a click valgrind made too slow to land: the next round tries again
            desktop.run("xdotool", "windowclose", str(window.wid))
            wait_for(lambda: not desktop.settings_window(), 10)
        desktop.click(*desktop.menu_entry(desktop.open_menu(icon), "quit"))
        code = process.wait(120)
        with open(log) as report:
            text = report.read()
        self.assertEqual(code, 0, text[-6000:])
        # One summary for Horalis, and one for each helper libdbus forks before exec.
        summaries = re.findall(r"(definitely|indirectly) lost: ([\d,]+) bytes", text)
        self.assertTrue(summaries, text[-6000:])
        for kind, amount in summaries:
            self.assertEqual(amount, "0", f"{kind} lost:\n" + text[-8000:])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
