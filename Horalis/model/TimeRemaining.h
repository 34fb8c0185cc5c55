#pragma once

#include "platform/time/Calendar.h"

#include <QString>

// The time left in the local day that contains `now`, as "3h 12m remaining today".
QString calculateTimeRemaining(double now, const Calendar& calendar);

// Whole seconds, truncated: "25h 0m ...", "59m 59s ...", "59s remaining today". A negative or
// non-finite number gives "0s remaining today".
QString formatTimeRemaining(double seconds);

// The same text to the minute, for the tray item's tooltip: a host fetches the whole item each
// time the tooltip changes, so it changes once a minute at most. "47m 12s remaining today"
// becomes "47m remaining today", "12s remaining today" "under a minute remaining today";
// hours and minutes stay as they are.
QString toTheMinute(const QString& timeRemaining);
