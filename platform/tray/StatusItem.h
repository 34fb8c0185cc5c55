#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <memory>

class QDBusServiceWatcher;
class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;

// The program's item in the system tray: a StatusNotifierItem wherever a host's watcher is on
// the session bus, the XEmbed tray otherwise. It follows the watcher as it comes and goes, so
// the item appears when a tray starts after the program and returns when a tray restarts.
class StatusItem : public QObject
{
    Q_OBJECT

public:
    enum class Click
    {
        Left,
        Right
    };

    // `menu` is what a StatusNotifierItem host shows as the item's menu; it stays the caller's.
    explicit StatusItem(QMenu* menu = nullptr, QObject* parent = nullptr);
    ~StatusItem() override;

    // Shows the picture, drawn at each of its pixel densities (an empty list leaves the item
    // without one). Pictures equal, pixel for pixel, to those shown are not handed on again.
    void setImages(const QList<QImage>& images);
    // The first picture shown, null while there is none.
    QImage image() const { return m_images.value(0); }
    // What a pointer resting on the item shows.
    void setToolTip(const QString& title, const QString& text);
    // The picture in words, for a screen reader; set it before the picture it describes.
    void setAccessibleDescription(const QString& description);
    QString toolTipText() const { return m_toolTipText; }

    // True while a StatusNotifierItem host shows the item (it then shows the menu itself).
    bool isOnHost() const { return m_host != nullptr; }
    // The item's place on screen; empty where the tray does not tell (StatusNotifierItem).
    QRect geometry() const;

signals:
    // `at` is where the host says the click was; null where it does not say (XEmbed).
    void clicked(StatusItem::Click click, QPoint at);
    // The XEmbed tray docked, moved or resized the item, so its geometry() changed.
    void moved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // The bus daemon went away (a session bus restarted) or dropped the connection.
    void leaveBus();

private:
    // Follows the watcher on m_bus, or docks into an XEmbed tray where there is no bus.
    void followBus();
    void rejoinBus();
    void useHost(bool watcherWasThere);
    void useXEmbed();
    void showOnXEmbed();
    // Asks the XEmbed tray again where it left the item undocked.
    void checkDocked();
    // The pictures handed to the tray: those set, or a blank one of their last size.
    QList<QImage> pictures() const;
    QString toolTipLine() const;

    QPointer<QMenu> m_menu;
    QDBusConnection m_bus;
    QTimer m_rejoinTimer;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    std::unique_ptr<StatusNotifierItem> m_host;
    std::unique_ptr<QSystemTrayIcon> m_xembed;
    QList<QImage> m_images;
    QSize m_blankSize{1, 1};
    QString m_toolTipTitle;
    QString m_toolTipText;
    QString m_accessibleDescription;
    QTimer m_dockCheckTimer;
    // The window of the item's that an XEmbed tray last embedded.
    QPointer<QObject> m_dockedWindow;
    int m_dockCheckMs = 0;
    QTimer m_registrationTimer;
    int m_registrationChecks = 0;
    // Answers in a row that listed the item.
    int m_timesListed = 0;
};
