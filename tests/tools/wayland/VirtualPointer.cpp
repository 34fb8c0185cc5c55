// A mouse for tests in a wlroots compositor, plugged in for as long as it runs: each line on
// standard input, "<layout width> <layout height> <x> <y> [left|right|none]", moves it to a
// place on the output layout and clicks there, through the same path as a mouse, so that the
// clients (a bar, its tray) see a real press and release. It answers "done" to each.

#include "VirtualDevice.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {
void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

int main()
{
    const auto compositor = connectToCompositor<zwlr_virtual_pointer_manager_v1>(
        zwlr_virtual_pointer_manager_v1_interface, "virtual pointer");
    if (!compositor)
        return 1;
    wl_display* display = compositor->display;
    // One device for the whole session, as a mouse that stays plugged in.
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(
        compositor->manager, compositor->seat);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned width = 0, height = 0, x = 0, y = 0;
        char which[16] = "none";
        if (std::sscanf(line, "%u %u %u %u %15s", &width, &height, &x, &y, which) < 4)
            break;
        zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        const std::string button = which;
        if (button == "left" || button == "right") {
            // The pointer comes to rest, then a tap, as on a touchpad: the button is up again
            // before any client can answer the press.
            pause(150);
            const uint32_t code = button == "right" ? BTN_RIGHT : BTN_LEFT;
            zwlr_virtual_pointer_v1_button(pointer, now(), code, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now(), code, WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
            wl_display_roundtrip(display);
        }
        std::printf("done\n");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(compositor->manager);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
