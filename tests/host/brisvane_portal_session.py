#!/usr/bin/python3
"""The desktop's own file chooser, as a user meets it (see x_desktop.py): the real desktop portal
(xdg-desktop-portal) with its GTK chooser (xdg-desktop-portal-gtk) on a session bus of the test's
own. Control+S opens the chooser over the main window (its parent, for the window manager), a name
typed into it and Return save the project under that name with ".tvsx"; a file that is no project,
chosen in it, gives an error box that one Escape answers (the keyboard is back in the main window);
Escape in the chooser cancels the dialog, and the next one is the chooser's again.

Usage: brisvane_portal_session.py PATH_TO_BRISVANE [--window-manager]. Runs itself again under
dbus-run-session; skipped (77) where the bus or the portal cannot start.
"""

import os
import re
import time

from x_desktop import fail, on_a_session_bus_of_its_own, run_cases, skip, wait_for

on_a_session_bus_of_its_own()

PORTALS = ["/usr/libexec/xdg-desktop-portal", "/usr/libexec/xdg-desktop-portal-gtk"]
for portal in PORTALS:
    if not os.path.exists(portal):
        skip(f"{portal} is not installed (scripts/setup installs it)")

# The portal alone: a dialog it cannot show is cancelled rather than shown by the program itself.
os.environ["BRISVANE_FILE_DIALOG"] = "portal"


def parent_of(session, window):
    """The window that the X window is transient for, as xdotool names windows; None without one."""
    found = re.search(r"window id # (0x[0-9a-f]+)", session.run("xprop", "-id", window, "WM_TRANSIENT_FOR"))
    return str(int(found.group(1), 16)) if found else None


def chooser_with_keyboard(session, keys, title):
    """Opens the desktop's chooser by `keys` and gives it the keyboard; skips where the portal
    cannot start."""
    # The bus starts the portal and its chooser when they are first asked for, on our X server.
    session.run("dbus-update-activation-environment", "DISPLAY", "HOME")
    session.key(keys)
    try:
        chooser = wait_for(lambda: session.visible_window(title), "the desktop's chooser", timeout=30)
    except Exception:
        if "file chooser failed" in session.output_tail():
            skip("the desktop portal could not start: " + session.output_tail(3).strip())
        raise
    if parent_of(session, chooser) != session.window:
        fail(f"the chooser is not shown over the main window {session.window}: {parent_of(session, chooser)}")
    session.run("xdotool", "windowactivate", "--sync", chooser)
    session.run("xdotool", "windowfocus", "--sync", chooser)
    wait_for(lambda: session.run("xdotool", "getwindowfocus").strip() == chooser, "the chooser to take the keyboard")
    # GTK fills the chooser's name box after the window shows, and completes a typed name a moment
    # after the keys: keys typed before the one, or a Return before the other, are lost.
    time.sleep(1.0)


def check_a_project_saved_through_the_desktops_chooser(session):
    chooser_with_keyboard(session, "ctrl+s", "^Save File$")
    session.type("stage")
    time.sleep(1.0)
    session.key("Return")
    path = session.file("stage.tvsx")
    wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, "the project saved as stage.tvsx")
    with open(path) as project:
        header = project.readline()
    if not header.startswith("BRISVANE_LED_PROJECT v2"):
        fail(f"stage.tvsx is no project: {header!r}")


def check_one_escape_answers_the_error_of_a_file_chosen_there(session):
    garbage = session.file("garbage.tvsx")
    with open(garbage, "wb") as file:
        file.write(b"\x00\x01 no project\n")
    chooser_with_keyboard(session, "ctrl+o", "^Open File$")
    # The location box takes a whole path.
    session.key("ctrl+l")
    time.sleep(0.5)
    session.type(garbage)
    time.sleep(1.0)
    session.key("Return")
    session.expect_errors(1)
    wait_for(session.warning_mark, "the error box on the screen")
    session.key("Escape")
    wait_for(lambda: not session.warning_mark(), "the error box to go with one Escape", timeout=10.0)


def check_escape_in_the_chooser_cancels_and_the_next_dialog_is_the_choosers_again(session):
    # The portal answers a chooser closed by Escape with code 2: a cancel, not a failure.
    for _ in range(2):
        chooser_with_keyboard(session, "ctrl+s", "^Save File$")
        session.key("Escape")
        wait_for(lambda: not session.visible_window("^Save File$"), "the chooser to close with Escape")
        time.sleep(1.0)
        if "file chooser" in session.output_tail():
            fail("the closed chooser was taken for a failure: " + session.output_tail(3).strip())
        if any(name.endswith(".tvsx") for name in os.listdir(session.work)):
            fail(f"a project was saved although the chooser was closed: {os.listdir(session.work)}")
        session.activate()


run_cases(check_a_project_saved_through_the_desktops_chooser, check_one_escape_answers_the_error_of_a_file_chosen_there,
          check_escape_in_the_chooser_cancels_and_the_next_dialog_is_the_choosers_again)
