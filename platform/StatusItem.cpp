#include "platform/StatusItem.h"

#include "platform/StatusNotifierItem.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

QIcon iconOf(const QList<QImage>& images)
{
    // Without a picture the item keeps its place in the tray, blank: an item with no icon at
    // all is not shown.
    if (images.isEmpty()) {
        QPixmap blank(1, 1);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }
    // Plain pixmaps: shown in exactly the colours drawn, never as a themed mask.
    QIcon icon;
    for (const QImage& image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace

StatusItem::StatusItem(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        useXEmbed();
        return;
    }
    m_watcher = new QDBusServiceWatcher(StatusNotifierItem::watcherService(), bus,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) { followWatcher(owner); });
    // The bus daemon answers this itself, at once, whatever the host does.
    const auto owner = bus.interface()->serviceOwner(StatusNotifierItem::watcherService());
    followWatcher(owner.isValid() ? owner.value() : QString());
}

StatusItem::~StatusItem() = default;

void StatusItem::followWatcher(const QString& owner)
{
    if (owner.isEmpty())
        useXEmbed();
    else
        useHost();
}

void StatusItem::useHost()
{
    m_xembed.reset();
    if (!m_host) {
        m_host = new StatusNotifierItem(QDBusConnection::sessionBus(), m_menu, this);
        if (!m_host->publish()) {
            delete m_host;
            m_host = nullptr;
            useXEmbed();
            return;
        }
        m_host->setImages(m_images);
        m_host->setToolTip(m_toolTipTitle, m_toolTipText);
        connect(m_host, &StatusNotifierItem::activated, this,
                [this](QPoint at) { emit clicked(Click::Left, at); });
        connect(m_host, &StatusNotifierItem::contextMenuRequested, this,
                [this](QPoint at) { emit clicked(Click::Right, at); });
    }
    // Also when the watcher was replaced: the new one knows nothing of the item yet.
    m_host->registerWithWatcher();
}

void StatusItem::useXEmbed()
{
    // The item stays on the bus: a watcher that comes back finds it at once.
    if (m_xembed)
        return;
    m_xembed = std::make_unique<QSystemTrayIcon>();
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
    m_xembed->setIcon(iconOf(m_images));
    m_xembed->setToolTip(m_toolTipText.isEmpty() ? m_toolTipTitle : m_toolTipText);
}

void StatusItem::setImages(const QList<QImage>& images)
{
    // Two empty lists compare equal, so clearing twice is skipped too.
    if (images == m_images)
        return;
    m_images = images;
    ++m_imageUpdates;
    if (m_host)
        m_host->setImages(images);
    if (m_xembed)
        m_xembed->setIcon(iconOf(images));
}

void StatusItem::setToolTip(const QString& title, const QString& text)
{
    if (title == m_toolTipTitle && text == m_toolTipText)
        return;
    m_toolTipTitle = title;
    m_toolTipText = text;
    if (m_host)
        m_host->setToolTip(title, text);
    if (m_xembed)
        showOnXEmbed();
}

QRect StatusItem::geometry() const
{
    return m_xembed ? m_xembed->geometry() : QRect();
}
