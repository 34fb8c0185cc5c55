#include "Horalis/Settings/WeekStart.h"

namespace {
constexpr const char* kRawValues[] = {"sunday",   "monday", "tuesday", "wednesday",
                                      "thursday", "friday", "saturday"};
constexpr const char* kDisplayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
} // namespace

std::optional<WeekStart> WeekStart::fromRawValue(const QString& raw)
{
    for (WeekStart day : allCases()) {
        if (raw == QLatin1String(kRawValues[day.value()]))
            return day;
    }
    return std::nullopt;
}

QString WeekStart::rawValue() const
{
    return QString::fromLatin1(kRawValues[m_case]);
}

QString WeekStart::displayName() const
{
    return QString::fromLatin1(kDisplayNames[m_case]);
}
