#!/usr/bin/env python3
"""Watches a player window for a while: counts clip changes (title changes), measures how long
the window takes to answer a _NET_WM_PING (its event loop must run to answer) and samples
the resident memory of the player and of a bare mpv.

    soak_watch.py SECONDS PLAYER_PID [MPV_PID]
"""
import select
import sys
import time

from Xlib import X, display
from Xlib.protocol import event


def rss_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024
    except OSError:
        return None
    return None


def main():
    seconds, pid = float(sys.argv[1]), int(sys.argv[2])
    mpv_pid = int(sys.argv[3]) if len(sys.argv) > 3 else None
    d = display.Display()
    root = d.screen().root
    # Qt sends the answer to the root window with the structure-notify mask.
    root.change_attributes(event_mask=X.StructureNotifyMask)
    NET_WM_PID = d.intern_atom("_NET_WM_PID")
    NET_WM_NAME = d.intern_atom("_NET_WM_NAME")
    UTF8 = d.intern_atom("UTF8_STRING")
    WM_PROTOCOLS = d.intern_atom("WM_PROTOCOLS")
    PING = d.intern_atom("_NET_WM_PING")

    def player_window():
        for w in root.query_tree().children:
            p = w.get_full_property(NET_WM_PID, X.AnyPropertyType)
            if p and p.value[0] == pid:
                name = w.get_full_property(NET_WM_NAME, UTF8)
                if name and name.value.decode(errors="replace").endswith("Lumba.FLV"):
                    return w
        return None

    win = None
    start = time.monotonic()
    time.sleep(3)  # past the splash window
    while win is None and time.monotonic() - start < 30:
        win = player_window()
        time.sleep(0.2)
    if win is None:
        print("no player window", file=sys.stderr)
        return 2

    changes, title, longest, stamp = 0, None, 0.0, 1
    peak_player = peak_mpv = 0.0
    last_report = start = time.monotonic()
    while time.monotonic() - start < seconds:
        try:
            name = win.get_full_property(NET_WM_NAME, UTF8)
        except Exception:  # the splash window went away: look again
            win = player_window() or win
            continue
        t = name.value.decode(errors="replace") if name else ""
        if title is not None and t != title:
            changes += 1
        title = t
        # The ping: the window's event loop sends it back to the root window.
        stamp += 1
        sent = time.monotonic()
        win.send_event(event.ClientMessage(window=win, client_type=WM_PROTOCOLS,
                                           data=(32, [PING, stamp, win.id, 0, 0])))
        d.flush()
        answered = False
        while not answered and time.monotonic() - start < seconds + 60:
            while d.pending_events():
                e = d.next_event()
                if e.type == X.ClientMessage and e.data[1][1] == stamp:
                    answered = True
            if not answered:
                select.select([d], [], [], 0.05)
        longest = max(longest, time.monotonic() - sent)
        rp, rm = rss_mb(pid), rss_mb(mpv_pid) if mpv_pid else None
        if rp is None:
            print("the player has ended", file=sys.stderr)
            break
        peak_player = max(peak_player, rp)
        peak_mpv = max(peak_mpv, rm or 0)
        now = time.monotonic()
        if now - last_report >= 60:
            last_report = now
            print(f"{now - start:6.0f} s  clip changes {changes:5d}  longest answer "
                  f"{longest * 1000:6.0f} ms  player {rp:6.1f} MB  mpv "
                  f"{(rm or 0):6.1f} MB", flush=True)
        time.sleep(0.1)
    print(f"clip changes:          {changes}")
    print(f"longest answer:        {longest * 1000:.0f} ms")
    print(f"player resident:       {rss_mb(pid) or 0:.1f} MB now, {peak_player:.1f} MB peak")
    if mpv_pid:
        print(f"mpv resident:          {rss_mb(mpv_pid) or 0:.1f} MB now, {peak_mpv:.1f} MB peak")
    print(f"last title:            {title}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
