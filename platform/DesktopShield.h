#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;
struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_layer_surface_v1;
struct zwlr_virtual_pointer_manager_v1;

// For the panel, an X window on Xwayland, in a Wayland compositor with the layer shell (sway
// and the other wlroots compositors, KWin): a transparent surface over every output, around
// the panel, for as long as the panel is open. A Wayland client cannot ask where the pointer
// is and Xwayland does not know while it rests on a Wayland bar, but a surface that appears
// under the pointer is told. The panel's X grab never sees a click on a Wayland surface, nor
// another window taking the focus: the shield sees the first, and where the compositor lists
// its windows (wlroots), the second.
class DesktopShield : public QObject
{
    Q_OBJECT

public:
    // Null where the session has no Wayland compositor with the layer shell.
    static std::unique_ptr<DesktopShield> open();
    ~DesktopShield() override;

    // Covers the outputs; where the pointer is, in the compositor's coordinates, as soon as
    // the compositor tells, or nothing if it has not within `wait`.
    std::optional<QPoint> cover(std::chrono::milliseconds wait);
    // Lets clicks through where the panel is, `area` in the compositor's coordinates.
    void leaveOpen(const QRect& area);
    void uncover();
    bool isCovering() const { return !m_covers.empty(); }

signals:
    // A button went down on the shield, not on the panel.
    void clickedOutside();
    // Another window became the active one while the shield was up.
    void otherWindowActivated();

private:
    struct Output
    {
        wl_output* output = nullptr;
        uint32_t name = 0;
        QPoint position;
    };
    struct Cover
    {
        DesktopShield* shield = nullptr;
        const Output* output = nullptr;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        wl_buffer* buffer = nullptr;
        QSize size;
    };

    explicit DesktopShield(wl_display* display);
    bool bindGlobals();
    // Reads and handles what the compositor sent, waiting at most `waitMs` for it.
    void dispatch(int waitMs);
    void fail();
    void nudgePointer();
    void configure(Cover& cover, uint32_t serial, uint32_t width, uint32_t height);

    static void announce(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void forget(void* data, wl_registry* registry, uint32_t name);
    static void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities);
    void watchWindows();
    void stopWatchingWindows();

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    zwlr_virtual_pointer_manager_v1* m_nudgers = nullptr;
    // The compositor's list of windows, bound only while the shield is up.
    uint32_t m_windowListName = 0;
    zwlr_foreign_toplevel_manager_v1* m_windowList = nullptr;
    std::vector<zwlr_foreign_toplevel_handle_v1*> m_windows;
    // Past the list's first account of the windows: activations from here on are new.
    bool m_windowsKnown = false;
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::vector<std::unique_ptr<Cover>> m_covers;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<QPoint> m_pointerAt;
    bool m_failed = false;
};
