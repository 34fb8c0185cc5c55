#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <utility>

// A choice kept in the preferences file as a text of its own. `Cases` names the choices
// (`enum Case`, in declaration order), their stored texts (`rawValues`) and the words that
// show them in the Settings window (`displayNames`); the choices are its members, as in
// `IconStyle::pill`.
template <typename Cases> class StoredEnum : public Cases
{
public:
    using Case = typename Cases::Case;
    static constexpr std::size_t count = Cases::rawValues.size();

    constexpr StoredEnum(Case value) : m_case(value) {}

    // Exact, case-sensitive match of a stored text; none otherwise.
    static std::optional<StoredEnum> fromRawValue(const QString& raw)
    {
        for (StoredEnum choice : allCases()) {
            if (raw == QLatin1String(Cases::rawValues[choice.m_case]))
                return choice;
        }
        return std::nullopt;
    }
    // In declaration order.
    static constexpr std::array<StoredEnum, count> allCases()
    {
        return []<std::size_t... i>(std::index_sequence<i...>)
        {
            return std::array<StoredEnum, count>{StoredEnum(static_cast<Case>(i))...};
        }
        (std::make_index_sequence<count>());
    }

    constexpr Case value() const { return m_case; }
    QString rawValue() const { return QString::fromLatin1(Cases::rawValues[m_case]); }
    // Before translation.
    const char* displayName() const { return Cases::displayNames[m_case]; }

    friend constexpr bool operator==(StoredEnum a, StoredEnum b) { return a.m_case == b.m_case; }

private:
    Case m_case;
};
