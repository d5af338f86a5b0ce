#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running KAVRIN window through the accessibility bus (AT-SPI) and
fails when a control that the user can read or edit has no name.

Run it inside a session that has an accessibility bus and the tool started with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (scripts/check_accessibility.sh does both).

  --list     print every object with its role, name and states
  --wait S   wait up to S seconds for the window to appear (default 20)
"""
import argparse
import sys
import time

import pyatspi

# Roles whose objects show or take a value.
READABLE = {
    "label", "static", "text", "entry", "password text", "spin button", "check box",
    "radio button", "push button", "toggle button", "combo box", "table", "table cell",
    "column header", "row header", "image", "page tab", "menu item", "check menu item",
    "radio menu item", "menu", "progress bar", "slider", "list item", "status bar",
}


def role_of(obj):
    try:
        return obj.getRoleName()
    except Exception:
        return "?"


def states_of(obj):
    try:
        return obj.getState().getStates()
    except Exception:
        return []


def find_app(name, wait):
    deadline = time.time() + wait
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name and app.name.lower() == name.lower():
                return app
        if time.time() > deadline:
            return None
        time.sleep(0.5)


def walk(obj, depth=0, path=()):
    yield obj, depth, path
    try:
        count = obj.childCount
    except Exception:
        return
    # Tables are read through their table interface below; walking every cell
    # here as well would only repeat it.
    if role_of(obj) == "table":
        return
    for i in range(count):
        try:
            child = obj.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from walk(child, depth + 1, path + (role_of(obj) + ":" + (obj.name or ""),))


def check_table(table, problems, listing):
    name = table.name or "(unnamed table)"
    try:
        t = table.queryTable()
    except NotImplementedError:
        problems.append(f"table {name}: no table interface")
        return
    rows, cols = t.nRows, t.nColumns
    if listing:
        print(f"    table {name!r}: {rows} rows x {cols} columns")
    if rows <= 0 or cols <= 0:
        problems.append(f"table {name}: {rows} rows, {cols} columns")
        return
    for c in range(cols):
        header = t.getColumnHeader(c)
        if header is None or not (header.name or "").strip():
            problems.append(f"table {name}: column {c} has no header")
    for r in range(rows):
        header = t.getRowHeader(r)
        if header is None or not (header.name or "").strip():
            problems.append(f"table {name}: row {r} has no header")
        for c in range(cols):
            cell = t.getAccessibleAt(r, c)
            if cell is None:
                problems.append(f"table {name}: no cell at {r},{c}")
            elif listing and r < 2 and c < 4:
                print(f"      cell {r},{c} {role_of(cell)} {cell.name!r}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", default="kavrin")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--wait", type=float, default=20)
    args = parser.parse_args()

    app = find_app(args.app, args.wait)
    if app is None:
        print(f"no application {args.app!r} on the accessibility bus", file=sys.stderr)
        return 2

    problems = []
    seen = 0
    for obj, depth, path in walk(app):
        role = role_of(obj)
        states = states_of(obj)
        showing = pyatspi.STATE_SHOWING in states
        name = (obj.name or "").strip()
        if args.list:
            flags = "" if showing else " (hidden)"
            desc = f" - {obj.description}" if obj.description else ""
            print(f"{'  ' * depth}{role}: {name!r}{desc}{flags}")
        if not showing:
            continue
        seen += 1
        if role == "table":
            check_table(obj, problems, args.list)
        if role in READABLE and not name:
            where = " > ".join(path[-2:])
            problems.append(f"unnamed {role} under {where}")
    if seen == 0:
        problems.append("nothing showing in the window")
    for p in problems:
        print("FAIL:", p)
    print(f"{seen} showing objects read, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
