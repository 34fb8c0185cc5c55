#include "Horalis/menubar/MenuBarManager.h"

#include "Horalis/Settings/PreferenceKeys.h"
#include "Horalis/Settings/Settings.h"
#include "Horalis/menubar/StatusIcon.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"
#include "platform/Popover.h"
#include "platform/SecondTimer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

namespace {
// The calculator's tick time: both timers fall due in one wake-up of the event loop, the
// calculator's (started first) ahead, so the icon shows the value just computed.
constexpr int kTickOffsetMs = 5;
} // namespace

MenuBarManager::MenuBarManager(ProgressCalculator* calculator, QObject* parent)
    : QObject(parent), m_calculator(calculator)
{}

MenuBarManager::~MenuBarManager()
{
    delete m_timer;
    m_timer = nullptr;
    if (m_contextMenu)
        delete m_contextMenu.data();
}

void MenuBarManager::setupMenuBar()
{
    m_statusItem = std::make_unique<StatusItem>();
    updateIcon();
    connect(m_statusItem.get(), &StatusItem::clicked, this, &MenuBarManager::handleClick);
    // The panel and the timer follow once the event loop has passed the item to the tray, so
    // building the panel does not hold the icon back. Until then a click finds no popover and
    // does nothing.
    QTimer::singleShot(0, this, [this] {
        setupPopover();
        startTimer();
    });
}

void MenuBarManager::setupPopover()
{
    QPointer<MenuBarManager> self(this);
    m_panel = new ContentView(m_calculator, [self] {
        if (self && self->m_delegate)
            self->m_delegate->openSettingsWindow();
    });
    m_popover = std::make_unique<Popover>(m_panel);
}

void MenuBarManager::startTimer()
{
    delete m_timer;
    m_timer = SecondTimer::startFor(this, kTickOffsetMs, &MenuBarManager::updateIcon);
}

bool MenuBarManager::isTimerActive() const
{
    return m_timer && m_timer->isActive();
}

void MenuBarManager::updateIcon()
{
    if (!m_statusItem)
        return;
    const Settings& settings = Settings::shared();
    if (!settings.showIcon()) {
        m_statusItem->setImage(QImage());
        return;
    }
    const double progress = m_calculator ? m_calculator->dayProgress() : 0.0;
    const QString style =
        settings.defaults().string(PreferenceKeys::iconStyle).value_or(QStringLiteral("pill"));
    const bool flipped = settings.defaults().boolValue(PreferenceKeys::iconFlipped);
    m_statusItem->setImage(makeIcon(style, flipped, progress));
}

void MenuBarManager::handleClick(StatusItem::Click click)
{
    if (click == StatusItem::Click::Right)
        showContextMenu();
    else
        togglePopover();
}

void MenuBarManager::togglePopover()
{
    if (!m_statusItem || !m_popover)
        return;
    if (m_popover->isShown()) {
        m_popover->performClose();
        return;
    }
    // The click on the item that just closed the popover is not a request to open it.
    if (m_popover->justClosed())
        return;
    m_popover->showRelativeTo(m_statusItem->geometry());
}

void MenuBarManager::showContextMenu()
{
    if (!m_statusItem)
        return;
    if (m_contextMenu)
        m_contextMenu->close();
    auto* menu = new QMenu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* settings =
        menu->addAction(QStringLiteral("Settings..."), this, &MenuBarManager::openSettingsMenu);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("Quit Horalis"), this, &MenuBarManager::quitApp);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_contextMenu = menu;

    const QRect item = m_statusItem->geometry();
    const QPoint at = item.isEmpty() ? QCursor::pos() : item.bottomLeft() + QPoint(0, 1);
    menu->popup(at);
}

void MenuBarManager::openSettingsMenu()
{
    if (m_delegate)
        m_delegate->openSettingsWindow();
}

void MenuBarManager::quitApp()
{
    QCoreApplication::quit();
}
