#include "Horalis/menubar/MenuBarManager.h"

#include "Horalis/Settings/Settings.h"
#include "Horalis/menubar/StatusIcon.h"
#include "Horalis/model/PercentFigure.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/model/TimeRemaining.h"
#include "Horalis/panel/ContentView.h"
#include "platform/desktop/Popover.h"
#include "platform/session/SecondTimer.h"
#include "platform/tray/TrayHost.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

namespace {
// The calculator's tick time: both timers fall due in one wake-up of the event loop, the
// calculator's (started first) ahead, so the icon shows the value just computed.
constexpr int kTickOffsetMs = 5;
} // namespace

MenuBarManager::MenuBarManager(ProgressCalculator* calculator, Settings& settings, QObject* parent)
    : QObject(parent), m_calculator(calculator), m_settings(settings)
{}

MenuBarManager::~MenuBarManager() = default;

void MenuBarManager::setupMenuBar()
{
    m_hostMenu = std::make_unique<QMenu>();
    // GNOME's AppIndicator extension opens the item's menu on a click and keeps the click for
    // itself, so there the menu starts with the panel.
    if (TrayHost::keepsLeftClick()) {
        m_hostMenu->addAction(QStringLiteral("Show Progress"), this, [this] { togglePopover(); });
        m_hostMenu->addSeparator();
    }
    addMenuItems(m_hostMenu.get());
    m_statusItem = std::make_unique<StatusItem>(m_hostMenu.get());
    updateIcon();
    connect(m_statusItem.get(), &StatusItem::clicked, this, &MenuBarManager::handleClick);
    connect(m_statusItem.get(), &StatusItem::moved, this, [this] { m_panelShade.itemMoved(); });
    // The panel and the timer follow once the event loop has passed the item to the tray, so
    // building the panel does not hold the icon back; a click that comes first builds it then.
    QTimer::singleShot(0, this, [this] {
        if (!m_popover)
            setupPopover();
        startTimer();
    });
}

void MenuBarManager::setupPopover()
{
    m_popover = std::make_unique<Popover>();
    m_panel = new ContentView(m_calculator, m_popover.get());
    connect(m_panel, &ContentView::settingsRequested, this, &MenuBarManager::openSettingsMenu);
    connect(m_panel, &ContentView::quitRequested, this, &MenuBarManager::quitApp);
    m_popover->setContent(m_panel);
}

void MenuBarManager::startTimer()
{
    m_timer = SecondTimer::startFor(this, kTickOffsetMs, &MenuBarManager::updateIcon);
}

void MenuBarManager::updateIcon()
{
    if (!m_statusItem)
        return;
    const double progress = m_calculator ? m_calculator->dayProgress() : 0.0;
    if (m_calculator) {
        m_statusItem->setToolTip(QStringLiteral("Horalis"),
                                 QStringLiteral("%1% of the day, %2")
                                     .arg(wholePercent(progress))
                                     .arg(toTheMinute(m_calculator->timeRemainingText())));
    }
    m_statusItem->setAccessibleDescription(
        QStringLiteral("%1% of the day").arg(wholePercent(progress)));
    if (!m_settings.showIcon()) {
        m_statusItem->setImages({});
        return;
    }
    const IconStyle style = m_settings.value(Preferences::iconStyle);
    const bool flipped = m_settings.value(Preferences::iconFlipped);
    const IconColor colour = m_settings.value(Preferences::iconColor);
    const bool white = colour == IconColor::white ||
                       (colour == IconColor::automatic &&
                        m_panelShade.isDark([this] { return m_statusItem->geometry(); }));
    const IconInk ink = white ? IconInk::white : IconInk::black;
    // The screen's density for an XEmbed tray; 1× and 2× for a host, which picks its own.
    QList<QImage> images{makeIcon(style, flipped, progress, 0, ink)};
    if (m_statusItem->isOnHost())
        images = {makeIcon(style, flipped, progress, 1, ink),
                  makeIcon(style, flipped, progress, 2, ink)};
    m_statusItem->setImages(images);
}

void MenuBarManager::handleClick(StatusItem::Click click, QPoint at)
{
    if (click == StatusItem::Click::Right)
        showContextMenu(at);
    else
        togglePopover(at);
}

QRect MenuBarManager::anchorFor(QPoint at) const
{
    // An XEmbed item, with the rest of the bar across it: the popover opens at the bar's edge.
    const QRect item = m_statusItem ? m_statusItem->geometry() : QRect();
    if (!item.isEmpty())
        return item.united(Popover::itemAround({item.center()}));
    return Popover::itemAround(TrayHost::placesOfClick(at));
}

void MenuBarManager::togglePopover(QPoint at)
{
    if (!m_statusItem)
        return;
    if (!m_popover)
        setupPopover();
    if (m_popover->isShown()) {
        m_popover->performClose();
        return;
    }
    // The click on the item that just closed the popover is not a request to open it.
    if (m_popover->justClosed(m_statusItem->isOnHost()))
        return;
    m_popover->showRelativeTo(anchorFor(at));
}

void MenuBarManager::addMenuItems(QMenu* menu)
{
    QAction* settings =
        menu->addAction(QStringLiteral("Settings..."), this, &MenuBarManager::openSettingsMenu);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("Quit Horalis"), this, &MenuBarManager::quitApp);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MenuBarManager::showContextMenu(QPoint at)
{
    if (!m_statusItem)
        return;
    // A fresh menu each time, for an XEmbed tray and for hosts that ask for the menu to be
    // shown rather than show the published one; the one before goes with it.
    m_contextMenu = std::make_unique<QMenu>();
    addMenuItems(m_contextMenu.get());
    const QRect anchor = anchorFor(at);
    m_contextMenu->popup(anchor.height() > 1 ? anchor.bottomLeft() + QPoint(0, 1)
                                             : anchor.topLeft());
}

void MenuBarManager::openSettingsMenu()
{
    // The panel makes way for the window it asked for.
    if (m_popover)
        m_popover->performClose();
    if (m_delegate)
        m_delegate->openSettingsWindow();
}

void MenuBarManager::quitApp()
{
    QCoreApplication::quit();
}
