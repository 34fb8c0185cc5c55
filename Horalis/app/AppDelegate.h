#pragma once

#include "Horalis/app/SettingsWindow.h"
#include "Horalis/menubar/MenuBarManagerDelegate.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class MenuBarManager;
class ProgressCalculator;

// Owns the program's long-lived objects: the calculator (made at once, so the first-launch
// preferences are written before the tray item exists), the tray item, and the Settings window
// while it is open.
class AppDelegate : public MenuBarManagerDelegate
{
    Q_OBJECT

public:
    AppDelegate();
    ~AppDelegate() override;

    // The launch sequence, once the event loop runs.
    void applicationDidFinishLaunching();
    void openSettingsWindow() override;

    ProgressCalculator* calculator() const { return m_calculator.get(); }
    MenuBarManager* menuBarManager() const { return m_menuBarManager.get(); }
    SettingsWindow* settingsWindow() const { return m_settingsWindow; }

private:
    // Declared in reverse order of destruction: manager, calculator, window.
    QPointer<SettingsWindow> m_settingsWindow;
    std::unique_ptr<ProgressCalculator> m_calculator;
    std::unique_ptr<MenuBarManager> m_menuBarManager;
};
