#!/usr/bin/env python3
"""Horalis beside a minimal reference tray program, under Xvfb with a real XEmbed tray:
time from start to icon docked, CPU time over an idle minute, resident memory after it, and
(with --soak) memory growth between the 1st and the 10th minute.

    bench/tray_bench.py BUILD_DIR [--idle 60] [--soak]
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from desktop import Desktop, wait_for  # noqa: E402


def cpu_seconds(pid):
    # schedstat counts the time on a CPU in nanoseconds, where stat counts 10 ms ticks.
    with open(f"/proc/{pid}/schedstat") as stat:
        return int(stat.read().split()[0]) / 1e9


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def docked_child(desktop):
    tray = desktop.tray_window()
    if not tray:
        return False
    # A docked icon is a named client window inside the tray's panel.
    tree = desktop.run("xwininfo", "-tree", "-id", tray)
    return '": ("' in tree.split("child", 1)[-1]


def start_up(binary, runs):
    times = []
    for _ in range(runs):
        desktop = Desktop(binary)
        try:
            desktop.start_tray()
            started = time.monotonic()
            desktop.start_horalis()
            wait_for(lambda: docked_child(desktop), 10, 0.005)
            times.append(time.monotonic() - started)
        finally:
            desktop.close()
    return statistics.median(times)


def idle(binary, seconds, soak):
    desktop = Desktop(binary)
    try:
        desktop.start_tray()
        process = desktop.start_horalis()
        wait_for(lambda: docked_child(desktop), 10, 0.01)
        time.sleep(2)  # past start-up
        cpu0 = cpu_seconds(process.pid)
        time.sleep(seconds)
        result = {"cpu": cpu_seconds(process.pid) - cpu0, "rss": rss_kib(process.pid)}
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
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--soak", action="store_true")
    args = parser.parse_args()
    programs = {"horalis": os.path.join(args.build, "Horalis", "app", "horalis"),
                "reference": os.path.join(args.build, "bench", "horalis_reference_tray")}
    results = {}
    for name, binary in programs.items():
        results[name] = idle(binary, args.idle, args.soak)
        results[name]["start"] = start_up(binary, args.runs)
    print(f"{'':<10} {'start-up':>10} {'CPU/' + str(args.idle) + ' s':>11} {'RSS':>10}"
          + (f" {'growth 1-10 min':>16}" if args.soak else ""))
    for name, r in results.items():
        print(f"{name:<10} {r['start'] * 1000:>8.0f}ms {r['cpu'] * 1000:>9.1f}ms "
              f"{r['rss'] / 1024:>7.1f}MiB" + (f" {r['growth']:>13}KiB" if args.soak else ""))
    h, ref = results["horalis"], results["reference"]
    print(f"ratios: CPU {h['cpu'] / max(ref['cpu'], 1e-9):.2f}x, start-up "
          f"{h['start'] / ref['start']:.2f}x, memory +{(h['rss'] - ref['rss']) / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
