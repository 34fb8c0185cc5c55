#pragma once

#include "Horalis/Settings/Preferences.h"
#include "platform/store/PreferencesStore.h"

#include <memory>
#include <type_traits>

// The program's one way into the preferences file: typed values by the entries of
// `Preferences`, read afresh at every call, so a change from the Settings window or from
// outside shows at the next refresh. Creating it writes the first-launch defaults.
class Settings
{
public:
    static Settings& shared();

    // Over a store of its own (the shared one uses the user's file).
    explicit Settings(std::unique_ptr<PreferencesStore> store);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    template <typename T> T value(const Preference<T>& preference) const
    {
        if constexpr (std::is_same_v<T, bool>) {
            return m_store->boolean(preference.key).value_or(preference.defaultValue);
        } else {
            const auto text = m_store->string(preference.key);
            return text ? T::fromRawValue(*text).value_or(preference.defaultValue)
                        : preference.defaultValue;
        }
    }

    // True once the value is on disk.
    template <typename T> bool set(const Preference<T>& preference, T value)
    {
        if constexpr (std::is_same_v<T, bool>)
            return m_store->set(preference.key, value);
        else
            return m_store->set(preference.key, value.rawValue());
    }

    bool showIcon() const { return value(Preferences::showIcon); }
    // The preferences file, for watching it; empty where there is none.
    const QString& filePath() const { return m_store->filePath(); }

private:
    std::unique_ptr<PreferencesStore> m_store;
};
