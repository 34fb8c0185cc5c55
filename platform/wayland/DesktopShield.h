#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

#include <memory>
#include <vector>

class QSocketNotifier;
struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// For the panel, an X window on Xwayland, in a Wayland compositor with the layer shell (sway
// and the other wlroots compositors, KWin): a transparent surface over every output, around
// the panel, for as long as the panel is open. A Wayland client cannot ask where the pointer
// is and Xwayland does not know while it rests on a Wayland bar, but a surface that appears
// under the pointer is told. The panel's X grab never sees a click on a Wayland surface, nor a
// key while a Wayland window has the keyboard: the shield takes both, holding the keyboard, so
// that no other window takes it, while the panel is open.
class DesktopShield : public QObject
{
    Q_OBJECT

public:
    // Null where the session has no Wayland compositor with the layer shell.
    static std::unique_ptr<DesktopShield> open();
    ~DesktopShield() override;

    // Covers the outputs, without waiting: `pointerFound` tells where the pointer is once the
    // compositor has mapped a cover under it, within a frame or two.
    void cover();
    // Lets clicks through where the panel is, `area` in the compositor's coordinates.
    void leaveOpen(const QRect& area);
    void uncover();
    bool isCovering() const { return !m_covers.empty(); }

signals:
    // Where the pointer came onto a cover, in the compositor's coordinates.
    void pointerFound(QPoint at);
    // A button went down on the shield, not on the panel.
    void clickedOutside();
    void escapePressed();

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
    // Reads and handles what the compositor sent, and sends what handling it asked for.
    void dispatch();
    void fail();
    void configure(Cover& cover, uint32_t serial, uint32_t width, uint32_t height);

    static void announce(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void forget(void* data, wl_registry* registry, uint32_t name);
    static void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::vector<std::unique_ptr<Cover>> m_covers;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_failed = false;
};
