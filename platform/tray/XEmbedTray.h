#pragma once

#include <QWindow>

// The XEmbed system tray of an X screen: whichever window holds the screen's
// "_NET_SYSTEM_TRAY_S<n>" selection, read anew on every call.
class XEmbedTray
{
public:
    // Asks the tray that holds the selection of `window`'s screen now to dock it; false where
    // there is no tray or this is no X session.
    static bool requestDock(WId window);
};
