#pragma once

#include "Horalis/settings_window/LaunchAtLogin.h"

#include <QWidget>

class GeneralSettings;
class MenuBarSettings;
class PreferencesStore;
class QTabWidget;
class StoredPreference;

// The Settings window's content: the four preferences it edits, each a live view onto the
// store, on two tabs, "General" and "Menu Bar". 480 × 280, with no Apply or Cancel: every
// change is stored at once.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsView(QWidget* parent = nullptr);
    SettingsView(PreferencesStore& store, LaunchAtLoginConfigurer configure,
                 QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    GeneralSettings* general() const { return m_general; }
    MenuBarSettings* menuBar() const { return m_menuBar; }

private:
    StoredPreference* m_iconStyle;
    StoredPreference* m_iconFlipped;
    StoredPreference* m_iconColor;
    StoredPreference* m_launchAtLogin;
    StoredPreference* m_weekStart;
    QTabWidget* m_tabs;
    GeneralSettings* m_general;
    MenuBarSettings* m_menuBar;
};
