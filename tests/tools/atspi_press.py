#!/usr/bin/python3
"""Presses a control of a running program through the accessibility bus, as a screen reader's
user would: atspi_press.py <pid> <accessible name>. Exits 0 once the press was made."""
import sys
import time

import pyatspi


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


def main():
    pid, name = int(sys.argv[1]), sys.argv[2]
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                target = find(app, name)
                if target is not None:
                    target.queryAction().doAction(0)
                    return 0
        time.sleep(0.2)
    print(f"no control named {name!r} in process {pid}", file=sys.stderr)
    return 1


sys.exit(main())
