#!/usr/bin/python3
"""The main window on a real X server (see x_desktop.py):

- a restart puts the window's client area exactly where it was, to the pixel, at its first place
  and after the window was moved;
- a stored window rectangle too small to use opens the window at its default place and size;
- a window maximised (a double click on its title bar) when the program ends comes back maximised,
  and un-maximised it goes back to its place and size before; on the bare server, where nothing
  maximises a window, one stored maximised opens at its normal place and size.

Usage: brisvane_window_session.py PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]
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


def is_maximized(session):
    state = session.run("xprop", "-id", session.window, "_NET_WM_STATE")
    return "_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state


def double_click_title_bar(session):
    """What a user does to maximise a window, and to un-maximise it."""
    frame = session.window_geometry(session.top_level_window())
    left, top, width, _ = session.window_geometry()
    session.click(left + width // 2, (frame[1] + top) // 2, repeat=2)


def stored_maximized(session):
    settings = session.data_text(SETTINGS)
    return settings and json.loads(settings).get("main_window_maximized")


def check_a_maximised_window_comes_back_maximised_and_unmaximises_to_its_place(session):
    if not session.desktop.window_manager:
        session.restart_with_data(SETTINGS, json.dumps({
            "main_window_left": 0, "main_window_top": 0, "main_window_right": 1280, "main_window_bottom": 900,
            "main_window_maximized": True, "main_window_normal_left": 211, "main_window_normal_top": 143,
            "main_window_normal_right": 1011, "main_window_normal_bottom": 743}))
        geometry = session.settled_geometry()
        if geometry != (211, 143, 800, 600):
            fail(f"a window stored maximised opened at {geometry} on the bare server, not at its normal rectangle")
        return
    normal = session.settled_geometry()
    double_click_title_bar(session)
    wait_for(lambda: is_maximized(session), "the window to be maximised")
    wait_for(lambda: stored_maximized(session), "the maximised state in the window settings")
    session.restart()
    wait_for(lambda: is_maximized(session), "the window to start maximised")
    maximized = session.settled_geometry()
    if maximized[2] <= normal[2] or maximized[3] <= normal[3]:
        fail(f"the window started at {maximized}, no larger than its normal {normal}")
    double_click_title_bar(session)
    wait_for(lambda: not is_maximized(session), "the window to be un-maximised")
    geometry = session.settled_geometry()
    if geometry != normal:
        fail(f"un-maximised, the window stands at {geometry}, not at its place and size before: {normal}")
    wait_for(lambda: stored_maximized(session) is False, "the normal state in the window settings")


run_cases(check_a_restart_keeps_the_window_in_place, check_a_window_too_small_to_use_opens_at_the_default_place,
          check_a_maximised_window_comes_back_maximised_and_unmaximises_to_its_place)
