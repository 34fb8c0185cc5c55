#!/usr/bin/env python3
"""What a tray item costs the desktop around it: a real host (xfce4-panel, or GNOME Shell with
its AppIndicator extension) run beside nothing, the reference tray program, and Horalis in each
icon style, in turn and alternating between rounds. Each run is a fresh session of its own (X
display, session bus, panel), idle for the window given; measured are the CPU of the host, of
the X server and of the session bus over the window, what the item sent and was asked for on
the bus (`NewIcon`, `NewToolTip`, bytes of its replies), and the item's own voluntary
wake-ups per thread and system calls per second.

    sudo HORALIS_BINARY=build/Horalis/app/horalis bench/host_cost.py build --host xfce

Run as root, as the suite's host tests are: the panels run as an unprivileged user."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from desktop import stop, wait_for  # noqa: E402
from hosts import USER, Session, ensure_user  # noqa: E402
from process_stats import (cpu_seconds, system_calls_per_second, wakeups,  # noqa: E402
                           wakeups_per_second)

PROGRAMS = ["none", "reference", "pill", "circle", "percentage"]


def user_processes():
    """The test user's processes: pid -> command name."""
    out = subprocess.run(["ps", "-u", USER, "-o", "pid=,comm="], capture_output=True, text=True)
    return {int(line.split()[0]): line.split(None, 1)[1].strip()
            for line in out.stdout.splitlines() if line.strip()}


def pcap_messages(path):
    """Each D-Bus message in a dbus-monitor --pcap capture: (type, sender, destination,
    member, size in bytes)."""
    with open(path, "rb") as capture:
        data = capture.read()
    position, messages = 24, []
    while position + 16 <= len(data):
        _, _, length, _ = struct.unpack_from("<IIII", data, position)
        message = data[position + 16:position + 16 + length]
        position += 16 + length
        if len(message) < 16:
            continue
        order = "<" if message[0:1] == b"l" else ">"
        kind = message[1]
        fields_length = struct.unpack_from(order + "I", message, 12)[0]
        fields, offset, end = {}, 16, 16 + fields_length
        while offset < end:
            offset = (offset + 7) & ~7
            code, signature_length = message[offset], message[offset + 1]
            signature = message[offset + 2:offset + 2 + signature_length].decode()
            offset += 3 + signature_length
            if signature in ("s", "o"):
                offset = (offset + 3) & ~3
                size = struct.unpack_from(order + "I", message, offset)[0]
                fields[code] = message[offset + 4:offset + 4 + size].decode(errors="replace")
                offset += 5 + size
            elif signature == "u":
                offset = (offset + 3) & ~3
                offset += 4
            elif signature == "g":
                offset += 2 + message[offset]
            else:
                break
        messages.append((kind, fields.get(7, ""), fields.get(6, ""), fields.get(3, ""),
                         len(message)))
    return messages


def run_once(build, host, program, minutes):
    session = Session(host)
    result = {}
    try:
        session.start_panel()
        before = set(user_processes())
        if program == "reference":
            binary = os.path.join(session.home, "reference")
            shutil.copy(os.path.join(build, "bench", "horalis_reference_tray"), binary)
            subprocess.run(["chown", USER, binary], check=True)
            item = session.spawn([binary])
        elif program != "none":
            session.set_preference("iconStyle", program)
            subprocess.run(["chown", "-R", USER, session.env["XDG_CONFIG_HOME"]], check=True)
            item = session.start_horalis()
        if program != "none":
            assert wait_for(session.listed_by_watcher, 30), "the item was not listed"
            # The program's process, not runuser's.
            item_pid = wait_for(lambda: next((pid for pid, name in user_processes().items()
                                              if pid not in before and name in
                                              ("horalis", "reference")), None), 10)
        # Past start-up: the host has drawn the item, the item has settled.
        time.sleep(20)
        pcap = os.path.join(session.home, "bus.pcap")
        monitor = session.spawn(["dbus-monitor", "--session", "--pcap"],
                                stdout=open(pcap, "wb"))
        time.sleep(1)
        # The session bus, not the accessibility bus a desktop may start beside it.
        bus_pid = next(pid for pid, name in user_processes().items() if name == "dbus-daemon"
                       and "--session" in open(f"/proc/{pid}/cmdline").read())
        hosts = [pid for pid, name in user_processes().items()
                 if name not in ("horalis", "reference", "dbus-daemon", "dbus-monitor",
                                 "runuser", "env", "sh")]
        measured = {"host": hosts, "X server": [session.xvfb.pid], "bus": [bus_pid]}
        # Per process, and only those alive at both ends: one that ends in the window takes
        # its CPU time with it.
        start = {pid: cpu_seconds(pid) for pids in measured.values() for pid in pids}
        woken = wakeups(item_pid) if program != "none" else {}
        item_cpu = cpu_seconds(item_pid) if program != "none" else 0
        window = minutes * 60
        time.sleep(window)
        for what, pids in measured.items():
            spent = 0
            for pid in pids:
                now = cpu_seconds(pid)
                spent += now - start[pid] if now else 0
            result[what] = spent * 3600 / window
        if program != "none":
            result["item"] = (cpu_seconds(item_pid) - item_cpu) * 3600 / window
            result["wakeups"] = wakeups_per_second(woken, wakeups(item_pid), window)
        stop(monitor)
        if program != "none":
            result["syscalls"] = system_calls_per_second(item_pid)
        messages = pcap_messages(pcap)
        names = {m[1] for m in messages if m[3] in ("NewIcon", "NewToolTip")}
        per_hour = 3600 / (window + 1)
        result["NewIcon"] = sum(m[3] == "NewIcon" for m in messages) * per_hour
        result["NewToolTip"] = sum(m[3] == "NewToolTip" for m in messages) * per_hour
        # Replies the item sent (kind 2: method return), what the host fetched.
        result["fetched"] = sum(m[4] for m in messages if m[0] == 2 and m[1] in names) * per_hour
        # What the host asked for: single properties, or the whole item.
        result["Get"] = sum(m[0] == 1 and m[3] == "Get" and m[2] in names
                            for m in messages) * per_hour
        result["GetAll"] = sum(m[0] == 1 and m[3] == "GetAll" and m[2] in names
                               for m in messages) * per_hour
    finally:
        session.close()
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--host", default="xfce", choices=["xfce", "gnome"])
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--programs", default=",".join(PROGRAMS))
    args = parser.parse_args()
    ensure_user()
    programs = args.programs.split(",")
    results = {program: [] for program in programs}
    for round_number in range(args.rounds):
        order = programs if round_number % 2 == 0 else list(reversed(programs))
        for program in order:
            results[program].append(run_once(args.build, args.host, program, args.minutes))
            print(program, results[program][-1], flush=True)

    def mean(program, key):
        values = [r.get(key) for r in results[program] if r.get(key) is not None]
        return sum(values) / len(values) if values else 0

    idle = mean("none", "host") if "none" in results else 0
    reference_extra = mean("reference", "host") - idle if "reference" in results else 0
    print(f"\n{args.host}: CPU seconds an hour, and what the item sent an hour")
    print(f"{'':<11} {'host':>7} {'extra':>7} {'/ref':>6} {'X':>6} {'bus':>6} {'item':>6} "
          f"{'NewIcon':>8} {'NewToolTip':>10} {'Get':>6} {'GetAll':>6} {'fetched':>10} "
          f"{'syscalls/s':>10}")
    for program in programs:
        extra = mean(program, "host") - idle
        ratio = extra / reference_extra if reference_extra > 0 else float("nan")
        print(f"{program:<11} {mean(program, 'host'):7.2f} {extra:7.2f} {ratio:6.2f} "
              f"{mean(program, 'X server'):6.2f} {mean(program, 'bus'):6.2f} "
              f"{mean(program, 'item'):6.2f} {mean(program, 'NewIcon'):8.0f} "
              f"{mean(program, 'NewToolTip'):10.0f} {mean(program, 'Get'):6.0f} "
              f"{mean(program, 'GetAll'):6.0f} {mean(program, 'fetched'):10.0f} "
              f"{mean(program, 'syscalls'):10.1f}")
    for program in programs:
        for r in results[program]:
            if r.get("wakeups"):
                print(f"{program} wake-ups a second: " + ", ".join(
                    f"{name} {value:.2f}" for name, value in r["wakeups"].items()) +
                    f" (all {sum(r['wakeups'].values()):.2f})")


if __name__ == "__main__":
    main()
