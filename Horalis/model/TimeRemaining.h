#pragma once

#include "platform/Calendar.h"

#include <QString>

// The time left in the local day that contains `now`, as "3h 12m remaining today".
QString calculateTimeRemaining(double now, const Calendar& calendar);

// Whole seconds, truncated: "25h 0m ...", "59m 59s ...", "59s remaining today". A negative or
// non-finite number gives "0s remaining today".
QString formatTimeRemaining(double seconds);
