#include "platform/wayland/DesktopShield.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QSocketNotifier>

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace {

template <typename Listener> Listener ignoringAll()
{
    // Value-initialised, then filled in: newer protocol versions add members, and the
    // compositor sends only the events of the version bound.
    Listener listener{};
    return listener;
}

uint32_t boundVersion(uint32_t offered, uint32_t wanted)
{
    return std::min(offered, wanted);
}
} // namespace

std::unique_ptr<DesktopShield> DesktopShield::open()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<DesktopShield> shield(new DesktopShield(display));
    if (!shield->bindGlobals())
        return nullptr;
    return shield;
}

DesktopShield::DesktopShield(wl_display* display) : m_display(display) {}

DesktopShield::~DesktopShield()
{
    uncover();
    m_notifier.reset();
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
    for (const auto& output : m_outputs)
        wl_output_destroy(output->output);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

bool DesktopShield::bindGlobals()
{
    static const wl_registry_listener registryListener{&DesktopShield::announce,
                                                       &DesktopShield::forget};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    // Globals first, then what binding them sent (outputs' places, the seat's devices).
    if (wl_display_roundtrip(m_display) < 0 || wl_display_roundtrip(m_display) < 0)
        return false;
    if (!m_compositor || !m_shm || !m_seat || !m_layerShell || m_outputs.empty())
        return false;
    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { dispatch(); });
    return true;
}

void DesktopShield::announce(void* data, wl_registry* registry, uint32_t name,
                             const char* interface, uint32_t version)
{
    auto* shield = static_cast<DesktopShield*>(data);
    const auto is = [interface](const wl_interface& known) {
        return std::strcmp(interface, known.name) == 0;
    };
    if (is(wl_compositor_interface) && !shield->m_compositor) {
        shield->m_compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (is(wl_shm_interface) && !shield->m_shm) {
        shield->m_shm =
            static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (is(zwlr_layer_shell_v1_interface) && !shield->m_layerShell) {
        shield->m_layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (is(wl_seat_interface) && !shield->m_seat) {
        shield->m_seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, boundVersion(version, 5)));
        static const wl_seat_listener seatListener = [] {
            auto listener = ignoringAll<wl_seat_listener>();
            listener.capabilities = &DesktopShield::seatCapabilities;
            listener.name = [](void*, wl_seat*, const char*) {};
            return listener;
        }();
        wl_seat_add_listener(shield->m_seat, &seatListener, shield);
    } else if (is(wl_output_interface)) {
        auto output = std::make_unique<Output>();
        output->name = name;
        output->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, boundVersion(version, 2)));
        static const wl_output_listener outputListener = [] {
            auto listener = ignoringAll<wl_output_listener>();
            // The output's place in the compositor's space, which Xwayland's screen shares.
            listener.geometry = [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t,
                                   int32_t, const char*, const char*, int32_t) {
                static_cast<Output*>(data)->position = QPoint(x, y);
            };
            listener.mode = [](void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {};
            listener.done = [](void*, wl_output*) {};
            listener.scale = [](void*, wl_output*, int32_t) {};
            return listener;
        }();
        wl_output_add_listener(output->output, &outputListener, output.get());
        shield->m_outputs.push_back(std::move(output));
    }
}

void DesktopShield::forget(void* data, wl_registry*, uint32_t name)
{
    auto* shield = static_cast<DesktopShield*>(data);
    auto& outputs = shield->m_outputs;
    const auto gone = std::find_if(outputs.begin(), outputs.end(),
                                   [name](const auto& output) { return output->name == name; });
    if (gone == outputs.end())
        return;
    // Its cover goes with it; the compositor has unmapped it already.
    shield->uncover();
    wl_output_destroy((*gone)->output);
    outputs.erase(gone);
}

void DesktopShield::seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities)
{
    auto* shield = static_cast<DesktopShield*>(data);
    // Devices come and go (a mouse unplugged, a virtual keyboard): what is gone is let go of,
    // and taken again when it returns.
    if (!(capabilities & WL_SEAT_CAPABILITY_POINTER) && shield->m_pointer) {
        wl_pointer_destroy(shield->m_pointer);
        shield->m_pointer = nullptr;
    }
    if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && shield->m_keyboard) {
        wl_keyboard_destroy(shield->m_keyboard);
        shield->m_keyboard = nullptr;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !shield->m_pointer) {
        shield->m_pointer = wl_seat_get_pointer(seat);
        static const wl_pointer_listener pointerListener = [] {
            auto listener = ignoringAll<wl_pointer_listener>();
            listener.enter = [](void* data, wl_pointer*, uint32_t, wl_surface* surface,
                                wl_fixed_t x, wl_fixed_t y) {
                auto* shield = static_cast<DesktopShield*>(data);
                for (const auto& cover : shield->m_covers) {
                    if (cover->surface == surface) {
                        emit shield->pointerFound(cover->output->position +
                                                  QPoint(wl_fixed_to_int(x), wl_fixed_to_int(y)));
                        return;
                    }
                }
            };
            listener.leave = [](void*, wl_pointer*, uint32_t, wl_surface*) {};
            listener.motion = [](void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {};
            listener.button = [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t,
                                 uint32_t state) {
                // The pointer is on one of the covers: the click is outside the panel.
                auto* shield = static_cast<DesktopShield*>(data);
                if (state == WL_POINTER_BUTTON_STATE_PRESSED && shield->isCovering())
                    emit shield->clickedOutside();
            };
            listener.axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {};
            listener.frame = [](void*, wl_pointer*) {};
            listener.axis_source = [](void*, wl_pointer*, uint32_t) {};
            listener.axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {};
            listener.axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {};
            return listener;
        }();
        wl_pointer_add_listener(shield->m_pointer, &pointerListener, shield);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !shield->m_keyboard) {
        shield->m_keyboard = wl_seat_get_keyboard(seat);
        static const wl_keyboard_listener keyboardListener = [] {
            auto listener = ignoringAll<wl_keyboard_listener>();
            listener.keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
                // Only Escape matters, and its key code is the same in every layout.
                ::close(fd);
            };
            listener.enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {};
            listener.leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {};
            listener.key = [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key,
                              uint32_t state) {
                auto* shield = static_cast<DesktopShield*>(data);
                if (key == KEY_ESC && state == WL_KEYBOARD_KEY_STATE_PRESSED &&
                    shield->isCovering())
                    emit shield->escapePressed();
            };
            listener.modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t) {};
            listener.repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {};
            return listener;
        }();
        wl_keyboard_add_listener(shield->m_keyboard, &keyboardListener, shield);
    }
}

void DesktopShield::cover()
{
    uncover();
    if (m_failed)
        return;
    static const zwlr_layer_surface_v1_listener layerListener{
        [](void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height) {
            auto* cover = static_cast<Cover*>(data);
            cover->shield->configure(*cover, serial, width, height);
        },
        [](void* data, zwlr_layer_surface_v1*) {
            // The compositor took the cover away (its output went): nothing else to do.
            static_cast<Cover*>(data)->shield->uncover();
        }};
    for (const auto& output : m_outputs) {
        auto cover = std::make_unique<Cover>();
        cover->shield = this;
        cover->output = output.get();
        cover->surface = wl_compositor_create_surface(m_compositor);
        cover->layer = zwlr_layer_shell_v1_get_layer_surface(
            m_layerShell, cover->surface, output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "horalis-shield");
        zwlr_layer_surface_v1_add_listener(cover->layer, &layerListener, cover.get());
        zwlr_layer_surface_v1_set_anchor(cover->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        // Over the bars too. The keyboard is the shield's while the panel is open: the
        // compositor would not give it to an X window while one of its own has it.
        zwlr_layer_surface_v1_set_exclusive_zone(cover->layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(cover->layer, 1);
        wl_surface_commit(cover->surface);
        m_covers.push_back(std::move(cover));
    }
    wl_display_flush(m_display);
}

void DesktopShield::configure(Cover& cover, uint32_t serial, uint32_t width, uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(cover.layer, serial);
    cover.size = QSize(static_cast<int>(width), static_cast<int>(height));
    if (cover.buffer || width == 0 || height == 0)
        return wl_surface_commit(cover.surface);
    // Fully transparent: a new file reads as zeros, so nothing needs to be drawn.
    const int stride = static_cast<int>(width) * 4;
    const int size = stride * static_cast<int>(height);
    const int fd = memfd_create("horalis-shield", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, fd, size);
    cover.buffer = wl_shm_pool_create_buffer(
        pool, 0, static_cast<int>(width), static_cast<int>(height), stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    ::close(fd);
    wl_surface_attach(cover.surface, cover.buffer, 0, 0);
    wl_surface_damage(cover.surface, 0, 0, static_cast<int>(width), static_cast<int>(height));
    wl_surface_commit(cover.surface);
}

void DesktopShield::leaveOpen(const QRect& area)
{
    for (const auto& cover : m_covers) {
        wl_region* region = wl_compositor_create_region(m_compositor);
        wl_region_add(region, 0, 0, cover->size.width(), cover->size.height());
        const QRect hole = area.translated(-cover->output->position);
        wl_region_subtract(region, hole.x(), hole.y(), hole.width(), hole.height());
        wl_surface_set_input_region(cover->surface, region);
        wl_region_destroy(region);
        wl_surface_commit(cover->surface);
    }
    if (!m_failed)
        wl_display_flush(m_display);
}

void DesktopShield::uncover()
{
    for (const auto& cover : m_covers) {
        zwlr_layer_surface_v1_destroy(cover->layer);
        wl_surface_destroy(cover->surface);
        if (cover->buffer)
            wl_buffer_destroy(cover->buffer);
    }
    m_covers.clear();
    if (!m_failed)
        wl_display_flush(m_display);
}

void DesktopShield::dispatch()
{
    if (m_failed)
        return;
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    pollfd ready{wl_display_get_fd(m_display), POLLIN, 0};
    if (::poll(&ready, 1, 0) > 0)
        wl_display_read_events(m_display);
    else
        wl_display_cancel_read(m_display);
    wl_display_dispatch_pending(m_display);
    if (wl_display_get_error(m_display) != 0)
        return fail();
    // A cover's first picture, attached as the compositor configured it.
    wl_display_flush(m_display);
}

void DesktopShield::fail()
{
    // The compositor went away or refused us: the shield does nothing from here on, and the
    // panel behaves as on any X server.
    m_failed = true;
    m_notifier.reset();
    m_covers.clear();
}
