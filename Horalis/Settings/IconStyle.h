#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// The tray icon's style, stored under "iconStyle" as its raw text.
class IconStyle
{
public:
    enum Case
    {
        pill,
        circle,
        percentage
    };

    constexpr IconStyle(Case value) : m_case(value) {}

    // Exact, case-sensitive match of a raw text ("pill", "circle", "percentage"); none otherwise.
    static std::optional<IconStyle> fromRawValue(const QString& raw);
    static constexpr std::array<IconStyle, 3> allCases() { return {pill, circle, percentage}; }

    constexpr Case value() const { return m_case; }
    QString rawValue() const;
    // The label of the style's choice in the Settings window, before translation.
    const char* label() const;

    friend constexpr bool operator==(IconStyle, IconStyle) = default;

private:
    Case m_case;
};

inline size_t qHash(IconStyle style, size_t seed = 0)
{
    return ::qHash(static_cast<int>(style.value()), seed);
}
