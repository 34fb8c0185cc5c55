#pragma once

// The desktop the user runs, as the session names it in XDG_CURRENT_DESKTOP ("GNOME",
// "ubuntu:GNOME", "XFCE", "KDE", "LXQt"), for the few places where hosts differ.
class DesktopSession
{
public:
    static bool is(const char* name);
};
