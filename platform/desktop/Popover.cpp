#include "platform/desktop/Popover.h"

#include "platform/desktop/ClickCatcher.h"
#include "platform/desktop/DesktopSession.h"
#include "platform/wayland/DesktopShield.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {
// A click on the tray item while the popover is open first closes it (the press lands outside
// it), and then reaches the item: a StatusNotifierItem host reports it on the release, over
// D-Bus, some hundred milliseconds later. A report this soon after such a close is that click.
constexpr qint64 kSameClickMs = 400;
constexpr int kGrabRetryMs = 200;
constexpr int kGrabRetries = 10;
// Deeper than any bar a tray sits in, shallower than a panel a click could land on.
constexpr int kBarDepth = 48;
// The compositor tells a new surface where the pointer is within a frame or two.
constexpr int kPointerWaitMs = 250;

const QScreen* screenAt(QPoint point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}
} // namespace

Popover::Popover()
    : QWidget(nullptr),
      m_shield(QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
                   ? nullptr
                   : DesktopShield::open()),
      // An X popup learns of a click outside it through its pointer grab, which sees every
      // click in an X session and, in a Wayland session, those on the shield. Elsewhere the
      // panel is a borderless tool window that takes the focus and closes when it loses it:
      // Wayland opens a popup only over a window of the program's own that has had input, and
      // a tray program has none; GNOME's compositor has no layer shell for a shield.
      m_usesPopupWindow(!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
                        (m_shield || !DesktopSession::isWaylandSession()))
{
    setWindowFlags(m_usesPopupWindow
                       ? Qt::Popup | Qt::FramelessWindowHint
                       : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // The click that closes the popover must not reach the tray item as a new click.
    setAttribute(Qt::WA_NoMouseReplay);
    setWindowTitle(QStringLiteral("Horalis"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!m_usesPopupWindow &&
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        m_catcher = std::make_unique<ClickCatcher>();
        connect(m_catcher.get(), &ClickCatcher::clicked, this, &Popover::performClose);
    }
    if (m_shield) {
        connect(m_shield.get(), &DesktopShield::clickedOutside, this, &Popover::performClose);
        connect(m_shield.get(), &DesktopShield::escapePressed, this, &Popover::performClose);
        connect(m_shield.get(), &DesktopShield::pointerFound, this, &Popover::openAtPointer);
        m_pointerWait.setSingleShot(true);
        connect(&m_pointerWait, &QTimer::timeout, this, [this] {
            if (m_opening)
                openAt(*m_opening);
        });
    }
}

Popover::Popover(QWidget* content) : Popover()
{
    setContent(content);
}

void Popover::setContent(QWidget* content)
{
    Q_ASSERT(!m_content);
    m_content = content;
    layout()->addWidget(content);
    setFocusProxy(content);
    content->setFocusPolicy(Qt::StrongFocus);
}

Popover::~Popover() = default;

QRect Popover::barStripAt(QPoint point, const QRect& screen, const QRect& available)
{
    if (!screen.contains(point))
        return {};
    const int x = point.x(), y = point.y();
    if (y < available.top())
        return QRect(x, screen.top(), 1, available.top() - screen.top());
    if (y > available.bottom())
        return QRect(x, available.bottom() + 1, 1, screen.bottom() - available.bottom());
    if (x < available.left())
        return QRect(screen.left(), y, available.left() - screen.left(), 1);
    if (x > available.right())
        return QRect(available.right() + 1, y, screen.right() - available.right(), 1);
    const int fromTop = y - screen.top();
    const int fromBottom = screen.bottom() - y;
    if (available.top() == screen.top() && fromTop < kBarDepth)
        return QRect(x, screen.top(), 1, 2 * fromTop + 1);
    if (available.bottom() == screen.bottom() && fromBottom < kBarDepth)
        return QRect(x, y - fromBottom, 1, 2 * fromBottom + 1);
    return {};
}

QRect Popover::itemAround(const QList<QPoint>& points)
{
    for (const QPoint point : points) {
        if (const QScreen* screen = QGuiApplication::screenAt(point)) {
            const QRect strip = barStripAt(point, screen->geometry(), screen->availableGeometry());
            if (!strip.isEmpty())
                return strip;
        }
    }
    return points.isEmpty() ? QRect() : QRect(points.first(), QSize(1, 1));
}

QPoint Popover::placement(const QRect& anchor, const QSize& size, const QRect& screen)
{
    int x = anchor.center().x() - size.width() / 2;
    int y = anchor.bottom() + 1;
    if (anchor.height() == 1 && anchor.width() > 1) {
        // Beside a bar at the left or right edge: past its right side, where the free area
        // starts; one at the right the clamp below brings back to its left side.
        x = anchor.right() + 1;
        y = anchor.center().y() - size.height() / 2;
    } else if (y + size.height() > screen.bottom() + 1 &&
               anchor.top() - size.height() >= screen.top()) {
        y = anchor.top() - size.height();
    }
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
    return {x, y};
}

void Popover::showRelativeTo(const QRect& anchor)
{
    const QRect target = anchor.isEmpty() ? QRect(QCursor::pos(), QSize(1, 1)) : anchor;
    if (m_shield) {
        // In a Wayland session the pointer's place is the click's; a host's report of it is
        // not always in screen coordinates (waybar 0.9 reports it inside the item). The
        // panel opens once the shield has learnt it, or without it after a short wait.
        m_shield->cover();
        if (m_shield->isCovering()) {
            m_opening = target;
            m_pointerWait.start(kPointerWaitMs);
            return;
        }
    }
    openAt(target);
}

void Popover::openAtPointer(QPoint pointer)
{
    if (!m_opening)
        return;
    const QRect target =
        m_opening->width() <= 1 || m_opening->height() <= 1 ? itemAround({pointer}) : *m_opening;
    openAt(target);
}

void Popover::openAt(const QRect& target)
{
    m_opening.reset();
    m_pointerWait.stop();
    const QScreen* screen = screenAt(target.center());
    adjustSize();
    if (screen)
        move(placement(target, sizeHint(), screen->availableGeometry()));
    if (m_catcher && screen)
        m_catcher->cover(screen);
    show();
    raise();
    activateWindow();
    if (m_shield)
        m_shield->leaveOpen(frameGeometry());
    m_content->setFocus(Qt::PopupFocusReason);
    if (m_usesPopupWindow) {
        m_grabRetries = kGrabRetries;
        QTimer::singleShot(kGrabRetryMs, this, &Popover::ensureGrab);
    }
}

void Popover::ensureGrab()
{
    // Opened from a tray host's own menu (GNOME Shell's), the popup may have asked for the
    // pointer while the host still held it, and then never learns of a click outside it. By
    // now the host has let go: asking again is harmless where the first request succeeded.
    QWindow* window = windowHandle();
    if (!isVisible() || !window)
        return;
    const bool grabbed = window->setMouseGrabEnabled(true);
    window->setKeyboardGrabEnabled(true);
    if (!grabbed && --m_grabRetries > 0)
        QTimer::singleShot(kGrabRetryMs, this, &Popover::ensureGrab);
}

void Popover::performClose()
{
    if (m_opening) {
        // Still waiting to open: it never does.
        m_opening.reset();
        m_pointerWait.stop();
        m_shield->uncover();
    }
    if (!isVisible())
        return;
    m_closingOnRequest = true;
    hide();
    m_closingOnRequest = false;
}

bool Popover::justClosed(bool clickReportedByHost) const
{
    // A popup window keeps the closing click from reaching an XEmbed item at all.
    if (m_usesPopupWindow && !clickReportedByHost)
        return false;
    return m_sinceClose.isValid() && m_sinceClose.elapsed() < kSameClickMs;
}

void Popover::hideEvent(QHideEvent* event)
{
    if (m_shield)
        m_shield->uncover();
    if (m_catcher)
        m_catcher->hide();
    // Closed by a click somewhere else, which may be the click on the item.
    if (m_closingOnRequest)
        m_sinceClose.invalidate();
    else
        m_sinceClose.start();
    QWidget::hideEvent(event);
}

void Popover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        performClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Popover::changeEvent(QEvent* event)
{
    if (!m_usesPopupWindow && event->type() == QEvent::ActivationChange && !isActiveWindow())
        hide();
    QWidget::changeEvent(event);
}
