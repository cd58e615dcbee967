#!/usr/bin/python3
"""Quitting the real program after presses on empty places, driven by real X input:

- a click where no widget lies and a drag from there out of the window, then the end of the desktop
  session (SIGTERM): the program ends with status 0;
- the same, then the close box and "Yes" (under a window manager, which gives the window its close
  box): the program ends with status 0;
- two close requests in a row ask once: one Escape answers "No" and leaves no box (under a window
  manager);
- the About window's close box closes it with one click.

Each time the files of the data folder are whole, and the program's output holds no sanitizer
report (the sanitizer build's program may be given in place of the normal one).

Usage: brisvane_quit_session.py PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]
"""

import json
import subprocess
import time

from x_desktop import TIMEOUT, fail, run_cases, wait_for

# A place of the window (client coordinates) between the tool bar and the canvas, where no widget lies.
EMPTY_PLACE = (600, 64)
# The "About" caption and the first item of its menu; the About window's place and width (its logo),
# and the middle of its close box at the right end of its title bar.
ABOUT_MENU = ((306, 9), (320, 29))
ABOUT_AT, ABOUT_WIDTH = (300, 300), 456
ABOUT_CLOSE_BOX = (ABOUT_AT[0] + ABOUT_WIDTH - 12, ABOUT_AT[1] + 12)
# The window's rectangle as it is, whether it is maximised, and its rectangle when not maximised.
WINDOW_SETTINGS_KEYS = {"main_window_" + side for side in ("left", "top", "right", "bottom")} | \
    {"main_window_normal_" + side for side in ("left", "top", "right", "bottom")} | {"main_window_maximized"}
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
        keys = set(json.loads(settings).keys())
        if keys != WINDOW_SETTINGS_KEYS:
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
    session.wait_until_changed(before, "the quit question")
    session.key("Return")
    try:
        status = session.program.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        fail("the program did not end after \"Yes\" in the quit question")
    if status != 0:
        fail(f"the program ended with status {status}")
    expect_a_clean_end(session)


def check_two_close_requests_ask_once(session):
    if not session.desktop.window_manager:
        return
    session.key("alt+F4")
    session.key("alt+F4")
    wait_for(session.warning_mark, "the quit question")
    # A second box would stand under the first one, and show once the first is answered.
    session.key("Escape")
    wait_for(lambda: not session.warning_mark(), "the quit question to leave the screen", timeout=10.0)
    time.sleep(1.0)
    if session.warning_mark():
        fail("a second quit question showed after the first was answered")
    if session.program.poll() is not None:
        fail(f"the program ended with status {session.program.returncode} after \"No\"")


def check_the_about_windows_close_box_closes_it_with_one_click(session):
    left, top, _, _ = session.window_geometry()
    session.run("xdotool", "mousemove", "--sync", str(left + EMPTY_PLACE[0]), str(top + EMPTY_PLACE[1]))
    before = session.window_shot()
    caption, item = ABOUT_MENU
    session.click_in_window(*caption)
    menu = (caption[0], item[1] - 8, caption[0] + 60, item[1] + 8)
    session.wait_until_changed(before, "the About menu", menu)
    session.click_in_window(*item)
    about = (ABOUT_AT[0], ABOUT_AT[1], ABOUT_AT[0] + ABOUT_WIDTH, ABOUT_AT[1] + 100)
    session.wait_until_changed(before, "the About window", about)
    session.click_in_window(*ABOUT_CLOSE_BOX)
    session.run("xdotool", "mousemove", "--sync", str(left + EMPTY_PLACE[0]), str(top + EMPTY_PLACE[1]))
    session.wait_until_restored(before, "one click on its close box to close the About window", timeout=10.0)


run_cases(check_quitting_by_sigterm_after_presses_on_empty_places,
          check_quitting_by_the_close_box_after_presses_on_empty_places,
          check_two_close_requests_ask_once,
          check_the_about_windows_close_box_closes_it_with_one_click)
