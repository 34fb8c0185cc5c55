#pragma once

#include "Horalis/settings_window/LaunchAtLogin.h"

#include <QWidget>

class Settings;
class QTabWidget;

// The Settings window's content: the preferences it edits, each a live view onto the file,
// on two tabs, "General" and "Menu Bar". 480 × 280, or as much more as a large font needs,
// with no Apply or Cancel: every change is stored at once.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsView(QWidget* parent = nullptr);
    SettingsView(Settings& settings, LaunchAtLoginConfigurer configure, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    QTabWidget* m_tabs;
};
