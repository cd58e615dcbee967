#!/usr/bin/python3
"""Message boxes answered with one key or one click on a real X server (see x_desktop.py), after a
longer session of clicks in tool windows, a menu opened and folded and a file dialog cancelled:

- the "Error" box of a garbage file chosen in the open dialog, twice;
- the "Error" boxes of the two web links of "About" when no browser can be started, one opened
  right after the other closed;
- the "Replace file" box of "Save Image" to a file that is there;
- the "Quit" box of the window manager's close (under a window manager only: the bare server has
  no close box).

Each box must be gone from the screen after one Escape (first case) or one click on its button
(second case), with no other input to make the window draw again, and the program must go on.

Usage: brisvane_message_box_session.py PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]
"""

from x_desktop import ABOUT_MENU, WEB_LINKS, fail, run_cases, wait_for

# The mark's centre from the box's top-left corner, and the buttons' row from the box's bottom.
MARK_CENTRE = (29, 50)
BUTTON_ROW_FROM_BOTTOM = 23
# The two buttons of a question are 80 pixels wide, 8 apart, centred: the main one on the right.
BUTTON_OFFSET = 44
# Client pixels: "Save Image" and "Raster Width" on the tool bar, a place between the tool bar and
# the canvas where no widget lies, and "Screen Info" placed at its default place.
SAVE_IMAGE = (219, 40)
RASTER_WIDTH = (381, 40)
EMPTY_PLACE = (600, 64)
SCREEN_INFO_AT = (10, 70)


def shown_box(session, what):
    """Waits for a box; the place of its main button and of its other button, on the screen."""
    mark = wait_for(session.warning_mark, what)
    left, top, width, height = session.window_geometry()
    centre_x, centre_y = left + width // 2, top + height // 2
    # The box is centred in the window: its top follows from its mark, its height from its top.
    box_top = (mark[1] + mark[3]) // 2 - MARK_CENTRE[1]
    row = box_top + 2 * (centre_y - box_top) - BUTTON_ROW_FROM_BOTTOM
    return {"main": (centre_x, row), "question": ((centre_x + BUTTON_OFFSET, row), (centre_x - BUTTON_OFFSET, row))}


def expect_gone(session, what):
    wait_for(lambda: not session.warning_mark(), f"the {what} box to leave the screen", timeout=10.0)


def answer(session, place, how, what):
    """One Escape, or one click at `place`; the box must then leave the screen by itself."""
    if how == "escape":
        session.key("Escape")
    else:
        session.click(*place)
    expect_gone(session, what)


def a_longer_session(session):
    session.restart_with_data("settings_layout.network_payload",
                              "boxes_x={}\nboxes_y={}\nboxes_visible=1\n".format(*SCREEN_INFO_AT))
    # Clicks in tool windows and the tool bar, a tool window dragged by its title and back.
    session.click_in_window(*RASTER_WIDTH)
    session.key("Tab")
    left, top, _, _ = session.window_geometry()
    title = (left + SCREEN_INFO_AT[0] + 60, top + SCREEN_INFO_AT[1] + 10)
    for to in ((title[0] + 40, title[1] + 30), title):
        session.run("xdotool", "mousemove", "--sync", str(title[0]), str(title[1]), "mousedown", "1", "mousemove",
                    "--sync", str(to[0]), str(to[1]), "mouseup", "1")
        title = to
    # A menu opened and folded by a press beside it.
    session.click_in_window(*ABOUT_MENU)
    session.click_in_window(*EMPTY_PLACE)
    # The open dialog shown and cancelled.
    before = session.window_shot()
    session.key("ctrl+o")
    session.wait_until_changed(before, "the open dialog")
    session.key("Escape")
    session.wait_until_restored(before, "the open dialog to close")


def answer_every_box(session, how):
    # The web-page openers fail, as when no browser is installed.
    session.use_link_openers("exit 1", "exit 1")
    with open(session.file("garbage.tvsx"), "wb") as garbage:
        garbage.write(b"garbage \x00\x01 not a project")
    with open(session.file("taken.png"), "wb") as taken:
        taken.write(b"taken")
    a_longer_session(session)
    for _ in range(2):
        session.key("ctrl+o")
        session.type("garbage.tvsx")
        session.key("Return")
        answer(session, shown_box(session, "the error of the garbage file")["main"], how, "garbage file's error")
    for link in WEB_LINKS:
        session.click_in_window(*ABOUT_MENU)
        session.click_in_window(*link)
        answer(session, shown_box(session, "the error of a web link")["main"], how, "web link's error")
    session.click_in_window(*SAVE_IMAGE)
    session.type("taken.png")
    session.key("Return")
    answer(session, shown_box(session, "the question to replace taken.png")["question"][1], how, "Replace file")
    with open(session.file("taken.png"), "rb") as taken:
        if taken.read() != b"taken":
            fail("taken.png was replaced although the answer was \"No\"")
    if session.desktop.window_manager:
        session.key("alt+F4")
        answer(session, shown_box(session, "the quit question")["question"][1], how, "Quit")
    if session.program.poll() is not None:
        fail(f"the program ended with status {session.program.returncode}")


def check_one_escape_answers_each_box(session):
    answer_every_box(session, "escape")


def check_one_click_answers_each_box(session):
    answer_every_box(session, "click")


run_cases(check_one_escape_answers_each_box, check_one_click_answers_each_box)
