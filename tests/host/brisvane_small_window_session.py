#!/usr/bin/python3
"""The menu strip and the tool bar of a small main window (see x_desktop.py): with every tool window
stored at the window's top corner and the window made 400 x 300, each menu of the strip opens by a
real click, and so do the dialogs of the tool bar's buttons; a tool window dragged up stops below
the tool bar.

Usage: brisvane_small_window_session.py PATH_TO_BRISVANE [--window-manager]
"""

from x_desktop import ImageChops, fail, run_cases, wait_for

LAYOUT = "settings_layout.network_payload"
WINDOWS = ("boxes", "labels", "colors", "power", "snake", "raster")
STRIP_HEIGHT = 20
TOOL_BAR_BOTTOM = 60
TOOL_BAR_BACKGROUND = (63, 63, 63)
SMALL = (400, 300)


def runs(columns, gap):
    """The runs of a sorted list of numbers, split where two neighbours lie more than `gap` apart."""
    found = []
    for column in columns:
        if found and column - found[-1][1] <= gap:
            found[-1][1] = column
        else:
            found.append([column, column])
    return found


def in_client(session, image, box):
    """The part of a screenshot that lies at a rectangle of the main window's client area."""
    left, top, _, _ = session.window_geometry()
    x1, y1, x2, y2 = box
    return image.crop((left + x1, top + y1, left + x2, top + y2))


def captions_and_buttons(session):
    """The middles of the menu captions and of the tool bar's buttons, in the client area, read off
    a window wide enough that the product title lies clear of the captions."""
    session.run("xdotool", "windowsize", "--sync", session.window, "1200", "800")
    session.settled_geometry()
    strip = in_client(session, session.screenshot(), (0, 0, 440, TOOL_BAR_BOTTOM)).load()
    # Caption text is light on the dark strip; the words of one caption lie closer than captions.
    text = [x for x in range(440) if any(min(strip[x, y]) >= 0x90 for y in range(3, STRIP_HEIGHT - 3))]
    captions = [(first + last) // 2 for first, last in runs(text, 12)]
    # The buttons stand out from the tool bar's own grey across the middle row; the label after them is narrower.
    middle = (STRIP_HEIGHT + TOOL_BAR_BOTTOM) // 2
    marked = [x for x in range(440) if strip[x, middle] != TOOL_BAR_BACKGROUND]
    buttons = [(first + last) // 2 for first, last in runs(marked, 3) if last - first >= 50][:3]
    if len(captions) != 6 or len(buttons) != 3:
        fail(f"the strip shows captions at {captions} and buttons at {buttons}, not 6 and 3")
    return captions, buttons


def make_small(session):
    session.run("xdotool", "windowsize", "--sync", session.window, *map(str, SMALL))
    wait_for(lambda: session.settled_geometry()[2:] == SMALL, "the window to take 400 x 300")


def click_opens(session, point, area, what):
    """Clicks a point of the client area and waits until the area shows something new."""
    before = in_client(session, session.screenshot(), area)
    session.click_in_window(*point)
    wait_for(lambda: ImageChops.difference(before, in_client(session, session.screenshot(), area)).getbbox(),
             f"a click on {what} to open it")


def check_the_menu_and_the_tool_bar_are_reachable_in_a_small_window(session):
    captions, buttons = captions_and_buttons(session)
    lines = [f"{name}_{key}={value}" for name in WINDOWS for key, value in (("x", 0), ("y", 0), ("visible", 1))]
    session.restart_with_data(LAYOUT, "\n".join(lines) + "\n")
    make_small(session)
    width, height = SMALL
    for number, x in enumerate(captions):
        # A drop-down opens under its caption; a press beside the captions folds it again.
        click_opens(session, (x, STRIP_HEIGHT // 2), (x, STRIP_HEIGHT + 2, min(x + 60, width), STRIP_HEIGHT + 40),
                    f"menu caption {number + 1}")
        session.click_in_window(width - 4, STRIP_HEIGHT // 2)
    for number, x in enumerate(buttons):
        # Each button opens a file dialog over the window; Escape closes it.
        click_opens(session, (x, (STRIP_HEIGHT + TOOL_BAR_BOTTOM) // 2), (0, TOOL_BAR_BOTTOM, width, height),
                    f"tool bar button {number + 1}")
        session.key("Escape")


def check_a_tool_window_dragged_up_stops_below_the_tool_bar(session):
    # The first start shows "Screen Info" at the left, just under the tool bar; its title bar is
    # dragged far above the window's top.
    wait_for(lambda: "boxes_y=70" in session.data_text(LAYOUT), "the tool-window layout of the first start")
    left, top, _, _ = session.window_geometry()
    session.run("xdotool", "mousemove", "--sync", str(left + 60), str(top + 75), "mousedown", "1")
    session.run("xdotool", "mousemove", "--sync", str(left + 60), str(top + 30))
    session.run("xdotool", "mousemove", "--sync", str(left + 60), str(top - 40), "mouseup", "1")
    wait_for(lambda: "boxes_y=60" in session.data_text(LAYOUT), "the dragged window's place under the tool bar")


run_cases(check_the_menu_and_the_tool_bar_are_reachable_in_a_small_window,
          check_a_tool_window_dragged_up_stops_below_the_tool_bar)
