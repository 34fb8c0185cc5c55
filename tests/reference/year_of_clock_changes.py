"""Every clock change of 2026, and the hours around each, in 36 zones with different rules:
the fractions and the remaining-time text Horalis computes, against values worked out here
with Python's zoneinfo over the system's time-zone data (Gregorian calendar, weeks from Monday).

ICU carries its own copy of the zone data (2022e on Debian 12). These zones have the same rules
for 2026 in both; zones whose rules changed since (Mexico, Egypt, Greenland, Kazakhstan,
Paraguay, Jordan, Syria, Fiji, Palestine, Chile's Aysen) are left out. The test checks that the
two agree on every UTC offset it uses, so a drift in either shows as such."""

import datetime as dt
import os
import subprocess
import sys
from zoneinfo import ZoneInfo

ZONES = [
    "America/New_York", "America/Chicago", "America/Denver", "America/Los_Angeles",
    "America/Anchorage", "America/Halifax", "America/St_Johns", "America/Havana",
    "America/Santiago", "America/Sao_Paulo", "America/Bogota", "Pacific/Honolulu",
    "Europe/London", "Europe/Dublin", "Europe/Lisbon", "Europe/Berlin", "Europe/Helsinki",
    "Europe/Moscow", "Europe/Istanbul", "Africa/Casablanca", "Africa/Johannesburg",
    "Africa/Lagos", "Asia/Jerusalem", "Asia/Tehran", "Asia/Kolkata", "Asia/Kathmandu",
    "Asia/Shanghai", "Asia/Tokyo", "Australia/Sydney", "Australia/Adelaide",
    "Australia/Lord_Howe", "Australia/Perth", "Pacific/Auckland", "Pacific/Chatham",
    "Pacific/Apia", "Antarctica/Troll",
]
YEAR = 2026
UTC = dt.timezone.utc


def local_midnight(zone, day):
    """The first moment of a local date: midnight, or the end of a gap that swallowed it."""
    for minutes in range(0, 24 * 60, 15):
        wall = dt.datetime.combine(day, dt.time()) + dt.timedelta(minutes=minutes)
        aware = wall.replace(tzinfo=zone, fold=0)
        # A wall time in a gap does not survive the round trip through UTC.
        if aware.astimezone(UTC).astimezone(zone).replace(tzinfo=None) == wall:
            return aware.astimezone(UTC)
    raise ValueError(f"no moment of {day} exists in {zone}")


def share(now, start, end):
    return (now - start).total_seconds() / (end - start).total_seconds()


def expected(zone, now):
    local = now.astimezone(zone).date()
    day0, day1 = local_midnight(zone, local), local_midnight(zone, local + dt.timedelta(1))
    monday = local - dt.timedelta(local.weekday())
    week0, week1 = local_midnight(zone, monday), local_midnight(zone, monday + dt.timedelta(7))
    first = local.replace(day=1)
    following = (first + dt.timedelta(32)).replace(day=1)
    month0, month1 = local_midnight(zone, first), local_midnight(zone, following)
    year0 = local_midnight(zone, dt.date(local.year, 1, 1))
    year1 = local_midnight(zone, dt.date(local.year + 1, 1, 1))
    left = int((day1 - now).total_seconds())
    h, m, s = left // 3600, left % 3600 // 60, left % 60
    text = (f"{h}h {m}m remaining today" if left >= 3600 else
            f"{m}m {s}s remaining today" if m else f"{s}s remaining today")
    return (share(now, day0, day1), share(now, week0, week1), share(now, month0, month1),
            share(now, year0, year1), text, int(now.astimezone(zone).utcoffset().total_seconds()))


def instants(zone):
    """Every hour of each day that holds a change, the minutes around each change, and every
    day's first moment of the year."""
    start = dt.datetime(YEAR, 1, 1, tzinfo=UTC) - dt.timedelta(days=1)
    previous = start.astimezone(zone).utcoffset()
    moments = set()
    for hour in range(0, 24 * 368):
        t = start + dt.timedelta(hours=hour)
        offset = t.astimezone(zone).utcoffset()
        if offset != previous:
            for minutes in range(-180, 180, 7):
                moments.add(t + dt.timedelta(minutes=minutes))
            for hours in range(-30, 30):
                moments.add(t + dt.timedelta(hours=hours, seconds=17))
        previous = offset
    day = dt.date(YEAR, 1, 1)
    while day.year == YEAR:
        moments.add(local_midnight(zone, day))
        day += dt.timedelta(1)
    return sorted(m for m in moments if m.astimezone(zone).year == YEAR)


def main():
    probe = sys.argv[1]
    cases = [(name, t) for name in ZONES for t in instants(ZoneInfo(name))]
    feed = "".join(f"{name} {int(t.timestamp())}\n" for name, t in cases)
    out = subprocess.run([probe], input=feed, capture_output=True, text=True, check=True)
    lines = out.stdout.splitlines()
    assert len(lines) == len(cases), (len(lines), len(cases))
    failures = 0
    changes = 0
    for (name, t), line in zip(cases, lines):
        got = line.split("\t")
        want = expected(ZoneInfo(name), t)
        problems = []
        if int(got[5]) != want[5]:
            problems.append(f"ICU's offset {got[5]} s, the system's {want[5]} s")
        for label, g, w in zip(("day", "week", "month", "year"), got[:4], want[:4]):
            if abs(float(g) - w) > 1e-12:
                problems.append(f"{label} {g} != {w!r}")
        if got[4] != want[4]:
            problems.append(f"text {got[4]!r} != {want[4]!r}")
        if problems:
            failures += 1
            if failures <= 20:
                print(f"{name} at {t.isoformat()}: " + "; ".join(problems))
        changes += 1
    print(f"{changes - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
