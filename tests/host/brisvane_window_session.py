#!/usr/bin/python3
"""The main window on a real X server (see x_desktop.py):

- a restart puts the window's client area exactly where it was, to the pixel, at its first place
  and after the window was moved;
- a stored window rectangle too small to use opens the window at its default place and size.

Usage: brisvane_window_session.py PATH_TO_BRISVANE [--window-manager]
"""

import json

from x_desktop import fail, run_cases, wait_for

SETTINGS = "settings.network_payload"


def check_a_restart_keeps_the_window_in_place(session):
    for move in (None, (211, 143)):
        if move:
            session.run("xdotool", "windowmove", "--sync", session.window, *map(str, move))
        before = session.settled_geometry()
        for start in range(2):
            session.restart()
            after = session.settled_geometry()
            if after != before:
                fail(f"restart {start + 1} put the window at {after}, not where it was: {before}")


def check_a_window_too_small_to_use_opens_at_the_default_place(session):
    default = session.settled_geometry()
    session.restart_with_data(SETTINGS, json.dumps({"main_window_left": 300, "main_window_top": 200,
                                                    "main_window_right": 301, "main_window_bottom": 201}))
    geometry = session.settled_geometry()
    if geometry != default:
        fail(f"a stored 1 x 1 rectangle opened the window at {geometry}, not at the default {default}")


run_cases(check_a_restart_keeps_the_window_in_place, check_a_window_too_small_to_use_opens_at_the_default_place)
