#include "Horalis/app/AppDelegate.h"

#include "Horalis/menubar/MenuBarManager.h"
#include "Horalis/model/ProgressCalculator.h"
#include "platform/Popover.h"

AppDelegate::AppDelegate() : m_calculator(std::make_unique<ProgressCalculator>()) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    m_menuBarManager = std::make_unique<MenuBarManager>(m_calculator.get());
    m_menuBarManager->setDelegate(this);
    m_menuBarManager->setupMenuBar();
}

void AppDelegate::openSettingsWindow()
{
    if (m_menuBarManager && m_menuBarManager->popover())
        m_menuBarManager->popover()->performClose();
}
