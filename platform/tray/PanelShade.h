#pragma once

#include "platform/desktop/DesktopColorScheme.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QRect>

#include <functional>
#include <optional>

// Whether the panel that holds the tray item is dark, so that an icon in fixed black would
// vanish on it. GNOME's top bar and Cinnamon's panel always are; an XEmbed tray shows it in
// the pixels beside the item; in an X session the bar that keeps its room on the screen shows
// it in its own pixels; otherwise the desktop's light or dark style tells (XFCE's dark panel
// among it), as DesktopColorScheme follows it, never waited for. Looked up now and then, not
// at every redraw.
class PanelShade
{
public:
    // `scheme` tells the desktop's light or dark style; it may go before the shade does.
    explicit PanelShade(DesktopColorScheme* scheme = DesktopColorScheme::shared());
    ~PanelShade();

    // `itemGeometry` tells where the item is; on an XEmbed tray that is a round trip to the X
    // server, so it is asked only when a look is due, not at every redraw.
    bool isDark(const std::function<QRect()>& itemGeometry);
    // The item was docked, moved or resized: look again at the next redraw.
    void itemMoved() { m_movedSinceLook = true; }
    // Dark or light from pictures of the panel beside the item; none where they show no
    // plain colour.
    static std::optional<bool> fromPixels(const QList<QImage>& strips);
    // Dark or light from a line of pixels along a bar: the colour most of it shows, with the
    // items and their text on it; none where no colour covers a good part of it.
    static std::optional<bool> fromBarLine(const QImage& line);

private:
    static std::optional<bool> fromPixelsBeside(const QRect& itemGeometry);
    static std::optional<bool> fromBarOnScreen();

    QPointer<DesktopColorScheme> m_scheme;
    QMetaObject::Connection m_schemeChanged;
    QElapsedTimer m_checked;
    QElapsedTimer m_sinceMoved;
    QRect m_checkedGeometry;
    bool m_dark = false;
    // Whether the panel's own look (its desktop or its pixels) ever told; how many looks in a
    // row it did not.
    bool m_panelTold = false;
    bool m_movedSinceLook = false;
    int m_looksUntold = 0;
};
