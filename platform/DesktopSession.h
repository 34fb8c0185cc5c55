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
    // surface, while an X client of Xwayland can: in a Wayland session with Xwayland, and
    // only where the user chose no platform, that is "xcb".
    static QByteArray preferredPlatform();
    // Applies `preferredPlatform()`; must run before the application object exists.
    static void choosePlatform();
};
