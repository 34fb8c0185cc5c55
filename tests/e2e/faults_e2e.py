"""Faults Horalis must survive while it runs: its preferences file replaced by garbage, by
nothing, by wrong types, by a folder; a config folder it cannot use; the tray dying; odd files
where its own go; the signals that end a session."""

import os
import shutil
import signal
import sys
import time
import unittest

from desktop import Desktop, wait_for

HORALIS = os.environ["HORALIS_BINARY"]


class FaultsTest(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(HORALIS)
        self.addCleanup(self.desktop.close)
        self.desktop.start_tray()


    def looks_like(self, icon, picture):
        now = self.desktop.picture_of(icon, "now")
        return self.desktop.pixels_differing(now, picture) < 4

    def replace_preferences(self, content=None, folder=False):
        path = self.desktop.preferences_path()
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)
        if folder:
            os.makedirs(path)
        else:
            with open(path, "wb") as replacement:
                replacement.write(content)

    def open_menu_bar_tab(self, icon):
        self.desktop.click(*icon.center, button=3)
        menu = wait_for(self.desktop.menu)
        self.desktop.click(menu.x + menu.width // 2, menu.y + 12)
        window = wait_for(lambda: next(iter(self.desktop.windows_titled("Settings")), None), 5)
        self.assertIsNotNone(window, "the Settings window did not open")
        time.sleep(0.3)
        self.desktop.click(window.x + 120, window.y + 14)
        time.sleep(0.3)
        return window

    def test_a_replaced_preferences_file_reads_as_defaults_and_takes_new_settings(self):
        process, icon = self.desktop.start_docked()
        self.desktop.set_preference("iconStyle", "circle")
        time.sleep(1.5)
        circle = self.desktop.picture_of(icon, "circle")
        for content in (os.urandom(4096), b"", b"\x00" * 100,
                        b"[General]\nshowIcon=17\niconStyle=@Variant(\\0\\0)\niconFlipped=maybe\n"
                        b"weekStart=1, 2\n"):
            self.replace_preferences(content)
            time.sleep(1.5)
            self.assertIsNone(process.poll(), f"died on {content[:20]!r}")
            self.assertFalse(self.looks_like(icon, circle), "not back to the pill")
        self.replace_preferences(folder=True)
        time.sleep(1.5)
        self.assertIsNone(process.poll(), "died on a folder in place of the file")

        # Once the file can be written again, a choice in the Settings window is stored.
        shutil.rmtree(self.desktop.preferences_path())
        window = self.open_menu_bar_tab(icon)
        self.desktop.click(window.x + 40, window.y + 86 + 22)  # Circle
        self.assertTrue(wait_for(lambda: "iconStyle=circle" in self.read_preferences(), 3))
        self.assertTrue(wait_for(lambda: self.looks_like(icon, circle), 2.5))

    def test_an_unusable_config_folder_runs_on_defaults_and_stores_nothing(self):
        # A file where the config folder should be: it can be neither created nor written.
        blocked = os.path.join(self.desktop.home, "blocked")
        open(blocked, "w").close()
        self.desktop.env["XDG_CONFIG_HOME"] = blocked
        process, icon = self.desktop.start_docked()
        pill = self.desktop.picture_of(icon, "pill")
        window = self.open_menu_bar_tab(icon)
        self.desktop.click(window.x + 40, window.y + 86 + 22)  # Circle
        time.sleep(1.5)
        self.assertIsNone(process.poll())
        self.assertTrue(self.looks_like(icon, pill), "the icon shows a setting never stored")

    def test_the_tray_dying_and_coming_back_costs_no_cpu_in_between(self):
        process, _ = self.desktop.start_docked()
        self.desktop.stop_tray()
        with open(f"/proc/{process.pid}/schedstat") as stat:
            before = int(stat.read().split()[0])
        time.sleep(3)
        with open(f"/proc/{process.pid}/schedstat") as stat:
            spent = (int(stat.read().split()[0]) - before) / 1e9
        self.assertLess(spent, 0.3, "spinning without a tray")
        self.desktop.start_tray()
        self.assertIsNotNone(wait_for(self.desktop.icon, 2.0), "the icon did not return in 2 s")
        self.assertIsNone(process.poll())

    def test_odd_files_at_start_never_hold_it_and_session_signals_quit_cleanly(self):
        # A FIFO for the preferences, a folder for QSettings' lock, an empty instance lock: each
        # once kept the icon from ever appearing.
        folder = os.path.dirname(self.desktop.preferences_path())
        os.makedirs(folder, exist_ok=True)
        os.mkfifo(self.desktop.preferences_path())
        os.makedirs(self.desktop.preferences_path() + ".lock")
        open(os.path.join(self.desktop.runtime, "horalis.lock"), "w").close()
        for quit_signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            process, _ = self.desktop.start_docked()
            process.send_signal(quit_signal)
            out, errors = process.communicate(timeout=10)
            self.assertEqual(process.returncode, 0, f"{quit_signal!r} did not quit cleanly")
            self.assertEqual((out, errors), ("", ""))
            wait_for(lambda: self.desktop.icon() is None, 5)

    def read_preferences(self):
        try:
            with open(self.desktop.preferences_path()) as preferences:
                return preferences.read()
        except OSError:
            return ""


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
