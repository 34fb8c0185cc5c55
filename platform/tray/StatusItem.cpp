#include "platform/tray/StatusItem.h"

#include "platform/tray/StatusNotifierItem.h"
#include "platform/tray/XEmbedTray.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

namespace {

// Long enough for a new watcher to have scanned the bus, short enough for the item to show
// within two seconds of the tray's start.
constexpr int kNewWatcherSettleMs = 800;
constexpr int kRecheckMs = 1500;
constexpr int kRegistrationChecks = 8;
// Listed on two reads in a row, the item has outlived the watcher's own scan.
constexpr int kListedToSettle = 2;
// How often a lost session bus is tried again: a restarted one is back within seconds.
constexpr int kRejoinMs = 2000;
// A tray docks an item within a frame or two of its request, seconds late under load. One
// that has not by then is asked again, less and less often.
constexpr int kFirstDockCheckMs = 2000;
constexpr int kLastDockCheckMs = 60000;

QIcon iconOf(const QList<QImage>& images)
{
    // Plain pixmaps: shown in exactly the colours drawn, never as a themed mask.
    QIcon icon;
    for (const QImage& image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace

StatusItem::StatusItem(QMenu* menu, QObject* parent)
    : QObject(parent), m_menu(menu), m_bus(QDBusConnection::sessionBus())
{
    m_registrationTimer.setSingleShot(true);
    connect(&m_registrationTimer, &QTimer::timeout, this, [this] {
        if (!m_host || m_registrationChecks-- <= 0)
            return;
        m_host->registerUnlessKnown();
        m_registrationTimer.start(kRecheckMs);
    });
    m_rejoinTimer.setSingleShot(true);
    connect(&m_rejoinTimer, &QTimer::timeout, this, &StatusItem::rejoinBus);
    m_dockCheckTimer.setSingleShot(true);
    m_dockCheckMs = kFirstDockCheckMs;
    connect(&m_dockCheckTimer, &QTimer::timeout, this, &StatusItem::checkDocked);
    followBus();
}

void StatusItem::followBus()
{
    if (!m_bus.isConnected()) {
        useXEmbed();
        return;
    }
    // The connection's own signal when the bus daemon closes it: QtDBus never reconnects.
    m_bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                  QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"),
                  this, SLOT(leaveBus()));
    m_watcher = std::make_unique<QDBusServiceWatcher>(StatusNotifierItem::watcherService(), m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                if (owner.isEmpty()) {
                    useXEmbed();
                    return;
                }
                // A watcher just started scans the bus for items once it is up: give it that
                // moment, then register only if it did not find the item.
                useHost(false);
            });
    // The bus daemon answers this itself, at once, whatever the host does.
    const auto owner = m_bus.interface()->serviceOwner(StatusNotifierItem::watcherService());
    if (owner.isValid() && !owner.value().isEmpty())
        useHost(true);
    else
        useXEmbed();
}

void StatusItem::leaveBus()
{
    if (m_bus.isConnected())
        return;
    m_watcher.reset();
    m_host.reset();
    useXEmbed();
    m_rejoinTimer.start(kRejoinMs);
}

void StatusItem::rejoinBus()
{
    // A connection of its own each time: the shared session connection, once closed, stays so.
    static int attempt = 0;
    const QString previous = m_bus.name();
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("horalis-session-%1").arg(++attempt));
    if (previous != QDBusConnection::sessionBus().name())
        QDBusConnection::disconnectFromBus(previous);
    if (!m_bus.isConnected()) {
        m_rejoinTimer.start(kRejoinMs);
        return;
    }
    followBus();
}

StatusItem::~StatusItem() = default;

bool StatusItem::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        // Qt shows the item's window when it asks a new tray to dock it.
        if (m_xembed && watched->inherits("QSystemTrayIconSys"))
            m_dockCheckTimer.start(m_dockCheckMs);
        [[fallthrough]];
    case QEvent::Move:
    case QEvent::Resize:
        if (m_xembed && watched->inherits("QSystemTrayIconSys"))
            emit moved();
        break;
    case QEvent::Paint:
        // Drawn, so mapped: the tray embedded it.
        if (m_xembed && watched != m_dockedWindow && watched->inherits("QSystemTrayIconSys"))
            m_dockedWindow = watched;
        break;
    default:
        break;
    }
    return false;
}

void StatusItem::checkDocked()
{
    if (!m_xembed)
        return;
    // Qt maps the item's window, and so draws it, only once the tray says it has embedded
    // it (a tray may later hide it, unmapped, in an overflow of its own). Qt asks once, of
    // the tray window it has in mind: a tray that drops a request made before it is ready,
    // or one that replaced the tray Qt remembers (Budgie's panel, now and then, as it
    // restarts), would leave the item out for good. So the tray that holds the selection
    // now is asked again, less and less often, until it docks the item.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->inherits("QSystemTrayIconSys") || !window->isVisible())
            continue;
        if (window == m_dockedWindow) {
            m_dockCheckMs = kFirstDockCheckMs;
            return;
        }
        m_dockCheckMs = std::min(2 * m_dockCheckMs, kLastDockCheckMs);
        XEmbedTray::requestDock(window->winId());
        m_dockCheckTimer.start(m_dockCheckMs);
        return;
    }
}

void StatusItem::useHost(bool watcherWasThere)
{
    if (m_xembed)
        QCoreApplication::instance()->removeEventFilter(this);
    m_dockCheckTimer.stop();
    m_xembed.reset();
    if (!m_host) {
        m_host = std::make_unique<StatusNotifierItem>(m_bus, m_menu);
        if (!m_host->publish()) {
            m_host.reset();
            useXEmbed();
            return;
        }
        m_host->setAccessibleDescription(m_accessibleDescription);
        m_host->setImages(pictures());
        m_host->setToolTip(m_toolTipTitle, m_toolTipText);
        connect(m_host.get(), &StatusNotifierItem::activated, this,
                [this](QPoint at) { emit clicked(Click::Left, at); });
        connect(m_host.get(), &StatusNotifierItem::contextMenuRequested, this,
                [this](QPoint at) { emit clicked(Click::Right, at); });
        connect(m_host.get(), &StatusNotifierItem::registrationChecked, this,
                [this](bool wasListed) {
                    m_timesListed = wasListed ? m_timesListed + 1 : 0;
                    if (m_timesListed >= kListedToSettle)
                        m_registrationTimer.stop();
                });
    }
    if (watcherWasThere)
        m_host->registerWithWatcher();
    // A host's bar may look unlike the XEmbed tray's, or the one before.
    emit moved();
    // Then make sure the watcher lists the item, and register (again) where it does not: a
    // watcher that has just started scans the bus for items itself, and GNOME's extension
    // loses an item that registers while it does, so a new watcher is given that moment
    // first. The watcher is asked a few times over the next seconds; reading is all it costs.
    m_registrationChecks = kRegistrationChecks;
    m_timesListed = 0;
    m_registrationTimer.start(watcherWasThere ? kRecheckMs : kNewWatcherSettleMs);
}

void StatusItem::useXEmbed()
{
    m_registrationTimer.stop();
    // The item stays on the bus: a watcher that comes back finds it at once.
    if (m_xembed)
        return;
    m_xembed = std::make_unique<QSystemTrayIcon>();
    // Qt keeps the docked item in a window of its own that it makes anew for every tray; the
    // item's place is known to change from that window's events alone.
    QCoreApplication::instance()->installEventFilter(this);
    connect(m_xembed.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                case QSystemTrayIcon::DoubleClick: // the second click of a double click
                    emit clicked(Click::Left, QPoint());
                    break;
                case QSystemTrayIcon::Context:
                    emit clicked(Click::Right, QPoint());
                    break;
                default:
                    break;
                }
            });
    showOnXEmbed();
    // Shown even without a tray: Qt docks the item as soon as one appears.
    m_xembed->show();
}

void StatusItem::showOnXEmbed()
{
    m_xembed->setIcon(iconOf(pictures()));
    m_xembed->setToolTip(toolTipLine());
}

void StatusItem::setImages(const QList<QImage>& images)
{
    // Two empty lists compare equal, so clearing twice is skipped too.
    if (images == m_images)
        return;
    if (!m_images.isEmpty())
        m_blankSize = m_images.first().size();
    m_images = images;
    if (m_host)
        m_host->setImages(pictures());
    if (m_xembed)
        m_xembed->setIcon(iconOf(pictures()));
}

QString StatusItem::toolTipLine() const
{
    // An XEmbed tray shows one line.
    return m_toolTipText.isEmpty() ? m_toolTipTitle : m_toolTipText;
}

QList<QImage> StatusItem::pictures() const
{
    if (!m_images.isEmpty())
        return m_images;
    // Without a picture the item keeps its place, blank: an item with no picture at all is
    // not shown by some trays, and kept with its old one by others.
    QImage blank(m_blankSize, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return {blank};
}

void StatusItem::setToolTip(const QString& title, const QString& text)
{
    if (title == m_toolTipTitle && text == m_toolTipText)
        return;
    m_toolTipTitle = title;
    m_toolTipText = text;
    if (m_host)
        m_host->setToolTip(title, text);
    // Only the tooltip: setting the icon again would repaint the item.
    if (m_xembed)
        m_xembed->setToolTip(toolTipLine());
}

void StatusItem::setAccessibleDescription(const QString& description)
{
    m_accessibleDescription = description;
    if (m_host)
        m_host->setAccessibleDescription(description);
}

QRect StatusItem::geometry() const
{
    return m_xembed ? m_xembed->geometry() : QRect();
}
