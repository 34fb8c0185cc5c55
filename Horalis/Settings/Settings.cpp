#include "Horalis/Settings/Settings.h"

Settings& Settings::shared()
{
    static Settings instance(std::make_unique<PreferencesStore>());
    return instance;
}

Settings::Settings(std::unique_ptr<PreferencesStore> store) : m_store(std::move(store))
{
    if (!value(Preferences::hasLaunchedBefore)) {
        set(Preferences::showIcon, true);
        set(Preferences::hasLaunchedBefore, true);
    }
}
