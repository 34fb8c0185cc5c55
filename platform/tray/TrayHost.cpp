#include "platform/tray/TrayHost.h"

#include "platform/desktop/DesktopSession.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {
// Budgie names itself "Budgie:GNOME", and its panel is not GNOME Shell's.
bool isGnomeShell()
{
    return DesktopSession::is("GNOME") && !DesktopSession::is("Budgie");
}
} // namespace

TrayHost::KeyNames TrayHost::keyNames()
{
    return DesktopSession::is("KDE") || DesktopSession::is("LXQt") ? KeyNames::Qt : KeyNames::X11;
}

bool TrayHost::keepsLeftClick()
{
    return isGnomeShell();
}

bool TrayHost::stretchesToSquare()
{
    return isGnomeShell();
}

std::optional<bool> TrayHost::barIsDark()
{
    // GNOME's top bar is dark in the light and the dark style alike, and so are the panels of
    // Cinnamon's own themes and Linux Mint's.
    if (isGnomeShell() || DesktopSession::is("X-Cinnamon"))
        return true;
    return std::nullopt;
}

QList<QPoint> TrayHost::placesOfClick(QPoint reported)
{
    QList<QPoint> places;
    if (!reported.isNull() && !DesktopSession::is("MATE"))
        places << reported;
    // In a Wayland session Xwayland's pointer stays where it last crossed an X window.
    if (DesktopSession::isX11Session()) {
        const QPoint pointer = QCursor::pos();
        places << pointer;
        if (const QScreen* screen = QGuiApplication::screenAt(pointer))
            places << QPoint(pointer.x(), screen->geometry().top());
    } else if (reported.isNull() && isGnomeShell()) {
        // GNOME's menu entry, in a Wayland session: the item sits in the top bar's status
        // area, at the right end of the bar on the primary screen.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            places << screen->geometry().topRight();
    }
    return places;
}
