#pragma once

// What the tests' virtual devices need of a compositor: its seat, the manager that plugs in a
// device of the kind, and the clock their events share.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

template <typename Manager> struct Compositor
{
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    Manager* manager = nullptr;
};

// The compositor, its first seat and the manager of `interface` it announces, bound at
// `version`; none, with a line on standard error naming the `device`, where there is no display
// or no such manager.
template <typename Manager>
std::optional<Compositor<Manager>> connectToCompositor(const wl_interface& interface,
                                                       const char* device, uint32_t version = 1)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland display\n");
        return std::nullopt;
    }
    struct Found
    {
        Compositor<Manager> globals;
        const wl_interface* interface;
        uint32_t version;
    } found{{display}, &interface, version};
    static const wl_registry_listener listener{
        [](void* data, wl_registry* registry, uint32_t name, const char* announced,
           uint32_t offered) {
            auto* found = static_cast<Found*>(data);
            if (std::strcmp(announced, wl_seat_interface.name) == 0 && !found->globals.seat)
                found->globals.seat =
                    static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
            else if (std::strcmp(announced, found->interface->name) == 0 &&
                     offered >= found->version)
                found->globals.manager = static_cast<Manager*>(
                    wl_registry_bind(registry, name, found->interface, found->version));
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip(display);
    if (!found.globals.seat || !found.globals.manager) {
        std::fprintf(stderr, "the compositor offers no %s\n", device);
        return std::nullopt;
    }
    return found.globals;
}

// Milliseconds, on one clock for all of a device's events.
inline uint32_t now()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
