// A mouse and a keyboard for tests in KWin, through its fake input protocol, the one its own
// tests and KDE Connect use: the compositor routes the events as a real device's. Each line on
// standard input, "move X Y", "click X Y BUTTON" (1 left, 2 middle, 3 right) or "key NAME"
// ("Escape", "Return"), is played and answered with "done".

#include "VirtualDevice.h"
#include "fake-input-client-protocol.h"

#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

namespace {
const std::map<std::string, uint32_t> kKeys{{"Escape", KEY_ESC}, {"Return", KEY_ENTER}};
const std::map<int, uint32_t> kButtons{{1, BTN_LEFT}, {2, BTN_MIDDLE}, {3, BTN_RIGHT}};
// Absolute motion and keys came with the protocol's fourth version.
constexpr uint32_t kVersion = 4;
} // namespace

int main()
{
    const auto compositor = connectToCompositor<org_kde_kwin_fake_input>(
        org_kde_kwin_fake_input_interface, "fake input", kVersion);
    if (!compositor)
        return 1;
    wl_display* display = compositor->display;
    org_kde_kwin_fake_input* input = compositor->manager;
    org_kde_kwin_fake_input_authenticate(input, "horalis tests", "to click and type as a user");
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        char verb[16] = "", name[32] = "";
        int x = 0, y = 0, button = 1;
        if (std::sscanf(line, "%15s", verb) != 1)
            break;
        const std::string what = verb;
        if (what == "key" && std::sscanf(line, "%*s %31s", name) == 1 && kKeys.count(name)) {
            const uint32_t key = kKeys.at(name);
            org_kde_kwin_fake_input_keyboard_key(input, key, WL_KEYBOARD_KEY_STATE_PRESSED);
            org_kde_kwin_fake_input_keyboard_key(input, key, WL_KEYBOARD_KEY_STATE_RELEASED);
        } else if ((what == "move" || what == "click") &&
                   std::sscanf(line, "%*s %d %d %d", &x, &y, &button) >= 2 &&
                   kButtons.count(button)) {
            org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_int(x),
                                                            wl_fixed_from_int(y));
            wl_display_roundtrip(display);
            if (what == "click") {
                // The pointer comes to rest before the press, as a hand's does.
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                const uint32_t code = kButtons.at(button);
                org_kde_kwin_fake_input_button(input, code, WL_POINTER_BUTTON_STATE_PRESSED);
                org_kde_kwin_fake_input_button(input, code, WL_POINTER_BUTTON_STATE_RELEASED);
            }
        } else {
            std::fprintf(stderr, "cannot play: %s", line);
            break;
        }
        wl_display_roundtrip(display);
        std::printf("done\n");
        std::fflush(stdout);
    }
    org_kde_kwin_fake_input_destroy(input);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
