#pragma once

#include <QList>
#include <QPoint>

#include <optional>

// What the tray hosts of each desktop do differently, in one place: the desktop's own host is
// the one that shows the item (GNOME's AppIndicator extension, Plasma's system tray, XFCE's
// panel, ...), and each has its habits.
class TrayHost
{
public:
    // How a host reads the key names of a menu's shortcuts: Qt's readers (Plasma, LXQt) take
    // Qt's names (","), GTK's readers (XFCE, Cinnamon, MATE, waybar) X's key names ("comma").
    enum class KeyNames
    {
        X11,
        Qt
    };
    static KeyNames keyNames();

    // GNOME's extension opens the item's menu on a left click and keeps the click for itself;
    // it calls Activate only on a double click.
    static bool keepsLeftClick();
    // GNOME's extension stretches every picture to its square icon box.
    static bool stretchesToSquare();
    // The places a click the host reports at `reported` may have come from, the likeliest
    // first, for Popover::itemAround: the host's point where it is one on the screen (MATE's
    // applet reports it in its own window; some hosts send (0, 0) for no place), then, where
    // the session is X11, the pointer, and the top edge above it (GNOME's menu entry, which
    // sends no point, is clicked just below the top bar's item); in a Wayland session, where
    // Xwayland does not know the pointer, GNOME's status area at the top bar's right end.
    static QList<QPoint> placesOfClick(QPoint reported);
    // The bar's shade where the desktop's default bar has one whatever the theme: GNOME's top
    // bar, Cinnamon's panel. Empty where the bar must be looked at or asked about.
    static std::optional<bool> barIsDark();
};
