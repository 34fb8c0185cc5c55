#include "Horalis/Settings/IconColor.h"

namespace {
constexpr const char* kRawValues[] = {"auto", "black", "white"};
constexpr const char* kLabels[] = {"Automatic", "Black", "White"};
} // namespace

std::optional<IconColor> IconColor::fromRawValue(const QString& raw)
{
    for (IconColor color : allCases()) {
        if (raw == QLatin1String(kRawValues[color.value()]))
            return color;
    }
    return std::nullopt;
}

QString IconColor::rawValue() const
{
    return QString::fromLatin1(kRawValues[m_case]);
}

const char* IconColor::label() const
{
    return kLabels[m_case];
}
