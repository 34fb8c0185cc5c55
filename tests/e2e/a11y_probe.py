"""What a screen reader finds in Horalis, through the accessibility bus (pyatspi, run with the
system's Python). One command per call, answered as JSON on standard output:
  tree                  the application's objects, depth first
  do NAME ACTION        runs an action of the first object named NAME
  listen SECONDS        the value and name changes Horalis announces meanwhile
"""

import json
import sys

import pyatspi


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "horalis":
            return app
    return None


def describe(node, depth):
    try:
        value = node.queryValue()
        value = {"now": value.currentValue, "min": value.minimumValue,
                 "max": value.maximumValue}
    except NotImplementedError:
        value = None
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    states = node.getState()
    return {"depth": depth, "role": node.getRoleName(), "name": node.name,
            "description": node.description, "value": value, "actions": actions,
            "focused": states.contains(pyatspi.STATE_FOCUSED),
            "showing": states.contains(pyatspi.STATE_SHOWING)}


def walk(node, depth=0):
    found = [describe(node, depth)]
    for child in node:
        if child is not None:
            found += walk(child, depth + 1)
    return found


def find(node, name):
    if node.name == name:
        return node
    for child in node:
        hit = child is not None and find(child, name)
        if hit:
            return hit
    return None


def listen(seconds):
    heard = {"value": 0, "name": 0}

    def on_event(event):
        if event.host_application is None or event.host_application.name != "horalis":
            return
        heard["value" if event.type.endswith("accessible-value") else "name"] += 1

    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-value",
                                           "object:property-change:accessible-name")
    from gi.repository import GLib
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    return heard


def main():
    command = sys.argv[1]
    app = application()
    if command == "tree":
        print(json.dumps(walk(app) if app else []))
    elif command == "do":
        node = app and find(app, sys.argv[2])
        action = node.queryAction() if node else None
        names = [action.getName(i) for i in range(action.nActions)] if action else []
        done = sys.argv[3] in names and action.doAction(names.index(sys.argv[3]))
        print(json.dumps(bool(done)))
    elif command == "listen":
        print(json.dumps(listen(float(sys.argv[2]))))


if __name__ == "__main__":
    main()
