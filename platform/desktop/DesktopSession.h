#pragma once

#include <QByteArray>

// The desktop the user runs, as the session names it in XDG_CURRENT_DESKTOP ("GNOME",
// "ubuntu:GNOME", "XFCE", "KDE", "LXQt"), for the few places where hosts differ.
class DesktopSession
{
public:
    static bool is(const char* name);

    // Whether a Wayland compositor runs the session, whatever Qt platform the program uses.
    static bool isWaylandSession();
    // Whether this is an X session: its X server knows where the pointer is and shows the
    // whole screen, where Xwayland knows the pointer only over an X window and shows X's
    // windows alone.
    static bool isX11Session();
    // The Qt platform to ask for, empty to leave Qt its own choice. A Wayland client cannot
    // place a window of its own next to the tray item, nor open a popup without a parent
    // surface, and Qt 6.4 gives its windows no layer shell role, while an X client of
    // Xwayland can place them: in a Wayland session with Xwayland, that is "xcb", also where
    // the user chose Wayland for all Qt programs. Another choice of the user's stands.
    static QByteArray preferredPlatform();
    // Applies `preferredPlatform()`, with a line on standard error where it sets a choice of
    // the user's aside; must run before the application object exists.
    static void choosePlatform();
};
