"""KWin on Wayland: `kwin_shot.py PATH WIDTH HEIGHT` writes a screenshot of the screen's area
from (0, 0) to PATH, as a PNG. KWin writes the raw pixels into a pipe it is handed, and answers
with their size and layout. Run with Debian's python3."""

import os
import subprocess
import sys

import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

# QImage's formats that KWin sends: 32 bits a pixel, blue first in memory.
FORMATS = {4: "bgra", 5: "bgra", 6: "bgra"}


def shot(path, width, height):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    read_end, write_end = os.pipe()
    # The list owns the write end, and closes it when it goes: the reader then sees the end.
    fds = Gio.UnixFDList.new_from_array([write_end])
    reply, _ = bus.call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureArea",
        GLib.Variant("(iiuua{sv}h)", (0, 0, width, height,
                                       {"native-resolution": GLib.Variant("b", True)}, 0)),
        GLib.VariantType("(a{sv})"), Gio.DBusCallFlags.NONE, 20000, fds, None)
    del fds
    layout = reply.unpack()[0]
    with os.fdopen(read_end, "rb") as pipe:
        pixels = pipe.read()
    if layout.get("type") != "raw" or layout.get("format") not in FORMATS or \
            layout["stride"] != layout["width"] * 4:
        sys.exit(f"an unexpected picture: {layout}")
    subprocess.run(["convert", "-size", f"{layout['width']}x{layout['height']}", "-depth", "8",
                    f"{FORMATS[layout['format']]}:-", "-alpha", "off", "png:" + path],
                   input=pixels, check=True)


if __name__ == "__main__":
    shot(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
