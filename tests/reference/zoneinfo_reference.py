"""Day, week, month and year fractions, the remaining-time text and the UTC offset at an
instant, worked out with Python's zoneinfo, which reads the system's zone database on its own:
the values Horalis must compute. Also where a zone's clocks change."""

import datetime as dt
import functools
import zoneinfo
from zoneinfo import _zoneinfo as pure_zoneinfo

UTC = dt.timezone.utc
EPOCH = dt.datetime(1970, 1, 1, tzinfo=UTC)


@functools.lru_cache(maxsize=None)
def zone_of(name):
    return zoneinfo.ZoneInfo(name)


def seconds(t):
    return int((t - EPOCH).total_seconds())


def instant(s):
    return EPOCH + dt.timedelta(seconds=s)


def local(zone, s):
    return instant(s).astimezone(zone).replace(tzinfo=None)


@functools.lru_cache(maxsize=None)
def first_moment(name, day):
    """The first instant whose local time is `day` 00:00 or later."""
    zone = zone_of(name)
    wall = dt.datetime.combine(day, dt.time())
    readings = [seconds(wall.replace(tzinfo=zone, fold=fold).astimezone(UTC)) for fold in (0, 1)]
    valid = [s for s in readings if local(zone, s) == wall]
    if valid:
        return min(valid)
    # In a gap: fold 0 reads the wall time with the offset before it (an instant after the
    # change), fold 1 with the offset after it (an instant before); the change lies between.
    low, high = min(readings), max(readings)
    while low + 1 < high:
        middle = (low + high) // 2
        if local(zone, middle) >= wall:
            high = middle
        else:
            low = middle
    return high


def expected(name, now):
    zone = zone_of(name)
    today = local(zone, now).date()

    def share(first_day, next_first_day):
        start, end = first_moment(name, first_day), first_moment(name, next_first_day)
        # Where clocks go back across midnight, the next date's first moment comes before
        # the last hour of this one: the period is then over.
        return min(max((now - start) / (end - start), 0.0), 1.0)

    first_of_month = today.replace(day=1)
    next_month = (first_of_month + dt.timedelta(32)).replace(day=1)
    left = max(first_moment(name, today + dt.timedelta(1)) - now, 0)
    h, m, s = left // 3600, left % 3600 // 60, left % 60
    text = (f"{h}h {m}m remaining today" if left >= 3600 else
            f"{m}m {s}s remaining today" if m else f"{s}s remaining today")
    weekday = today.isoweekday() % 7 + 1  # 1 = Sunday
    weeks = []
    for first in range(1, 8):
        start = today - dt.timedelta((weekday - first + 7) % 7)
        weeks.append(share(start, start + dt.timedelta(7)))
    offset = int(instant(now).astimezone(zone).utcoffset().total_seconds())
    return [share(today, today + dt.timedelta(1)), share(first_of_month, next_month),
            share(dt.date(today.year, 1, 1), dt.date(today.year + 1, 1, 1)), text, offset] + weeks


def offset_at(zone, s):
    return instant(s).astimezone(zone).utcoffset()


def changes_between(zone, start, end, step):
    """Instants where the offset changes, found on a grid and narrowed to the second."""
    found = []
    s, before = start, offset_at(zone, start)
    while s < end:
        following = min(s + step, end)
        after = offset_at(zone, following)
        if after != before:
            low, high = s, following
            while low + 1 < high:
                middle = (low + high) // 2
                if offset_at(zone, middle) == before:
                    low = middle
                else:
                    high = middle
            found.append(high)
        s, before = following, after
    return found


def changes(name, first, last, sample_years):
    """Every change from `first` to `last` (years) and in each of `sample_years`."""
    zone = zone_of(name)
    start = seconds(dt.datetime(first, 1, 1, tzinfo=UTC))
    end = seconds(dt.datetime(last + 1, 1, 1, tzinfo=UTC))
    # zoneinfo's own reading of the file's transitions, where this Python exposes it.
    listed = getattr(pure_zoneinfo.ZoneInfo.no_cache(name), "_trans_list_utc", None)
    if listed is not None:
        result = [t for t in listed
                  if start <= t < end and offset_at(zone, t) != offset_at(zone, t - 1)]
    else:
        result = changes_between(zone, start, end, 3 * 86400)
    for year in sample_years:
        result += changes_between(zone, seconds(dt.datetime(year, 1, 1, tzinfo=UTC)),
                                  seconds(dt.datetime(year + 1, 1, 1, tzinfo=UTC)), 7 * 86400)
    return result
