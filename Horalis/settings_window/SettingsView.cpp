#include "Horalis/settings_window/SettingsView.h"

#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/GeneralSettings.h"
#include "Horalis/settings_window/MenuBarSettings.h"
#include "Horalis/settings_window/TabIcons.h"

#include <QEvent>
#include <QLayout>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsView::SettingsView(QWidget* parent)
    : SettingsView(Settings::shared(), configureLaunchAtLogin, parent)
{}

SettingsView::SettingsView(Settings& settings, LaunchAtLoginConfigurer configure, QWidget* parent)
    : QWidget(parent), m_tabs(new QTabWidget(this))
{
    m_tabs->addTab(new GeneralSettings(settings, std::move(configure)), TabIcons::gear(),
                   tr("General"));
    m_tabs->addTab(new MenuBarSettings(settings), TabIcons::menuBar(), tr("Menu Bar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    // 480 × 280 at the desktop's usual font; a larger one makes room for itself.
    setMinimumSize(480, 280);
}

void SettingsView::changeEvent(QEvent* event)
{
    // A tab not shown never hears that its controls changed size, yet the window's size is
    // worked out from both tabs. Once every control has its new font, that is.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (QLayout* layout : m_tabs->findChildren<QLayout*>())
                    layout->invalidate();
                updateGeometry();
            },
            Qt::QueuedConnection);
    }
    QWidget::changeEvent(event);
}
