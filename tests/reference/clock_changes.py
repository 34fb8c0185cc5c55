"""Every clock change from 1970 to 2037 in every zone the system knows, a sample of the years
to 2100, and the dates the date line skipped or doubled: the day, week (each first weekday),
month and year fractions and the remaining-time text Horalis computes, against values worked
out here with Python's zoneinfo, which reads the same system database on its own."""

import datetime as dt
import subprocess
import sys
import zoneinfo

from zoneinfo_reference import UTC, changes, expected, instant, seconds

FIRST, LAST = 1970, 2037
SAMPLE_YEARS = range(2040, 2101, 15)
# Dates the date line took out or put in twice, each with its zone.
DATE_LINE = [("Pacific/Apia", dt.date(2011, 12, 30)), ("Pacific/Kiritimati", dt.date(1994, 12, 31)),
             ("Pacific/Kwajalein", dt.date(1993, 8, 21)), ("Pacific/Rarotonga", dt.date(1899, 12, 26))]


def cases():
    for name in sorted(zoneinfo.available_timezones()):
        for t in changes(name, FIRST, LAST, SAMPLE_YEARS):
            for delta in (-3600, -1, 0, 1, 5 * 3600):
                yield name, t + delta
        # Every zone, also one that never changed its clocks, at a few ordinary moments.
        for year in (1970, 2026, 2100):
            yield name, seconds(dt.datetime(year, 7, 1, 9, 30, tzinfo=UTC))
    for name, day in DATE_LINE:
        middle = seconds(dt.datetime.combine(day, dt.time(), tzinfo=UTC))
        for hour in range(-72, 72):
            yield name, middle + hour * 3600 + 17


def main():
    probe = sys.argv[1]
    work = list(cases())
    feed = "".join(f"{name} {t}\n" for name, t in work)
    out = subprocess.run([probe], input=feed, capture_output=True, text=True, check=True)
    lines = out.stdout.splitlines()
    assert len(lines) == len(work), (len(lines), len(work))
    labels = ["day", "month", "year", "text", "offset"] + [f"week from day {d}" for d in range(1, 8)]
    failures = 0
    for (name, t), line in zip(work, lines):
        got, want = line.split("\t"), expected(name, t)
        problems = []
        for label, g, w in zip(labels, got, want):
            if isinstance(w, float):
                if abs(float(g) - w) > 1e-12:
                    problems.append(f"{label} {g} != {w!r}")
            elif g != str(w):
                problems.append(f"{label} {g!r} != {w!r}")
        if problems:
            failures += 1
            if failures <= 20:
                print(f"{name} at {instant(t).isoformat()}: " + "; ".join(problems))
    zones = len({name for name, _ in work})
    print(f"{len(work)} instants in {zones} zones")
    print(f"{len(work) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
