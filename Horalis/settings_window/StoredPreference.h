#pragma once

#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/PreferenceWatch.h"

// A live view onto one preference for the Settings window: read from the file at every use,
// stored at once when set, and `changed()` whenever the stored value changes.
template <typename T> class StoredPreference : public PreferenceWatch
{
public:
    StoredPreference(Settings& settings, const Preference<T>& preference, QObject* parent = nullptr)
        : PreferenceWatch(settings.filePath(), parent), m_settings(settings),
          m_preference(preference), m_seen(value())
    {}

    T value() const { return m_settings.value(m_preference); }
    // False where the value could not be stored; the view then shows the stored one again.
    bool set(T value)
    {
        const bool stored = m_settings.set(m_preference, value);
        poll();
        return stored;
    }

protected:
    bool reread() override
    {
        const T now = value();
        if (now == m_seen)
            return false;
        m_seen = now;
        return true;
    }

private:
    Settings& m_settings;
    Preference<T> m_preference;
    T m_seen;
};
