#!/usr/bin/python3
"""Text typed into a tool window's box on a real X server (see x_desktop.py) is kept without Return:
when a shortcut acts (Control+Shift+5 hides "Labels"), when the user clicks elsewhere (the canvas)
and when the box's own window is hidden (Control+Shift+9 hides "Raster Label"). The project saved
afterwards holds every line typed.

Usage: brisvane_typing_session.py PATH_TO_BRISVANE [--window-manager]
"""

import os

from x_desktop import fail, run_cases, wait_for

# "Raster Label" placed where every one of its boxes shows; its "Line N:" boxes, from the window's
# corner, and a place on the canvas clear of every tool window (client pixels).
RASTER_LABEL_AT = (600, 150)
LINE_BOX = (126, 148)
LINE_SPACING = 27
CANVAS = (436, 255)


def click_line_box(session, number):
    x, y = RASTER_LABEL_AT[0] + LINE_BOX[0], RASTER_LABEL_AT[1] + LINE_BOX[1] + (number - 1) * LINE_SPACING
    session.click_in_window(x, y)


def check_typed_text_is_kept_when_the_box_is_left(session):
    session.restart_with_data("settings_layout.network_payload",
                              "raster_x={}\nraster_y={}\nraster_visible=1\n".format(*RASTER_LABEL_AT))
    click_line_box(session, 3)
    session.type("hello")
    session.key("ctrl+shift+5")
    click_line_box(session, 4)
    session.type("world")
    session.click_in_window(*CANVAS)
    click_line_box(session, 1)
    session.type("first")
    session.key("ctrl+shift+9")
    session.key("ctrl+s")
    session.type("typed")
    session.key("Return")
    path = session.file("typed.tvsx")
    wait_for(lambda: os.path.exists(path), "typed.tvsx")
    with open(path) as project:
        lines = [line for line in project.read().splitlines() if line.startswith("Label:")]
    if lines != ["Label:first", "Label:", "Label:hello", "Label:world"]:
        fail(f"the raster label lines saved are {lines}")


run_cases(check_typed_text_is_kept_when_the_box_is_left)
