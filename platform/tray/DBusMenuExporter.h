#pragma once

#include "platform/tray/DBusTrayTypes.h"
#include "platform/tray/TrayHost.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

class QAction;
class QDBusMessage;
class QMenu;

// Publishes a menu over D-Bus (the DBusMenu protocol), so that a StatusNotifierItem host shows
// it as its own, in its own style, wherever it shows menus. The menu's actions are its items,
// by position; a host's click triggers the action.
class DBusMenuExporter : public QObject
{
    Q_OBJECT

public:
    // `menu` stays its owner's; the exporter holds it weakly.
    explicit DBusMenuExporter(QMenu* menu, QObject* parent = nullptr,
                              TrayHost::KeyNames keyNames = TrayHost::keyNames());
    ~DBusMenuExporter() override;

    static QString objectPath();
    bool publish(QDBusConnection connection);

    uint revision() const { return m_revision; }
    DBusMenuLayoutItem layout() const;
    // The properties of the items with these ids; of all of them for no ids.
    DBusMenuItemPropertiesList properties(const QList<int>& ids) const;
    bool hasItem(int id) const;
    void activate(int id);
    // Answers a host's call with an error: it asked for something the menu does not have.
    void refuse(const QDBusMessage& call, const QString& why) const;

private:
    QVariantMap propertiesOf(int id) const;
    QAction* actionOf(int id) const;

    QPointer<QMenu> m_menu;
    QDBusConnection m_connection;
    TrayHost::KeyNames m_keyNames;
    uint m_revision = 1;
};
