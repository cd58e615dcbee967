#!/usr/bin/python3
"""The keyboard and the mouse of a real X server, as a user drives the program (see x_desktop.py):

- Control+Shift+4 hides the "Screen Info" tool window and shows it again (the layout file follows);
- Alt+S, a typed name and Return export a PNG under that name with ".png";
- Control+S, a typed name and Return save a ".tvsx" project; the open dialog lists it, and a double
  click on it opens it again (saved once more, it is the same project);
- a double click on a folder of the save dialog enters that one folder, and a name typed then is
  saved there.

Usage: brisvane_keyboard_session.py PATH_TO_BRISVANE [--window-manager]
"""

import os

from x_desktop import Image, ImageChops, fail, run_cases, wait_for

LAYOUT = "settings_layout.network_payload"
# The border colour of the text box that has the focus: the file dialog's name box.
FOCUS_BORDER = (0x4A, 0x8B, 0xD6)


def dialog_name_box(before, after):
    """The rectangle of the file dialog's name box: the box with the focus border in what the
    dialog's opening changed on the screen."""
    changed = ImageChops.difference(before, after).getbbox()
    if not changed:
        return None
    left, top, right, bottom = changed
    pixels = after.load()
    border = [(x, y) for y in range(top, bottom) for x in range(left, right) if pixels[x, y] == FOCUS_BORDER]
    if not border:
        return None
    xs, ys = [x for x, _ in border], [y for _, y in border]
    return min(xs), min(ys), max(xs), max(ys)


def listed_rows(image, box):
    """The vertical extents of the lines of text listed under the name box, top first. Pixel rows
    with light text pixels make a line; gaps of a few pixels (between the dots and the slash of
    "../") do not end it."""
    left, _, right, bottom = box
    pixels = image.load()
    text_rows = [y for y in range(bottom + 2, min(bottom + 200, image.height))
                 if any(min(pixels[x, y]) >= 0x90 for x in range(left + 2, min(left + 160, right)))]
    rows = []
    for y in text_rows:
        if rows and y - rows[-1][1] <= 4:
            rows[-1][1] = y
        else:
            rows.append([y, y])
    return rows


def check_the_tool_window_shortcut(session):
    wait_for(lambda: "boxes_visible=1" in session.data_text(LAYOUT), "the tool-window layout of the first start")
    session.key("ctrl+shift+4")
    wait_for(lambda: "boxes_visible=0" in session.data_text(LAYOUT), "Control+Shift+4 to hide Screen Info")
    session.key("ctrl+shift+4")
    wait_for(lambda: "boxes_visible=1" in session.data_text(LAYOUT), "Control+Shift+4 to show Screen Info again")


def check_the_image_export(session):
    session.key("alt+s")
    session.type("wallmap")
    session.key("Return")
    path = wait_for(lambda: os.path.exists(session.file("wallmap.png")) and session.file("wallmap.png"), "wallmap.png")
    with Image.open(path) as image:
        if image.format != "PNG" or image.size != (1920, 1080):
            fail(f"wallmap.png is a {image.format} of {image.size}")


def check_the_project_round(session):
    session.key("ctrl+s")
    session.type("wall")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("wall.tvsx")), "wall.tvsx")
    # The document changes, so that only opening the file brings the saved project back.
    session.key("ctrl+equal")
    before = session.screenshot()
    session.key("ctrl+o")
    box = wait_for(lambda: dialog_name_box(before, session.screenshot()), "the open dialog")
    rows = listed_rows(session.screenshot(), box)
    # "../" and then the project, the only file the dialog's filter admits.
    if len(rows) != 2:
        fail(f"the open dialog lists {len(rows)} lines, not the folder above and wall.tvsx")
    x, y = box[0] + 40, (rows[1][0] + rows[1][1]) // 2
    session.click(x, y, repeat=2)
    # The reopened project, saved again, is the saved one.
    session.key("ctrl+s")
    session.type("again")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("again.tvsx")), "again.tvsx")
    with open(session.file("wall.tvsx"), "rb") as saved, open(session.file("again.tvsx"), "rb") as again:
        if saved.read() != again.read():
            fail("the project saved after opening wall.tvsx differs from wall.tvsx: it was not opened")


def check_a_double_click_enters_one_folder_of_the_save_dialog(session):
    # "deeper/" is listed in "sub" where "sub/" is listed in the folder above it.
    os.makedirs(session.file(os.path.join("sub", "deeper")))
    before = session.screenshot()
    session.key("ctrl+s")
    box = wait_for(lambda: dialog_name_box(before, session.screenshot()), "the save dialog")
    rows = listed_rows(session.screenshot(), box)
    if len(rows) != 2:
        fail(f"the save dialog lists {len(rows)} lines, not the folder above and sub/")
    session.click(box[0] + 40, (rows[1][0] + rows[1][1]) // 2, repeat=2)
    # The name box kept the keys: the name typed lands in "sub".
    session.type("inside")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file(os.path.join("sub", "inside.tvsx"))), "sub/inside.tvsx")


run_cases(check_the_tool_window_shortcut, check_the_image_export, check_the_project_round,
          check_a_double_click_enters_one_folder_of_the_save_dialog)
