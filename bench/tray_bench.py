#!/usr/bin/env python3
"""Horalis beside a minimal reference tray program, under Xvfb with a real XEmbed tray (or,
with --sni, a StatusNotifierItem host on a session bus of its own): time from start to icon
shown, CPU time over an idle minute, resident memory after it, and (with --soak) memory growth
between the 1st and the 10th minute.

    bench/tray_bench.py BUILD_DIR [--idle 60] [--soak] [--sni]
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from desktop import Desktop, wait_for  # noqa: E402
from process_stats import (cpu_seconds, rss_kib, system_calls_per_second,  # noqa: E402
                           wakeups, wakeups_per_second)


def docked_child(desktop):
    tray = desktop.tray_window()
    if not tray:
        return False
    # A docked icon is a named client window inside the tray's panel.
    tree = desktop.run("xwininfo", "-tree", "-id", tray)
    return '": ("' in tree.split("child", 1)[-1]


def prepare(desktop, sni_host):
    """The tray to show the item: trayer, or a StatusNotifierItem host; returns a function
    that waits until the item is shown."""
    if not sni_host:
        desktop.start_tray()
        return lambda: wait_for(lambda: docked_child(desktop), 10, 0.005)
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    desktop.processes.append(bus)
    desktop.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    host = subprocess.Popen([sni_host], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True, env=desktop.env)
    desktop.processes.append(host)
    assert host.stdout.readline().strip() == "ready"
    return lambda: host.stdout.readline().startswith("registered")


def start_up(binary, sni_host):
    """From start to the item shown, as at every start after the first: the preferences file
    is there (the first start writes it)."""
    desktop = Desktop(binary)
    try:
        os.makedirs(os.path.dirname(desktop.preferences_path()), exist_ok=True)
        desktop.replace_preferences(b"[General]\nhasLaunchedBefore=true\nshowIcon=true\n")
        shown = prepare(desktop, sni_host)
        started = time.monotonic()
        desktop.start_horalis()
        shown()
        return time.monotonic() - started
    finally:
        desktop.close()


def idle(binary, seconds, settle, soak, sni_host):
    desktop = Desktop(binary)
    try:
        shown = prepare(desktop, sni_host)
        process = desktop.start_horalis()
        shown()
        time.sleep(settle)  # past start-up, and past the first looks at the tray
        cpu0, woken = cpu_seconds(process.pid), wakeups(process.pid)
        time.sleep(seconds)
        result = {"cpu": cpu_seconds(process.pid) - cpu0, "rss": rss_kib(process.pid),
                  "wakeups": wakeups_per_second(woken, wakeups(process.pid), seconds),
                  "syscalls": system_calls_per_second(process.pid)}
        if soak:
            time.sleep(max(0, 60 - seconds))
            first = rss_kib(process.pid)
            time.sleep(9 * 60)
            result["growth"] = rss_kib(process.pid) - first
        return result
    finally:
        desktop.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--idle", type=int, default=60)
    parser.add_argument("--settle", type=int, default=2)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--soak", action="store_true")
    parser.add_argument("--sni", action="store_true")
    args = parser.parse_args()
    sni_host = os.path.join(args.build, "tests", "horalis_sni_host") if args.sni else None
    programs = {"horalis": os.path.join(args.build, "Horalis", "app", "horalis"),
                "reference": os.path.join(args.build, "bench", "horalis_reference_tray")}
    results = {}
    for name, binary in programs.items():
        results[name] = idle(binary, args.idle, args.settle, args.soak, sni_host)
    # Turn about, so that whatever else the machine is doing weighs on both alike.
    starts = {name: [] for name in programs}
    for run in range(args.runs):
        for name in (list(programs) if run % 2 == 0 else list(reversed(programs))):
            starts[name].append(start_up(programs[name], sni_host))
    for name in programs:
        results[name]["start"] = statistics.median(starts[name])
    print(f"{'':<10} {'start-up':>10} {'CPU/' + str(args.idle) + ' s':>11} {'RSS':>10}"
          + (f" {'growth 1-10 min':>16}" if args.soak else ""))
    for name, r in results.items():
        print(f"{name:<10} {r['start'] * 1000:>8.0f}ms {r['cpu'] * 1000:>9.1f}ms "
              f"{r['rss'] / 1024:>7.1f}MiB" + (f" {r['growth']:>13}KiB" if args.soak else ""))
    for name, r in results.items():
        print(f"{name} wake-ups a second: " + ", ".join(
            f"{thread} {rate:.2f}" for thread, rate in r["wakeups"].items()) +
            f" (all {sum(r['wakeups'].values()):.2f}); system calls a second: {r['syscalls']}")
    h, ref = results["horalis"], results["reference"]
    print(f"ratios: CPU {h['cpu'] / max(ref['cpu'], 1e-9):.2f}x, start-up "
          f"{h['start'] / ref['start']:.2f}x, memory +{(h['rss'] - ref['rss']) / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
