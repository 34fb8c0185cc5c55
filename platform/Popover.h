#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

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

    bool isShown() const { return isVisible(); }
    // Opens below `anchor` (the item's place on screen), inside the screen that holds it; above
    // it where there is no room below. An empty anchor stands for the pointer.
    void showRelativeTo(const QRect& anchor);
    void performClose();
    // True shortly after the popover closed because of a click outside it (not by a toggle or
    // Escape): that click, when it was on the tray item, must not open it again. Only a click
    // a tray host reports over D-Bus, or one on a tool window, can arrive that way.
    bool justClosed(bool clickReportedByHost) const;

    // Where a popover of `size` opens for `anchor` on a screen whose free area is `screen`.
    static QPoint placement(const QRect& anchor, const QSize& size, const QRect& screen);
    // The item a click at `click` was on, where nothing tells its size: a tray sits in a bar
    // along the top or bottom edge of `screen` with its items centred across the bar, so the
    // item reaches as far past the click as the click is from that edge. Elsewhere, the point.
    static QRect itemAround(QPoint click, const QRect& screen);
    static QRect itemAround(QPoint click);

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ensureGrab();

    QWidget* m_content = nullptr;
    // Only for an X popup in a Wayland session: see DesktopShield.
    std::unique_ptr<DesktopShield> m_shield;
    QElapsedTimer m_sinceClose;
    bool m_usesPopupWindow;
    bool m_closingOnRequest = false;
    int m_grabRetries = 0;
};
