"""Faults Horalis must survive while it runs: its preferences file replaced by garbage, by
nothing, by wrong types, by a folder; a config folder it cannot use; the tray dying; odd files
where its own go; the signals that end a session."""

import os
import shutil
import signal
import subprocess
import sys
import time
import unittest

from desktop import DesktopTest, wait_for



class FaultsTest(DesktopTest):
    def test_a_replaced_preferences_file_reads_as_defaults_and_takes_new_settings(self):
        desktop = self.desktop
        process, icon = desktop.start_docked()
        pill = desktop.picture_of(icon, "pill")
        desktop.set_preference("iconStyle", "circle")
        circle = desktop.wait_for_picture(icon, lambda now: not desktop.looks_like(icon, pill))
        self.assertTrue(circle, "the circle was never drawn")
        circle = desktop.picture_of(icon, "circle")
        for content in (os.urandom(4096), b"\x00" * 100,
                        b"[General]\nshowIcon=17\niconStyle=@Variant(\\0\\0)\niconFlipped=maybe\n"
                        b"weekStart=1, 2\n", b""):
            desktop.replace_preferences(content)
            self.assertTrue(wait_for(lambda: desktop.looks_like(icon, pill), 3),
                            f"not back to the pill on {content[:20]!r}")
            self.assertIsNone(process.poll(), f"died on {content[:20]!r}")
            desktop.replace_preferences(b"[General]\niconStyle=circle\n")
            self.assertTrue(wait_for(lambda: desktop.looks_like(icon, circle), 3))
        desktop.replace_preferences(folder=True)
        self.assertTrue(wait_for(lambda: desktop.looks_like(icon, pill), 3))
        self.assertIsNone(process.poll(), "died on a folder in place of the file")

        # Once the file can be written again, a choice in the Settings window is stored.
        shutil.rmtree(desktop.preferences_path())
        window = desktop.open_settings(icon, tab=1)
        desktop.click(*desktop.style_choice(window, 1))
        self.assertTrue(wait_for(lambda: desktop.stored("iconStyle") == "circle", 3))
        self.assertTrue(wait_for(lambda: desktop.looks_like(icon, circle), 3))

    def test_an_unusable_config_folder_runs_on_defaults_and_stores_nothing(self):
        # A file where the config folder should be: it can be neither created nor written.
        blocked = os.path.join(self.desktop.home, "blocked")
        open(blocked, "w").close()
        self.desktop.env["XDG_CONFIG_HOME"] = blocked
        process, icon = self.desktop.start_docked()
        pill = self.desktop.picture_of(icon, "pill")
        window = self.desktop.open_settings(icon, tab=1)
        self.desktop.click(*self.desktop.style_choice(window, 1))
        # Past the next refreshes, the icon still shows the pill: nothing was stored.
        self.assertFalse(wait_for(lambda: not self.desktop.looks_like(icon, pill), 2.5),
                         "the icon shows a setting never stored")
        self.assertIsNone(process.poll())

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

    @unittest.skipUnless(os.geteuid() == 0, "a mount namespace of its own needs root")
    def test_a_fifo_put_at_etc_localtime_while_it_runs_never_holds_it(self):
        # /etc/localtime replaced under the running program, in a mount namespace of its own so
        # that the machine's file stays as it is. The C library opens a replaced zone file
        # again, blocking: any local time asked of it would hang there.
        fifo = os.path.join(self.desktop.home, "localtime")
        os.mkfifo(fifo)
        self.desktop.env.pop("TZ", None)
        process = self.desktop.start_horalis(
            wrapper=("unshare", "--mount", "--propagation", "private", "--"))
        icon = wait_for(self.desktop.icon)
        self.assertIsNotNone(icon, "the icon did not dock in the tray")
        pill = self.desktop.picture_of(icon, "pill")
        subprocess.run(["nsenter", "-t", str(process.pid), "-m", "mount", "--bind", fifo,
                        "/etc/localtime"], check=True)
        # Still reading its preferences and drawing: the icon follows a new style.
        self.desktop.set_preference("iconStyle", "circle")
        self.assertTrue(wait_for(lambda: not self.desktop.looks_like(icon, pill), 5),
                        "the icon stopped following the preferences")
        process.send_signal(signal.SIGTERM)
        process.communicate(timeout=10)
        self.assertEqual(process.returncode, 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
