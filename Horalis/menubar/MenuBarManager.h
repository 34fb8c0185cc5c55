#pragma once

#include "Horalis/menubar/MenuBarManagerDelegate.h"
#include "platform/PanelShade.h"
#include "platform/StatusItem.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <memory>

class ContentView;
class Popover;
class ProgressCalculator;

class SecondTimer;

// The tray item: its icon redrawn once a second from the day's progress and the icon
// preferences, the panel on a left click, a small menu on a right click.
class MenuBarManager : public QObject
{
    Q_OBJECT

public:
    explicit MenuBarManager(ProgressCalculator* calculator, QObject* parent = nullptr);
    ~MenuBarManager() override;

    void setDelegate(MenuBarManagerDelegate* delegate) { m_delegate = delegate; }
    MenuBarManagerDelegate* delegate() const { return m_delegate; }

    void setupMenuBar();
    void setupPopover();
    void startTimer();
    void updateIcon();
    // `at` is where the tray host says the click was, if it says.
    void handleClick(StatusItem::Click click, QPoint at = QPoint());
    void togglePopover(QPoint at = QPoint());
    void showContextMenu(QPoint at = QPoint());
    void openSettingsMenu();
    void quitApp();

    StatusItem* statusItem() const { return m_statusItem.get(); }
    Popover* popover() const { return m_popover.get(); }
    ContentView* panel() const { return m_panel; }
    // The context menu while it is open.
    QMenu* contextMenu() const { return m_contextMenu; }
    bool isTimerActive() const;

private:
    // Adds the menu's items: "Settings...", a separator, "Quit Horalis".
    void addMenuItems(QMenu* menu);
    // Where the panel or the menu opens: the item's place, else the host's click, else the
    // pointer.
    QRect anchorFor(QPoint at) const;

    // The menu a StatusNotifierItem host shows; declared before the item that publishes it.
    std::unique_ptr<QMenu> m_hostMenu;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<Popover> m_popover;
    QPointer<ProgressCalculator> m_calculator;
    SecondTimer* m_timer = nullptr; // a child, so it dies with the manager
    QPointer<MenuBarManagerDelegate> m_delegate;
    ContentView* m_panel = nullptr; // owned by the popover
    QPointer<QMenu> m_contextMenu;
    PanelShade m_panelShade;
};
