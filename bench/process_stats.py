"""What a running process costs, read from /proc (and strace for its system calls)."""

import os
import subprocess


def cpu_seconds(pid):
    """CPU time of every thread of the process, in seconds: schedstat counts nanoseconds, where
    stat counts 10 ms ticks. 0 for a process that is gone."""
    total = 0
    try:
        for thread in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{thread}/schedstat") as stat:
                total += int(stat.read().split()[0])
    except (FileNotFoundError, ProcessLookupError):
        return 0
    return total / 1e9


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def wakeups(pid):
    """Voluntary context switches (the thread slept, then woke) by thread name."""
    counts = {}
    for thread in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{thread}/comm") as comm:
            name = comm.read().strip()
        with open(f"/proc/{pid}/task/{thread}/status") as status:
            for line in status:
                if line.startswith("voluntary_ctxt_switches"):
                    counts[name] = counts.get(name, 0) + int(line.split()[1])
    return counts


def wakeups_per_second(before, after, seconds):
    return {name: (after[name] - before.get(name, 0)) / seconds for name in after}


def system_calls_per_second(pid, seconds=20):
    """System calls of all threads, counted by strace over the window; None without strace."""
    try:
        report = subprocess.run(["timeout", str(seconds), "strace", "-f", "-c", "-p", str(pid)],
                                capture_output=True, text=True).stderr
    except FileNotFoundError:
        return None
    total = [line for line in report.splitlines() if line.strip().endswith("total")]
    return int(total[0].split()[3]) / seconds if total else None
