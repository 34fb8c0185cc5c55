#include "Horalis/settings_window/SettingsView.h"

#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/GeneralSettings.h"
#include "Horalis/settings_window/MenuBarSettings.h"
#include "Horalis/settings_window/TabIcons.h"

#include <QTabWidget>
#include <QVBoxLayout>

SettingsView::SettingsView(QWidget* parent)
    : SettingsView(Settings::shared(), configureLaunchAtLogin, parent)
{}

SettingsView::SettingsView(Settings& settings, LaunchAtLoginConfigurer configure, QWidget* parent)
    : QWidget(parent), m_tabs(new QTabWidget(this)),
      m_general(new GeneralSettings(settings, std::move(configure))),
      m_menuBar(new MenuBarSettings(settings))
{
    m_tabs->addTab(m_general, TabIcons::gear(), tr("General"));
    m_tabs->addTab(m_menuBar, TabIcons::menuBar(), tr("Menu Bar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    setFixedSize(480, 280);
}
