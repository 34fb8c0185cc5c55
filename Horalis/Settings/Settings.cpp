#include "Horalis/Settings/Settings.h"

Settings& Settings::shared()
{
    static Settings instance(std::make_unique<PreferencesStore>());
    return instance;
}

Settings::Settings(std::unique_ptr<PreferencesStore> store) : m_defaults(std::move(store))
{
    if (!m_defaults->boolValue(hasLaunchedKey)) {
        m_defaults->set(PreferenceKeys::showIcon, true);
        m_defaults->set(hasLaunchedKey, true);
    }
}

bool Settings::showIcon() const
{
    return m_defaults->boolean(PreferenceKeys::showIcon).value_or(true);
}
