#include "Horalis/model/TimeRemaining.h"

#include <QRegularExpression>

#include "Horalis/model/PeriodProgress.h"

#include <cmath>
#include <cstdint>

QString calculateTimeRemaining(double now, const Calendar& calendar)
{
    const auto day = currentDay(now, calendar);
    return formatTimeRemaining(day ? Calendar::interval(day->end, now) : 0.0);
}

QString formatTimeRemaining(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        seconds = 0.0;
    // Far beyond any day, but keeps the conversion to an integer defined.
    seconds = std::fmin(seconds, 1e15);
    const auto t = static_cast<std::int64_t>(seconds);
    const std::int64_t h = t / 3600;
    const std::int64_t m = (t % 3600) / 60;
    const std::int64_t s = t % 60;
    if (t >= 3600)
        return QStringLiteral("%1h %2m remaining today").arg(h).arg(m);
    if (t % 3600 >= 60)
        return QStringLiteral("%1m %2s remaining today").arg(m).arg(s);
    return QStringLiteral("%1s remaining today").arg(s);
}

QString toTheMinute(const QString& timeRemaining)
{
    static const QRegularExpression minutesAndSeconds(
        QStringLiteral("^(\\d+m) \\d+s (remaining today)$"));
    static const QRegularExpression seconds(QStringLiteral("^\\d+s remaining today$"));
    if (const auto match = minutesAndSeconds.match(timeRemaining); match.hasMatch())
        return match.captured(1) + QLatin1Char(' ') + match.captured(2);
    if (seconds.match(timeRemaining).hasMatch())
        return QStringLiteral("under a minute remaining today");
    return timeRemaining;
}
