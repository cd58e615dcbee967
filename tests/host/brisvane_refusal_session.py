#!/usr/bin/python3
"""What cannot be drawn is told, on a real X server (see x_desktop.py):

- 1e12 typed into "Raster Width" (kept as 65535, wider than a picture that can be drawn into) shows
  one error box naming the raster;
- 1e9 typed into "Cabinet Width" (kept as 16384) shows one error box naming the layer; an image
  export asked for then writes nothing and one more box names the layer it would leave out; with
  the cabinets drawable again the same export is written.

Usage: brisvane_refusal_session.py PATH_TO_BRISVANE [--window-manager]
"""

import os

from x_desktop import fail, run_cases, wait_for

# Client pixels: the tool bar's "Raster Width" box, and "Screen Info" placed at its default place
# with its "Cabinet Width" box.
RASTER_WIDTH = (381, 40)
SCREEN_INFO_AT = (10, 70)
CABINET_WIDTH = (SCREEN_INFO_AT[0] + 142, SCREEN_INFO_AT[1] + 88)


def enter(session, box, text):
    session.click_in_window(*box)
    session.key("ctrl+a")
    session.type(text)
    session.key("Return")


def check_a_raster_too_wide_to_draw_is_told_once(session):
    enter(session, RASTER_WIDTH, "1e12")
    told = session.expect_errors(1)
    if not told.startswith("Error: The raster of 65535 x 1080 pixels cannot be drawn: "):
        fail(f"the error told is {told}")


def check_an_export_that_would_leave_out_a_layer_writes_nothing(session):
    session.restart_with_data("settings_layout.network_payload",
                              "boxes_x={}\nboxes_y={}\nboxes_visible=1\n".format(*SCREEN_INFO_AT))
    enter(session, CABINET_WIDTH, "1e9")
    told = session.expect_errors(1)
    if not told.startswith('Error: The layer "Screen1" cannot be drawn: cannot make a picture of 131072 x 640 pixels'):
        fail(f"the error told is {told}")
    session.key("Escape")
    session.key("alt+s")
    session.type("wallmap")
    session.key("Return")
    told = session.expect_errors(2)
    if "was not written: it would leave out layers. The layer \"Screen1\" could not be drawn." not in told:
        fail(f"the error told is {told}")
    if os.path.exists(session.file("wallmap.png")):
        fail("wallmap.png was written without the layer")
    session.key("Escape")
    enter(session, CABINET_WIDTH, "128")
    session.key("alt+s")
    session.type("wallmap")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("wallmap.png")), "wallmap.png with every layer drawn")


run_cases(check_a_raster_too_wide_to_draw_is_told_once, check_an_export_that_would_leave_out_a_layer_writes_nothing)
