#!/usr/bin/python3
"""Prints a running program's window as a screen reader walks it, one line per object in the order
it is met: depth, role, name and, where there is one, the description.
atspi_tree.py <pid>. Exits 1 when the program never shows up on the bus."""
import sys
import time

import pyatspi


def walk(node, depth):
    description = node.description
    line = f"{depth} {node.getRoleName()}: {node.name}"
    print(line + (f" — {description}" if description else ""))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1)


def main():
    pid = int(sys.argv[1])
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                for i in range(app.childCount):
                    walk(app.getChildAtIndex(i), 0)
                return 0
        time.sleep(0.2)
    print(f"process {pid} is not on the accessibility bus", file=sys.stderr)
    return 1


sys.exit(main())
