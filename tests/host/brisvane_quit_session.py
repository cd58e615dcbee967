#!/usr/bin/python3
"""Quitting the real program after presses on empty places, driven by real X input:

- a click where no widget lies and a drag from there out of the window, then the end of the desktop
  session (SIGTERM): the program ends with status 0;
- the same, then the close box and "Yes" (under a window manager, which gives the window its close
  box): the program ends with status 0.

Each time the files of the data folder are whole, and the program's output holds no sanitizer
report (the sanitizer build's program may be given in place of the normal one).

Usage: brisvane_quit_session.py PATH_TO_BRISVANE [--window-manager]
"""

import json
import subprocess

from x_desktop import TIMEOUT, ImageChops, fail, run_cases, wait_for

# A place of the window (client coordinates) between the tool bar and the canvas, where no widget lies.
EMPTY_PLACE = (600, 64)
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:")


def press_on_empty_places(session):
    left, top, _, _ = session.window_geometry()
    x, y = left + EMPTY_PLACE[0], top + EMPTY_PLACE[1]
    session.click(x, y)
    # A drag that leaves the window at its top left: SDL reports the captured pointer there.
    session.run("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1", "mousemove", "--sync",
                str(max(left - 20, 0)), str(max(top - 20, 0)), "mouseup", "1")


def expect_a_clean_end(session):
    output = session.output_tail(200)
    for report in SANITIZER_REPORTS:
        if report in output:
            fail(f"the program's output holds a sanitizer report:\n{output}")
    layout = session.data_text("settings_layout.network_payload")
    if "boxes_visible=1" not in layout or not layout.endswith("\n"):
        fail(f"the tool-window layout file is not whole: {layout!r}")
    settings = session.data_text("settings.network_payload")
    if settings:
        keys = json.loads(settings).keys()
        if len(keys) != 4:
            fail(f"the window settings file is not whole: {settings!r}")


def check_quitting_by_sigterm_after_presses_on_empty_places(session):
    wait_for(lambda: session.data_text("settings_layout.network_payload"), "the tool-window layout")
    press_on_empty_places(session)
    session.end()
    expect_a_clean_end(session)


def check_quitting_by_the_close_box_after_presses_on_empty_places(session):
    if not session.desktop.window_manager:
        # The bare server draws no close box.
        return
    wait_for(lambda: session.data_text("settings_layout.network_payload"), "the tool-window layout")
    press_on_empty_places(session)
    before = session.window_shot()
    # The window manager's close (its close box, or Alt+F4) asks the program, which asks the user.
    session.key("alt+F4")
    wait_for(lambda: ImageChops.difference(before, session.window_shot()).getbbox(), "the quit question")
    session.key("Return")
    try:
        status = session.program.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        fail("the program did not end after \"Yes\" in the quit question")
    if status != 0:
        fail(f"the program ended with status {status}")
    expect_a_clean_end(session)


run_cases(check_quitting_by_sigterm_after_presses_on_empty_places,
          check_quitting_by_the_close_box_after_presses_on_empty_places)
