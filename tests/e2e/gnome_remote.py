"""GNOME Shell on Wayland, driven as the tests' own remote desktop: `shot PATH` writes a
screenshot (GNOME 43 answers a caller that owns the name org.gnome.Screenshot); `input` reads
lines from its standard input, "move X Y", "click X Y BUTTON" and "key NAME", plays each on a
remote desktop session of Mutter's, and answers "done". Run with Debian's python3."""

import sys

import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # evdev's BTN_LEFT, BTN_MIDDLE, BTN_RIGHT
KEYSYMS = {"Escape": 0xff1b, "Return": 0xff0d}
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(name, path, interface, method, args=None, reply=None):
    return bus.call_sync(name, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 10000, None)


def shot(path):
    call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
         GLib.Variant("(su)", ("org.gnome.Screenshot", 4)))
    done, _ = call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                   "org.gnome.Shell.Screenshot", "Screenshot",
                   GLib.Variant("(bbs)", (False, False, path)), "(bs)").unpack()
    sys.exit(0 if done else 1)


def play():
    session = call("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                   "org.gnome.Mutter.RemoteDesktop", "CreateSession", None, "(o)").unpack()[0]

    def tell(method, signature, *args):
        call("org.gnome.Mutter.RemoteDesktop", session,
             "org.gnome.Mutter.RemoteDesktop.Session", method,
             GLib.Variant(signature, args) if args else None)
    tell("Start", "()")
    # Only relative motion without a screen cast: from the top left corner, where a long
    # move up and to the left leaves the pointer, the pointer's place is known.
    tell("NotifyPointerMotionRelative", "(dd)", -10000.0, -10000.0)
    where = [0, 0]

    def move(x, y):
        tell("NotifyPointerMotionRelative", "(dd)", float(x - where[0]), float(y - where[1]))
        where[:] = [x, y]
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if words[0] == "move":
            move(int(words[1]), int(words[2]))
        elif words[0] == "click":
            move(int(words[1]), int(words[2]))
            button = BUTTONS[int(words[3])]
            tell("NotifyPointerButton", "(ib)", button, True)
            tell("NotifyPointerButton", "(ib)", button, False)
        elif words[0] == "key":
            keysym = KEYSYMS[words[1]]
            tell("NotifyKeyboardKeysym", "(ub)", keysym, True)
            tell("NotifyKeyboardKeysym", "(ub)", keysym, False)
        print("done", flush=True)


if __name__ == "__main__":
    shot(sys.argv[2]) if sys.argv[1] == "shot" else play()
