// horalis_progress_probe: reads lines "<zone> <unix seconds>" and prints, for each, the day,
// week (Monday start), month and year fractions and the time-remaining text that Horalis
// computes there in the Gregorian calendar, tab-separated, with ICU's UTC offset in seconds.

#include "Horalis/model/PeriodProgress.h"
#include "Horalis/model/TimeRemaining.h"

#include <unicode/timezone.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

int main()
{
    std::map<std::string, Calendar> calendars;
    std::string zone;
    double now = 0;
    while (std::cin >> zone >> now) {
        auto found = calendars.find(zone);
        if (found == calendars.end())
            found = calendars
                        .emplace(zone, preparedCalendar(Calendar("en_US@calendar=gregorian", zone),
                                                        QStringLiteral("monday")))
                        .first;
        const Calendar& calendar = found->second;
        std::unique_ptr<icu::TimeZone> tz(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)));
        int32_t raw = 0, dst = 0;
        UErrorCode status = U_ZERO_ERROR;
        tz->getOffset(now * 1000.0, false, raw, dst, status);
        std::printf("%.17g\t%.17g\t%.17g\t%.17g\t%s\t%d\n", calculateDayProgress(now, calendar),
                    calculateWeekProgress(now, calendar), calculateMonthProgress(now, calendar),
                    calculateYearProgress(now, calendar),
                    qPrintable(calculateTimeRemaining(now, calendar)), (raw + dst) / 1000);
    }
    return 0;
}
