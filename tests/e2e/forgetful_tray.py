"""An XEmbed system tray that drops the first request to dock it is sent, as a tray that has
taken its selection before it is ready to embed does, and docks every later one. Prints
"ready <window>" once it holds the selection. Run with Debian's python3, which has Xlib."""

import sys

from Xlib import X, display
from Xlib.protocol import event

REQUEST_DOCK = 0
XEMBED_EMBEDDED_NOTIFY = 0
ICON = 22


def main():
    to_drop = int(sys.argv[1]) if len(sys.argv) > 1 else 1
    x = display.Display()
    screen = x.screen()
    tray = screen.root.create_window(
        1000, 0, 200, 40, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
        background_pixel=screen.white_pixel, override_redirect=True)
    tray.set_wm_name("forgetful tray")
    tray.map()
    selection = x.intern_atom(f"_NET_SYSTEM_TRAY_S{x.get_default_screen()}")
    opcode = x.intern_atom("_NET_SYSTEM_TRAY_OPCODE")
    xembed = x.intern_atom("_XEMBED")
    tray.set_selection_owner(selection, X.CurrentTime)
    screen.root.send_event(event.ClientMessage(
        window=screen.root, client_type=x.intern_atom("MANAGER"),
        data=(32, [X.CurrentTime, selection, tray.id, 0, 0])), event_mask=X.StructureNotifyMask)
    x.flush()
    print("ready", hex(tray.id), flush=True)
    docked = 0
    while True:
        message = x.next_event()
        if message.type != X.ClientMessage or message.client_type != opcode:
            continue
        _, request, client_id, _, _ = message.data[1]
        if request != REQUEST_DOCK:
            continue
        if to_drop > 0:
            to_drop -= 1
            continue
        client = x.create_resource_object("window", client_id)
        client.reparent(tray, 4 + docked * (ICON + 4), (40 - ICON) // 2)
        client.configure(width=ICON, height=ICON)
        client.map()
        client.send_event(event.ClientMessage(
            window=client, client_type=xembed,
            data=(32, [X.CurrentTime, XEMBED_EMBEDDED_NOTIFY, 0, tray.id, 0])))
        x.flush()
        docked += 1


if __name__ == "__main__":
    main()
