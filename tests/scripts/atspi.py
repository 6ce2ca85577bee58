#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Соколов А. В.
# SPDX-License-Identifier: LicenseRef-proprietary
"""A running program's window through the accessibility bus, as a screen reader meets it.
atspi.py <pid>: prints the window as a reader walks it, one line per object in the order it is
met: depth, role, name and, where there is one, the description.
atspi.py <pid> <name>: presses the control of that accessible name, as a reader's user would, then
prints the new names the program announces (what a reader following them hears), one a line,
until none has come for two seconds; on standard error each with the milliseconds since the press.
Exits 1 when the program (or the control) never shows up on the bus."""
import sys
import time

import pyatspi
from gi.repository import GLib


def walk(node, depth):
    description = node.description
    line = f"{depth} {node.getRoleName()}: {node.name}"
    print(line + (f" — {description}" if description else ""))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1)


def find(node, name, depth=0):
    if node is None or depth > 12:
        return None
    if node.name == name:
        return node
    for i in range(node.childCount):
        found = find(node.getChildAtIndex(i), name, depth + 1)
        if found is not None:
            return found
    return None


def press_and_listen(target, pid):
    quiet = {"timer": None, "pressed": 0.0}

    # The first phrase comes when the running revolution ends; the rest follow at once.
    def stop_later(ms):
        if quiet["timer"] is not None:
            GLib.source_remove(quiet["timer"])
        quiet["timer"] = GLib.timeout_add(ms, pyatspi.Registry.stop)

    def renamed(event):
        try:
            ours = event.host_application.get_process_id() == pid
        except Exception:  # an application that left the bus meanwhile
            ours = False
        if ours:
            print(event.source.name, flush=True)
            took = (time.monotonic() - quiet["pressed"]) * 1000
            print(f"{took:.0f} {event.source.name}", file=sys.stderr, flush=True)
            stop_later(1000)

    def press():
        quiet["pressed"] = time.monotonic()
        target.queryAction().doAction(0)
        stop_later(3000)
        return False

    pyatspi.Registry.registerEventListener(renamed, "object:property-change:accessible-name")
    # The program hears of the listener through the registry: give that a moment.
    GLib.timeout_add(500, press)
    GLib.timeout_add(20000, pyatspi.Registry.stop)
    pyatspi.Registry.start()


def main():
    pid, name = int(sys.argv[1]), (sys.argv[2] if len(sys.argv) > 2 else None)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.get_process_id() != pid or app.childCount == 0:
                continue
            if name is None:
                for i in range(app.childCount):
                    walk(app.getChildAtIndex(i), 0)
                return 0
            target = find(app, name)
            if target is not None:
                press_and_listen(target, pid)
                return 0
        time.sleep(0.2)
    print(f"nothing named {name!r} in process {pid} on the bus", file=sys.stderr)
    return 1


sys.exit(main())
