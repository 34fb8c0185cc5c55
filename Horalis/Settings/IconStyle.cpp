#include "Horalis/Settings/IconStyle.h"

namespace {
constexpr const char* kRawValues[] = {"pill", "circle", "percentage"};
constexpr const char* kLabels[] = {"Pill", "Circle", "Percentage"};
} // namespace

std::optional<IconStyle> IconStyle::fromRawValue(const QString& raw)
{
    for (IconStyle style : allCases()) {
        if (raw == QLatin1String(kRawValues[style.value()]))
            return style;
    }
    return std::nullopt;
}

QString IconStyle::rawValue() const
{
    return QString::fromLatin1(kRawValues[m_case]);
}

const char* IconStyle::label() const
{
    return kLabels[m_case];
}
