#pragma once

#include "Horalis/Settings/Settings.h"
#include "Horalis/menubar/MenuBarManagerDelegate.h"
#include "platform/tray/PanelShade.h"
#include "platform/tray/StatusItem.h"

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
    // Reads the icon's preferences from `settings` at each tick.
    explicit MenuBarManager(ProgressCalculator* calculator, Settings& settings = Settings::shared(),
                            QObject* parent = nullptr);
    ~MenuBarManager() override;

    void setDelegate(MenuBarManagerDelegate* delegate) { m_delegate = delegate; }
    MenuBarManagerDelegate* delegate() const { return m_delegate; }

    void setupMenuBar();
    void updateIcon();
    // `at` is where the tray host says the click was, if it says.
    void handleClick(StatusItem::Click click, QPoint at = QPoint());
    void togglePopover(QPoint at = QPoint());
    void showContextMenu(QPoint at = QPoint());
    void openSettingsMenu();
    void quitApp();

    StatusItem* statusItem() const { return m_statusItem.get(); }

private:
    void setupPopover();
    void startTimer();
    // Adds the menu's items: "Settings...", a separator, "Quit Horalis".
    void addMenuItems(QMenu* menu);
    // Where the panel or the menu opens: the item's place, else the host's click, else the
    // pointer.
    QRect anchorFor(QPoint at) const;

    QPointer<ProgressCalculator> m_calculator;
    Settings& m_settings;
    QPointer<MenuBarManagerDelegate> m_delegate;
    // The menu a StatusNotifierItem host shows; declared before the item that publishes it.
    std::unique_ptr<QMenu> m_hostMenu;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<Popover> m_popover;
    ContentView* m_panel = nullptr; // owned by the popover
    std::unique_ptr<QMenu> m_contextMenu;
    std::unique_ptr<SecondTimer> m_timer;
    PanelShade m_panelShade;
};
