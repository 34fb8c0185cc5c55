#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QRect>

#include <optional>

// Whether the panel that holds the tray item is dark, so that an icon in fixed black would
// vanish on it. GNOME's top bar always is; an XEmbed tray shows it in the pixels beside the
// item; otherwise the desktop's own dark-panel setting (XFCE), the freedesktop appearance
// setting, and last the palette tell. Looked up now and then, not at every redraw.
class PanelShade
{
public:
    // `bus` is where the desktop's settings are asked for.
    explicit PanelShade(QDBusConnection bus = QDBusConnection::sessionBus());

    bool isDark(const QRect& itemGeometry);
    // Dark or light from pictures of the panel beside the item; none where they show no
    // plain colour.
    static std::optional<bool> fromPixels(const QList<QImage>& strips);

private:
    static std::optional<bool> fromDesktop();
    static std::optional<bool> fromPixelsBeside(const QRect& itemGeometry);
    std::optional<bool> fromXfcePanel() const;
    std::optional<bool> fromAppearanceSetting() const;
    std::optional<QVariant> readOverBus(QDBusMessage call) const;

    QDBusConnection m_bus;
    QElapsedTimer m_checked;
    QElapsedTimer m_sinceMoved;
    QRect m_checkedGeometry;
    bool m_dark = false;
    // Whether the panel's own look (its desktop or its pixels) ever told; how many looks in a
    // row it did not.
    bool m_panelTold = false;
    int m_looksUntold = 0;
};
