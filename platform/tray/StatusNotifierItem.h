#pragma once

#include "platform/tray/DBusTrayTypes.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QPoint>

#include <memory>

class DBusMenuExporter;
class GSettingsKey;
class QMenu;

// The program's item under the StatusNotifierItem protocol (KDE, GNOME's AppIndicator
// extension, XFCE, LXQt, waybar), with its menu published over DBusMenu. It registers with
// the host's watcher whenever one appears, and never waits on a host: every call to one is
// asynchronous.
class StatusNotifierItem : public QObject
{
    Q_OBJECT

public:
    StatusNotifierItem(QDBusConnection connection, QMenu* menu, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    static QString watcherService();
    // Takes a name and puts the item and its menu on the bus; false where the bus refuses.
    bool publish();
    // Asks the watcher now on the bus, if any, to show the item.
    void registerWithWatcher();
    // The same, for a watcher that came after the item: only if it has not found the item.
    // Emits registrationChecked() with the watcher's answer.
    void registerUnlessKnown();

    // The same picture at each size a host may want, most often 1× and 2×.
    void setImages(const QList<QImage>& images);
    void setToolTip(const QString& title, const QString& text);
    // What the picture shows, in words, for a screen reader; hosts read it with the picture.
    void setAccessibleDescription(const QString& description);
    QString accessibleDescription() const { return m_accessibleDescription; }

    const DBusImageList& iconPixmaps() const { return m_pixmaps; }
    DBusToolTip toolTip() const;

signals:
    // Where the host says the click was, in screen coordinates; (0, 0) from some hosts.
    void activated(QPoint at);
    void contextMenuRequested(QPoint at);
    // Whether the watcher, asked by registerUnlessKnown(), already showed the item.
    void registrationChecked(bool wasListed);
    // For the protocol's change signals, relayed by the adaptor.
    void iconChanged();
    void toolTipChanged();

private:
    QDBusConnection m_connection;
    QString m_serviceName;
    DBusMenuExporter* m_menu;
    QList<QImage> m_images;
    DBusImageList m_pixmaps;
    // GNOME's extension's icon box, followed where that is the host.
    std::unique_ptr<GSettingsKey> m_gnomeIconSize;
    QString m_toolTipTitle;
    QString m_toolTipText;
    QString m_accessibleDescription;
};
