#pragma once

#include "Horalis/Settings/PreferenceKeys.h"
#include "platform/PreferencesStore.h"

#include <QString>

#include <memory>

// The program's one view onto the preferences store. Creating it writes the first-launch
// defaults; afterwards it never writes again.
class Settings
{
public:
    static Settings& shared();

    // A settings object over a store of its own (the shared one uses the user's store).
    explicit Settings(std::unique_ptr<PreferencesStore> store);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    PreferencesStore& defaults() const { return *m_defaults; }
    static constexpr QLatin1StringView hasLaunchedKey = PreferenceKeys::hasLaunchedBefore;

    // The boolean under "showIcon"; true when the key is missing or holds no boolean.
    bool showIcon() const;

private:
    std::unique_ptr<PreferencesStore> m_defaults;
};
