#pragma once

#include <QString>

#include <array>
#include <optional>

// The tray icon's colours, stored under "iconColor" as its raw text: chosen to suit the panel
// behind the icon, or always black, or always white.
class IconColor
{
public:
    enum Case
    {
        automatic,
        black,
        white
    };

    constexpr IconColor(Case value) : m_case(value) {}

    // Exact, case-sensitive match of a raw text ("auto", "black", "white"); none otherwise.
    static std::optional<IconColor> fromRawValue(const QString& raw);
    static constexpr std::array<IconColor, 3> allCases() { return {automatic, black, white}; }

    constexpr Case value() const { return m_case; }
    QString rawValue() const;
    // The label of the choice in the Settings window, before translation.
    const char* label() const;

    friend constexpr bool operator==(IconColor, IconColor) = default;

private:
    Case m_case;
};
