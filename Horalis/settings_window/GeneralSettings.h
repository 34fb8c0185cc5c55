#pragma once

#include "Horalis/Settings/WeekStart.h"
#include "Horalis/settings_window/LaunchAtLogin.h"
#include "Horalis/settings_window/StoredPreference.h"

#include <QWidget>

class AlertLine;
class QCheckBox;
class QComboBox;
class QLabel;

// The General tab: launch at login, and the first day of the week.
class GeneralSettings : public QWidget
{
    Q_OBJECT

public:
    GeneralSettings(Settings& settings, LaunchAtLoginConfigurer configure,
                    QWidget* parent = nullptr);

private:
    void showStoredValues();
    void toggleChanged(bool enabled);
    void dayChosen(int index);
    void tellFailure(const std::optional<QString>& failure);

    StoredPreference<bool>* m_launchAtLogin;
    StoredPreference<WeekStart>* m_weekStart;
    LaunchAtLoginConfigurer m_configure;
    QCheckBox* m_toggle;
    QLabel* m_description;
    // The line that tells a failed registration; hidden otherwise.
    AlertLine* m_failure;
    QComboBox* m_picker;
};
