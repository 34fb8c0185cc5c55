// A keyboard for tests in a wlroots compositor, plugged in for as long as it runs, as a real
// one stays: the compositor hands its keys to whichever surface holds the keyboard, by the
// same path as a real keyboard's. Each line on standard input names a key ("Escape"), which
// is pressed and released; it answers "done" to each.

#include "VirtualDevice.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {
// The keys the tests press, by their evdev codes; X key codes are those plus 8.
const std::map<std::string, uint32_t> kKeys{{"Escape", KEY_ESC}, {"Return", KEY_ENTER}};

// A layout of just those keys, compiled by the compositor with the system's XKB data.
constexpr char kKeymap[] = "xkb_keymap {\n"
                           "xkb_keycodes \"tests\" { minimum = 8; maximum = 255;\n"
                           "  <ESC> = 9; <RTRN> = 36; };\n"
                           "xkb_types \"tests\" { include \"complete\" };\n"
                           "xkb_compatibility \"tests\" { include \"complete\" };\n"
                           "xkb_symbols \"tests\" { key <ESC> { [ Escape ] };\n"
                           "  key <RTRN> { [ Return ] }; };\n"
                           "};\n";
} // namespace

int main()
{
    const auto compositor = connectToCompositor<zwp_virtual_keyboard_manager_v1>(
        zwp_virtual_keyboard_manager_v1_interface, "virtual keyboard");
    if (!compositor)
        return 1;
    wl_display* display = compositor->display;
    zwp_virtual_keyboard_v1* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        compositor->manager, compositor->seat);
    const int keymap = memfd_create("keymap", MFD_CLOEXEC);
    if (keymap < 0 || write(keymap, kKeymap, sizeof kKeymap) != sizeof kKeymap) {
        std::fprintf(stderr, "cannot hold the keymap\n");
        return 1;
    }
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, keymap,
                                   sizeof kKeymap);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        const std::string name(line, strcspn(line, "\r\n"));
        const auto key = kKeys.find(name);
        if (key == kKeys.end()) {
            std::fprintf(stderr, "no key %s\n", name.c_str());
            break;
        }
        zwp_virtual_keyboard_v1_key(keyboard, now(), key->second, WL_KEYBOARD_KEY_STATE_PRESSED);
        wl_display_roundtrip(display);
        zwp_virtual_keyboard_v1_key(keyboard, now(), key->second, WL_KEYBOARD_KEY_STATE_RELEASED);
        wl_display_roundtrip(display);
        std::printf("done\n");
        std::fflush(stdout);
    }
    zwp_virtual_keyboard_v1_destroy(keyboard);
    zwp_virtual_keyboard_manager_v1_destroy(compositor->manager);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    close(keymap);
    return 0;
}
