#!/usr/bin/env python3
"""Drives and watches the player as a UI test harness does, over the accessibility bus: starts
the list with a real double click on the first item of the play list, then every second reads
the window titles and walks the list's items and their selected state, timing each query.
Reports when the titles stop changing (the list play stopped) and what the list showed then.

    soak_a11y.py SECONDS PLAYER_PID     (A11Y_EVENTS=1: listen to its events as well)
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def app_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            pass
    return None


def shown_list(window):
    """The list shown in the window (hidden tab pages have lists too), breadth first as a
    harness looks a widget up."""
    queue = [window]
    while queue:
        n = queue.pop(0)
        try:
            if n.getRole() == pyatspi.ROLE_LIST and n.getState().contains(pyatspi.STATE_SHOWING):
                return n
            queue.extend(c for c in n if c is not None)
        except Exception:
            pass
    return None


def windows(app):
    return [w for w in app if w is not None]


def snapshot(app):
    """One query round: titles of the windows, the play list's items and which is selected."""
    titles = [w.name for w in windows(app)]
    items, selected = [], -1
    lst = None
    for w in windows(app):
        if w.name.endswith("清單"):
            lst = shown_list(w)
    if lst is not None:
        for i, item in enumerate(lst):
            items.append(item.name)
            if item.getState().contains(pyatspi.STATE_SELECTED):
                selected = i
    return titles, items, selected


def player_title(titles):
    for t in titles:
        if t.endswith("Lumba.FLV"):
            return t
    return None


def double_click_first_item(app):
    for w in windows(app):
        lst = shown_list(w) if w.name.endswith("清單") else None
        if lst is not None and lst.childCount > 0:
            x, y, w, h = lst[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(x + min(w, 60) // 2), str(y + h // 2),
                            "click", "--repeat", "2", "--delay", "80", "1"], check=True)
            return True
    return False


def dump(node, depth=0):
    try:
        print("  " * depth + f"{node.getRoleName()} {node.name!r} ({node.childCount})",
              file=sys.stderr)
        if depth < 8:
            for c in node:
                if c is not None:
                    dump(c, depth + 1)
    except Exception as e:
        print("  " * depth + f"? {e}", file=sys.stderr)


def main():
    seconds, pid = float(sys.argv[1]), int(sys.argv[2])
    start = time.monotonic()
    app = None
    while app is None and time.monotonic() - start < 30:
        app = app_of(pid)
        time.sleep(0.5)
    if app is None:
        print("a11y: the player is not on the accessibility bus", file=sys.stderr)
        return 2
    # The list window opens 200 ms after the splash goes.
    while not double_click_first_item(app):
        if time.monotonic() - start > 30:
            print("a11y: no play list item to double click", file=sys.stderr)
            dump(app)
            return 2
        time.sleep(0.5)

    # A11Y_EVENTS=1: also listen to the program's accessibility events, as a harness that
    # waits for windows and state changes does (the program then sends all of them).
    events = [0]
    if os.environ.get("A11Y_EVENTS") == "1":
        pyatspi.Registry.registerEventListener(
            lambda e: events.__setitem__(0, events[0] + 1), "object:", "window:", "focus:")
    queries, longest, changes, title, changed_at = 0, 0.0, 0, None, time.monotonic()
    stalled = False
    last_report = start = time.monotonic()
    while time.monotonic() - start < seconds:
        sent = time.monotonic()
        try:
            titles, items, selected = snapshot(app)
        except Exception as e:  # the program went away or dropped off the bus
            print(f"a11y: query failed: {e}", flush=True)
            time.sleep(1)
            continue
        took = time.monotonic() - sent
        queries += 1
        longest = max(longest, took)
        if took > 1.0:
            print(f"a11y: {time.monotonic() - start:6.0f} s  query took {took * 1000:.0f} ms",
                  flush=True)
        t = player_title(titles)
        now = time.monotonic()
        if t != title:
            if title is not None:
                changes += 1
            title, changed_at, stalled = t, now, False
        elif not stalled and now - changed_at > 15:
            stalled = True
            print(f"a11y: {now - start:6.0f} s  STOPPED after {changes} clip changes: title "
                  f"{t!r}, list selection {selected} of {len(items)}", flush=True)
        if now - last_report >= 60:
            last_report = now
            print(f"a11y: {now - start:6.0f} s  clip changes {changes:5d}  queries {queries}  "
                  f"longest query {longest * 1000:6.0f} ms", flush=True)
        while time.monotonic() - sent < 1.0:
            while GLib.MainContext.default().iteration(False):
                pass
            time.sleep(0.05)
    print(f"a11y clip changes:     {changes}")
    print(f"a11y longest query:    {longest * 1000:.0f} ms over {queries} queries")
    print(f"a11y stopped:          {'yes' if stalled else 'no'}")
    if events[0]:
        print(f"a11y events heard:     {events[0]}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
