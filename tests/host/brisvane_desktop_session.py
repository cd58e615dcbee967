#!/usr/bin/python3
"""The program's place on the desktop, as a new user meets it (see x_desktop.py), on a session bus of
the test's own with a stand-in desktop portal that answers every file dialog with code 2 (the
chooser closed by Escape or the window manager) and a stand-in screen saver that records its calls:

- the main window carries the desktop entry's class and the program's icon (task bars and docks
  show it under its launcher);
- a chooser closed that way is a cancel: nothing written, no other dialog, the next dialog goes to
  the portal again;
- the screen saver is left to the user (no live output here: the virtual X server has one monitor);
- a web link whose opener fails after seconds is told in an error box, and meanwhile the menus answer;
- a "file://" URI on the command line, as the desktop's recently used files pass it, opens the file;
- a start with no display ends at once, with one line and a failed status.

Usage: brisvane_desktop_session.py PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]. Runs itself
again under dbus-run-session.
"""

import os
import shutil
import subprocess
import time

from x_desktop import (ABOUT_MENU, TIMEOUT, WEB_LINKS, ImageChops, fail, on_a_session_bus_of_its_own, records,
                       run_cases, start_stand_in, wait_for)

on_a_session_bus_of_its_own()

# The desktop's chooser where a portal answers; the own dialog where none does.
os.environ["BRISVANE_FILE_DIALOG"] = ""
PORTAL = start_stand_in("stand_in_portal.py", "end")
SCREEN_SAVER = start_stand_in("stand_in_screen_saver.py")
# A whole project of two layers and a raster label.
PROJECT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../fuzz/seeds/fuzz_project_container/project.tvsx")


def check_the_window_carries_the_launchers_class_and_icon(session):
    window_class = session.run("xprop", "-id", session.window, "WM_CLASS").strip()
    if window_class != 'WM_CLASS(STRING) = "Tarvossa_BrisvanePro", "Tarvossa_BrisvanePro"':
        fail(f"the window's class is not the desktop entry's id: {window_class}")
    icon = session.run("xprop", "-id", session.window, "_NET_WM_ICON")
    if "Icon (64 x 64)" not in icon:
        fail(f"the window carries no icon of the program: {icon[:200]}")


def check_a_chooser_closed_without_a_choice_cancels_and_keeps_the_portal(session):
    for count in (1, 2):
        session.key("ctrl+s")
        wait_for(lambda: len(records(PORTAL)) >= count, f"request {count} to reach the portal")
        # An own dialog would show over the window after the portal's answer.
        before = session.window_shot()
        time.sleep(1.0)
        if ImageChops.difference(before, session.window_shot()).getbbox():
            fail("the window changed after the portal's answer: another dialog showed")
    time.sleep(1.0)
    if len(records(PORTAL)) != 2 or "file chooser" in session.output_tail():
        fail(f"{len(records(PORTAL))} requests, and the output: {session.output_tail(3).strip()}")
    if any(name.endswith(".tvsx") for name in os.listdir(session.work)):
        fail(f"a project was saved although the chooser was closed: {os.listdir(session.work)}")


def check_the_screen_saver_is_left_to_the_user(session):
    # The menus opened and folded, a while shown.
    session.click_in_window(*ABOUT_MENU)
    session.click_in_window(*ABOUT_MENU)
    time.sleep(2.0)
    if records(SCREEN_SAVER):
        fail(f"the screen saver was called: {records(SCREEN_SAVER)}")


def check_a_link_whose_opener_fails_late_is_told(session):
    session.use_link_openers("/bin/sleep 4; exit 3", "exit 1")
    session.restart()
    clicked = time.monotonic()
    session.click_in_window(*ABOUT_MENU)
    session.click_in_window(*WEB_LINKS[0])
    # While the opener runs, the menus still open.
    before = session.window_shot()
    session.click_in_window(*ABOUT_MENU)
    session.wait_until_changed(before, "the menu to open meanwhile")
    session.click_in_window(*ABOUT_MENU)
    told = session.expect_errors(1)
    if time.monotonic() - clicked < 4.0:
        fail(f"the failure was told before the opener ended: {told}")
    if "xdg-open ended with status 3; sensible-browser ended with status 1" not in told:
        fail(f"the box does not say why: {told}")
    wait_for(session.warning_mark, "the error box on the screen")


def check_a_file_uri_on_the_command_line_opens_the_file(session):
    path = session.file("stage left.tvsx")
    shutil.copyfile(PROJECT, path)
    session.restart(["file://" + path.replace(" ", "%20")])
    wait_for(lambda: f"e_command_file_open : {path}\n" in session.output_tail(), "the project opened")
    session.expect_errors(0)


def check_a_start_without_a_display_ends_at_once_with_one_line(session):
    environment = {name: value for name, value in session.environment.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    try:
        ended = subprocess.run([session.program_path], cwd=session.work, env=environment, capture_output=True,
                               text=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        fail("the program started with no display did not end")
    lines = ended.stderr.splitlines()
    if ended.returncode == 0 or len(lines) != 1 or "no display" not in lines[0]:
        fail(f"status {ended.returncode}, standard error: {ended.stderr!r}")


run_cases(check_the_window_carries_the_launchers_class_and_icon,
          check_a_chooser_closed_without_a_choice_cancels_and_keeps_the_portal,
          check_the_screen_saver_is_left_to_the_user, check_a_link_whose_opener_fails_late_is_told,
          check_a_file_uri_on_the_command_line_opens_the_file, check_a_start_without_a_display_ends_at_once_with_one_line)
