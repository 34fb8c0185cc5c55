#pragma once

// What the tests' virtual devices need of a wlroots compositor: its seat, the manager that
// plugs in a device of the kind, and the clock their events share.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstring>

template <typename Manager> struct SeatAndManager
{
    wl_seat* seat = nullptr;
    Manager* manager = nullptr;
};

// The first seat and the manager of `interface` the compositor announces; null where it
// announces none.
template <typename Manager>
SeatAndManager<Manager> bindSeatAnd(wl_display* display, const wl_interface& interface)
{
    struct Found
    {
        SeatAndManager<Manager> globals;
        const wl_interface* interface;
    } found{{}, &interface};
    static const wl_registry_listener listener{
        [](void* data, wl_registry* registry, uint32_t name, const char* announced, uint32_t) {
            auto* found = static_cast<Found*>(data);
            if (std::strcmp(announced, wl_seat_interface.name) == 0 && !found->globals.seat)
                found->globals.seat =
                    static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
            else if (std::strcmp(announced, found->interface->name) == 0)
                found->globals.manager =
                    static_cast<Manager*>(wl_registry_bind(registry, name, found->interface, 1));
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip(display);
    return found.globals;
}

// Milliseconds, on one clock for all of a device's events.
inline uint32_t now()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
