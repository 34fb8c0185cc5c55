// horalis_progress_probe: reads lines "<zone> <unix seconds>" and prints, for each, the day,
// month and year fractions, the time-remaining text, the zone's UTC offset in seconds and the
// week fraction for each first weekday from Sunday to Saturday, that Horalis computes there in
// the Gregorian calendar, tab-separated. The zone is read as TZ would be.

#include "Horalis/model/PeriodProgress.h"
#include "Horalis/model/TimeRemaining.h"
#include "platform/time/SystemTimeZone.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

int main()
{
    std::map<std::string, std::pair<std::shared_ptr<const ZoneRules>, Calendar>> calendars;
    std::string zone;
    double now = 0;
    while (std::cin >> zone >> now) {
        auto found = calendars.find(zone);
        if (found == calendars.end()) {
            auto rules = SystemTimeZone::load(zone);
            found = calendars
                        .emplace(zone,
                                 std::make_pair(rules, Calendar("en_US@calendar=gregorian", rules)))
                        .first;
        }
        const ZoneRules& rules = *found->second.first;
        Calendar& calendar = found->second.second;
        std::printf("%.17g\t%.17g\t%.17g\t%s\t%d", calculateDayProgress(now, calendar),
                    calculateMonthProgress(now, calendar), calculateYearProgress(now, calendar),
                    qPrintable(calculateTimeRemaining(now, calendar)),
                    rules.offsetAt(static_cast<int64_t>(std::floor(now))));
        for (int weekday = 1; weekday <= 7; ++weekday) {
            calendar.setFirstWeekday(weekday);
            std::printf("\t%.17g", calculateWeekProgress(now, calendar));
        }
        std::printf("\n");
    }
    return 0;
}
