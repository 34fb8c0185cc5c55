#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class ClickCatcher;
class DesktopShield;

// A borderless panel that opens below a tray item and closes when the user clicks outside it
// (or clicks the item again), holding one content widget. It takes keyboard focus when shown.
class Popover : public QWidget
{
    Q_OBJECT

public:
    // Content made with the popover as its parent is never a window of its own, not even for a
    // moment: a screen reader that saw it as one would remember it so.
    Popover();
    explicit Popover(QWidget* content);
    // Once, before the popover is first shown.
    void setContent(QWidget* content);
    ~Popover() override;

    // Also while it waits to learn where the pointer is, to open there.
    bool isShown() const { return isVisible() || m_opening.has_value(); }
    // Opens below `anchor` (the item's place on screen), inside the screen that holds it; above
    // it where there is no room below. An empty anchor stands for the pointer. In a Wayland
    // session with the shield it opens a moment later, once the compositor has told where the
    // pointer is.
    void showRelativeTo(const QRect& anchor);
    void performClose();
    // True shortly after the popover closed because of a click outside it (not by a toggle or
    // Escape): that click, when it was on the tray item, must not open it again. Only a click
    // a tray host reports over D-Bus, or one on a tool window, can arrive that way.
    bool justClosed(bool clickReportedByHost) const;

    // Where a popover of `size` opens for `anchor` on a screen whose free area is `screen`:
    // below or above it, or beside a one pixel high strip across a bar at the left or right.
    static QPoint placement(const QRect& anchor, const QSize& size, const QRect& screen);
    // The strip across the bar that `point` lies in, from the bar's inner edge to the screen's
    // edge; empty where it lies in no bar. A bar that keeps windows off its room (the screen's
    // `available` area leaves it out) is known exactly. Along an edge that keeps no room, a
    // point near the top or bottom is taken for a click on an item centred across a bar.
    static QRect barStripAt(QPoint point, const QRect& screen, const QRect& available);
    // The item a click came from, where nothing tells its size: the strip across the bar at
    // the first of `points` (in the order they are trusted) that lies in a bar, else the first
    // point; empty for no points.
    static QRect itemAround(const QList<QPoint>& points);

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openAtPointer(QPoint pointer);
    void openAt(const QRect& target);
    void ensureGrab();

    QWidget* m_content = nullptr;
    // Only for an X popup in a Wayland session whose compositor has the layer shell: see
    // DesktopShield.
    std::unique_ptr<DesktopShield> m_shield;
    // Only for an X window in a Wayland session whose compositor has no layer shell.
    std::unique_ptr<ClickCatcher> m_catcher;
    // Where it is about to open, while the shield learns where the pointer is.
    std::optional<QRect> m_opening;
    QTimer m_pointerWait;
    QElapsedTimer m_sinceClose;
    bool m_usesPopupWindow;
    bool m_closingOnRequest = false;
    int m_grabRetries = 0;
};
