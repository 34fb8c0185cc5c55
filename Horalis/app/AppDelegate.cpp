#include "Horalis/app/AppDelegate.h"

#include "Horalis/app/SettingsWindow.h"
#include "Horalis/menubar/MenuBarManager.h"
#include "Horalis/model/ProgressCalculator.h"

AppDelegate::AppDelegate() : m_calculator(std::make_unique<ProgressCalculator>()) {}

AppDelegate::~AppDelegate()
{
    // A top-level window has no parent to take it along.
    delete m_settingsWindow.data();
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_menuBarManager = std::make_unique<MenuBarManager>(m_calculator.get());
    m_menuBarManager->setDelegate(this);
    m_menuBarManager->setupMenuBar();
}

void AppDelegate::openSettingsWindow()
{
    if (!m_settingsWindow) {
        auto* window = new SettingsWindow;
        window->centreOnPointerScreen();
        // Closing destroys the window (and empties the weak reference), so the next request
        // builds a fresh one, on its first tab, centred again.
        m_settingsWindow = window;
    }
    m_settingsWindow->bringToFront();
}
