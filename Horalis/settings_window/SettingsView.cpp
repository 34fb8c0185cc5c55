#include "Horalis/settings_window/SettingsView.h"

#include "Horalis/Settings/PreferenceKeys.h"
#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/GeneralSettings.h"
#include "Horalis/settings_window/MenuBarSettings.h"
#include "Horalis/settings_window/StoredPreference.h"
#include "Horalis/settings_window/TabIcons.h"

#include <QTabWidget>
#include <QVBoxLayout>

using Kind = StoredPreference::Kind;

SettingsView::SettingsView(QWidget* parent)
    : SettingsView(Settings::shared().defaults(), configureLaunchAtLogin, parent)
{}

SettingsView::SettingsView(PreferencesStore& store, LaunchAtLoginConfigurer configure,
                           QWidget* parent)
    : QWidget(parent),
      m_iconStyle(new StoredPreference(store, PreferenceKeys::iconStyle, Kind::Text, this)),
      m_iconFlipped(new StoredPreference(store, PreferenceKeys::iconFlipped, Kind::Boolean, this)),
      m_iconColor(new StoredPreference(store, PreferenceKeys::iconColor, Kind::Text, this)),
      m_launchAtLogin(
          new StoredPreference(store, PreferenceKeys::launchAtLogin, Kind::Boolean, this)),
      m_weekStart(new StoredPreference(store, PreferenceKeys::weekStart, Kind::Text, this)),
      m_tabs(new QTabWidget(this)),
      m_general(new GeneralSettings(m_launchAtLogin, m_weekStart, std::move(configure))),
      m_menuBar(new MenuBarSettings(m_iconStyle, m_iconFlipped, m_iconColor))
{
    m_tabs->addTab(m_general, TabIcons::gear(), tr("General"));
    m_tabs->addTab(m_menuBar, TabIcons::menuBar(), tr("Menu Bar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    setFixedSize(480, 280);
}
