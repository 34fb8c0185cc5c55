#pragma once

#include "Horalis/settings_window/LaunchAtLogin.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class StoredPreference;

// The General tab: launch at login, and the first day of the week.
class GeneralSettings : public QWidget
{
    Q_OBJECT

public:
    GeneralSettings(StoredPreference* launchAtLogin, StoredPreference* weekStart,
                    LaunchAtLoginConfigurer configure = configureLaunchAtLogin,
                    QWidget* parent = nullptr);

    QCheckBox* launchAtLoginToggle() const { return m_toggle; }
    QComboBox* weekStartPicker() const { return m_picker; }
    // The line that tells a failed registration; hidden otherwise.
    QLabel* failureLine() const { return m_failure; }

private:
    void showStoredValues();
    void toggleChanged(bool enabled);
    void dayChosen(int index);

    StoredPreference* m_launchAtLogin;
    StoredPreference* m_weekStart;
    LaunchAtLoginConfigurer m_configure;
    QCheckBox* m_toggle;
    QLabel* m_failure;
    QComboBox* m_picker;
};
