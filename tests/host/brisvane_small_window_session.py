#!/usr/bin/python3
"""The edges of the main window (see x_desktop.py):

- with every tool window stored at the window's top corner and the window made 400 x 300, each menu
  of the strip opens by a real click, and so do the dialogs of the tool bar's buttons;
- a tool window dragged up stops below the tool bar; one dragged under the side panel stops beside
  it, and one stored beyond the window's edges shows beside the side panel at the next start, where
  its title bar can be taken hold of;
- at 400 x 300, the "View" menu, taller than the window, scrolls to its last item, which a click
  runs;
- an item clicked right after its menu's caption (within the double-click time and distance) runs,
  in the "File" menu and in the "Layers" menu;
- at 400 x 300, the program's own file dialog fits the window, and serves the keyboard alone: Tab
  round its controls, the arrows in the listing and the filter, Return; a path typed from the root
  replaces the folder shown, and the folder of a file saved is where the next dialog starts; its
  "Cancel" button takes a click;
- a dialog stays in the middle of the window when the window is resized.

Usage: brisvane_small_window_session.py PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]
"""

import os
import re
import time

from x_desktop import ImageChops, fail, run_cases, wait_for

LAYOUT = "settings_layout.network_payload"
WINDOWS = ("boxes", "labels", "colors", "power", "snake", "raster")
STRIP_HEIGHT = 20
TOOL_BAR_BOTTOM = 60
TOOL_BAR_BACKGROUND = (63, 63, 63)
SMALL = (400, 300)
SIDE_PANEL_WIDTH = 280
# The title bar of a tool window, and of the window that has the keyboard (a dialog).
WINDOW_HEADER = (0x35, 0x37, 0x3B)
FOCUSED_WINDOW_HEADER = (0x3D, 0x40, 0x46)
# The face of the toolkit's buttons (and of the filter's drop-down button).
BUTTON_FACE = (0x3C, 0x3F, 0x44)


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


def layout_value(session, key):
    found = re.search(rf"^{key}=(-?\d+)$", session.data_text(LAYOUT), re.MULTILINE)
    return int(found.group(1)) if found else None


def is_title_bar(pixel):
    return pixel in (WINDOW_HEADER, FOCUSED_WINDOW_HEADER)


def check_a_tool_window_under_the_side_panel_or_beyond_the_edges_comes_back_within_reach(session):
    wait_for(lambda: layout_value(session, "boxes_x") == 10, "the tool-window layout of the first start")
    left, top, width, height = session.window_geometry()
    panel = width - SIDE_PANEL_WIDTH
    # "Screen Info" dragged by its title bar far into the side panel stops beside it.
    session.run("xdotool", "mousemove", "--sync", str(left + 60), str(top + 75), "mousedown", "1")
    session.run("xdotool", "mousemove", "--sync", str(left + 400), str(top + 75))
    session.run("xdotool", "mousemove", "--sync", str(left + width + 200), str(top + 75), "mouseup", "1")
    wait_for(lambda: (layout_value(session, "boxes_x") or 0) > 10, "the dragged window's place")
    # There it stands, and there it comes back after a restart.
    beside_the_panel = lambda: is_title_bar(session.window_shot().getpixel((panel - 3, 72))) and \
        not is_title_bar(session.window_shot().getpixel((panel + 3, 72)))
    wait_for(beside_the_panel, "the window to stand beside the side panel")
    session.restart()
    wait_for(beside_the_panel, "the window to stand beside the side panel after a restart")
    # Stored beyond the window's right and bottom edges, it shows beside the side panel, above the
    # window's foot, where a drag of its title bar moves it.
    session.restart_with_data(LAYOUT, "boxes_x=5000\nboxes_y=5000\nboxes_visible=1\n")
    left, top, width, height = session.window_geometry()
    shot = session.window_shot()
    tops = [y for y in range(60, height) if is_title_bar(shot.getpixel((panel - 3, y)))]
    if not tops:
        fail("the window stored beyond the edges shows no title bar beside the side panel")
    title = (left + panel - 40, top + tops[0] + 5)
    session.run("xdotool", "mousemove", "--sync", str(title[0]), str(title[1]), "mousedown", "1")
    session.run("xdotool", "mousemove", "--sync", str(title[0] - 50), str(title[1]))
    session.run("xdotool", "mousemove", "--sync", str(title[0] - 100), str(title[1]), "mouseup", "1")
    wait_for(lambda: (layout_value(session, "boxes_x") or 5000) <= panel - 100, "the title bar to take the drag")


def check_a_menu_taller_than_the_window_reaches_its_last_item(session):
    captions, _ = captions_and_buttons(session)
    make_small(session)
    view = captions[2]
    click_opens(session, (view, STRIP_HEIGHT // 2), (view, STRIP_HEIGHT + 2, view + 60, STRIP_HEIGHT + 40), "the View menu")
    left, top, width, height = session.window_geometry()
    session.run("xdotool", "mousemove", "--sync", str(left + view + 30), str(top + height // 2))
    for _ in range(20):
        session.run("xdotool", "click", "5")
    # The last item, "Path Pattern 8", stands right above the arrow strip at the menu's foot.
    time.sleep(0.5)
    session.click_in_window(view + 30, height - 12 - 10)
    wait_for(lambda: "Submenu clicked, id: 15" in session.output_tail(5), "the last item of the View menu to run")


def check_an_item_clicked_right_after_its_caption_runs(session):
    captions, _ = captions_and_buttons(session)
    left, top, _, _ = session.window_geometry()
    ran = lambda: session.output_tail(50).count("Submenu clicked, id: 0")
    # "New" under "File", then "Add Screen Layer" under "Layers": each the first item of its menu,
    # 20 pixels under the caption, clicked 150 ms after it.
    for number, x in enumerate(captions[:2]):
        session.run("xdotool", "mousemove", "--sync", str(left + x), str(top + STRIP_HEIGHT // 2), "click", "1",
                    "sleep", "0.15", "mousemove", "--sync", str(left + x + 10), str(top + STRIP_HEIGHT + 10), "click", "1")
        wait_for(lambda: ran() == number + 1, f"the first item of menu {number + 1}, clicked right after its caption, to run")


def dialog_buttons(image):
    """The two buttons of a file dialog in a picture, from left to right: (left, right, y) of the
    runs of the face colour across their middles, or nothing. They are the lowest pair of faces
    80 pixels wide (less their rounded corners)."""
    pixels = image.load()
    for y in range(image.height - 1, 0, -1):
        columns = [x for x in range(image.width) if pixels[x, y] == BUTTON_FACE]
        buttons = [(first, last, y) for first, last in runs(columns, 1) if 60 <= last - first <= 80]
        if len(buttons) >= 2:
            return buttons[-2:]
    return []


def check_the_own_file_dialog_fits_a_small_window_and_serves_the_keyboard_alone(session):
    for folder in ("plans", "abs"):
        os.makedirs(session.file(folder))
    make_small(session)
    before = session.window_shot()
    session.key("ctrl+s")
    session.wait_until_changed(before, "the save dialog")
    shot = session.window_shot()
    title = [(x, y) for y in range(0, 60) for x in range(SMALL[0]) if shot.getpixel((x, y)) == FOCUSED_WINDOW_HEADER]
    if not title or not dialog_buttons(shot):
        fail("the save dialog shows no title bar or no buttons in the 400 x 300 window")
    # Tab goes to the listing ("../", "abs/", "plans/"), Down three times selects "plans/", Return
    # enters it; Shift+Tab goes back to the name box.
    session.key("Tab", "Down", "Down", "Down", "Return", "shift+Tab")
    session.type("wall")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("plans/wall.tvsx")), "plans/wall.tvsx")
    # The next save dialog starts in "plans"; a path typed from the root replaces it.
    session.key("ctrl+s")
    time.sleep(0.5)
    session.type(session.file("abs/site"))
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("abs/site.tvsx")), "abs/site.tvsx")
    # The next starts in "abs"; Tab twice and Down select "All Files", which keeps the name as typed.
    session.key("ctrl+s")
    time.sleep(0.5)
    session.key("Tab", "Tab", "Down", "shift+Tab", "shift+Tab")
    session.type("notes.txt")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("abs/notes.txt")), "abs/notes.txt")
    # The open dialog's "Cancel" takes the keyboard (Tab three times and Return), and a click. The
    # pointer rests on the strip beside the menu captions, where it shows nothing hovered.
    left, top, width, _ = session.window_geometry()
    rest = ("mousemove", "--sync", str(left + width - 4), str(top + STRIP_HEIGHT // 2))
    for how in ("keys", "click"):
        session.run("xdotool", *rest)
        before = session.window_shot()
        session.key("ctrl+o")
        session.wait_until_changed(before, "the open dialog")
        if how == "keys":
            session.key("Tab", "Tab", "Tab", "Return")
        else:
            cancel, _ = dialog_buttons(session.window_shot())
            session.click_in_window((cancel[0] + cancel[1]) // 2, cancel[2])
            session.run("xdotool", *rest)
        session.wait_until_restored(before, f"the open dialog's Cancel to take the {how}")


def check_a_dialog_stays_centred_when_the_window_is_resized(session):
    make_small(session)
    session.key("ctrl+o")
    for size in ((800, 600), (500, 700)):
        session.run("xdotool", "windowsize", "--sync", session.window, *map(str, size))
        wait_for(lambda: session.settled_geometry()[2:] == size, f"the window to take {size}")

        def centred():
            shot = session.window_shot()
            columns = [x for x in range(size[0]) for y in range(0, size[1] // 2, 4)
                       if shot.getpixel((x, y)) == FOCUSED_WINDOW_HEADER]
            return columns and abs((min(columns) + max(columns)) / 2 - size[0] / 2) <= 2

        wait_for(centred, f"the open dialog to stand in the middle of a window of {size}")
    session.key("Escape")


run_cases(check_the_menu_and_the_tool_bar_are_reachable_in_a_small_window,
          check_a_tool_window_dragged_up_stops_below_the_tool_bar,
          check_a_tool_window_under_the_side_panel_or_beyond_the_edges_comes_back_within_reach,
          check_a_menu_taller_than_the_window_reaches_its_last_item,
          check_an_item_clicked_right_after_its_caption_runs,
          check_the_own_file_dialog_fits_a_small_window_and_serves_the_keyboard_alone,
          check_a_dialog_stays_centred_when_the_window_is_resized)
