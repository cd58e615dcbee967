#!/usr/bin/python3
"""The pointer over the layer list's buttons, as a user moves and clicks it (see x_desktop.py):

- the "+" button's tooltip shows while the pointer rests on it, is gone once the click opened the
  add-layer menu, and never covers that menu, even when the pointer comes back to the button;
- a press on the "Draw Current Only" check box, dragged off and released elsewhere, leaves the box
  looking exactly as before.

Usage: brisvane_pointer_session.py PATH_TO_BRISVANE [--window-manager]
"""

import time

from x_desktop import fail, run_cases, wait_for

SIZE = (1000, 700)
# The layer list's buttons stand in the side panel's last row, at these distances from the main
# window's bottom-right corner.
PLUS_BUTTON = (169, 21)
DRAW_CURRENT_ONLY_BOX = (123, 21)
TOOLTIP = (0x12, 0x13, 0x15)
# The add-layer menu: four rows above the pointer that opened it.
MENU_HEIGHT = 90
MENU_WIDTH = 100


def sized(session):
    session.run("xdotool", "windowsize", "--sync", session.window, *map(str, SIZE))
    wait_for(lambda: session.settled_geometry()[2:] == SIZE, "the window to take its size")


def from_corner(offset):
    return SIZE[0] - offset[0], SIZE[1] - offset[1]


def client_shot(session, box=(0, 0) + SIZE):
    left, top, _, _ = session.window_geometry()
    x1, y1, x2, y2 = box
    return session.screenshot().crop((left + x1, top + y1, left + x2, top + y2))


def settled_shot(session, box):
    """The part of the client area once the program has stopped drawing it anew."""
    last = None
    def unchanged():
        nonlocal last
        shot, last = last, client_shot(session, box)
        time.sleep(0.3)
        return shot is not None and shot == last
    wait_for(unchanged, "the window to stop changing")
    return last


def tooltip_pixels(image):
    return sum(count for count, colour in image.getcolors(image.width * image.height) if colour == TOOLTIP)


def move_in_window(session, x, y):
    left, top, _, _ = session.window_geometry()
    session.run("xdotool", "mousemove", "--sync", str(left + x), str(top + y))


def never_for_a_while(condition, what, seconds=1.5):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            fail(what)
        time.sleep(0.1)


def check_the_plus_buttons_tooltip_gives_way_to_its_menu(session):
    sized(session)
    x, y = from_corner(PLUS_BUTTON)
    move_in_window(session, x, y)
    wait_for(lambda: tooltip_pixels(client_shot(session)), "the tooltip of the pointer resting on \"+\"")
    menu = (x, y - MENU_HEIGHT, x + MENU_WIDTH, y)
    closed = settled_shot(session, menu)
    session.click_in_window(x, y)
    wait_for(lambda: client_shot(session, menu) != closed, "the add-layer menu")
    never_for_a_while(lambda: tooltip_pixels(client_shot(session)), "the tooltip shows after the click that opened the menu")
    # Over the menu's first row and back on the button.
    move_in_window(session, x + 10, y - MENU_HEIGHT + 10)
    move_in_window(session, x, y)
    never_for_a_while(lambda: tooltip_pixels(client_shot(session, menu)), "the tooltip covers the open add-layer menu")


def check_a_dropped_click_leaves_a_check_box_as_it_was(session):
    sized(session)
    x, y = from_corner(DRAW_CURRENT_ONLY_BOX)
    box = (x - 12, y - 12, x + 12, y + 12)
    # The pointer rests on the canvas, away from every tooltip.
    move_in_window(session, 400, 300)
    before = settled_shot(session, box)
    move_in_window(session, x, y)
    session.run("xdotool", "mousedown", "1")
    wait_for(lambda: client_shot(session, box) != before, "the check box to look pressed")
    move_in_window(session, 600, 400)
    move_in_window(session, 400, 300)
    session.run("xdotool", "mouseup", "1")
    wait_for(lambda: client_shot(session, box) == before, "the check box to look as before the dropped click")
    never_for_a_while(lambda: client_shot(session, box) != before, "the check box changes its look after the dropped click")


run_cases(check_a_dropped_click_leaves_a_check_box_as_it_was, check_the_plus_buttons_tooltip_gives_way_to_its_menu)
