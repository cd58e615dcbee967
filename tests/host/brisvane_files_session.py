#!/usr/bin/python3
"""Saving and starting leave the user's files as they were, on a real X server (see x_desktop.py):

- a project saved through a symbolic link that dangles makes the file the link names and keeps the
  link; files of the user's own beside the project (".wall.tvsx.backup", old enough to pass for a
  left-over temporary) survive the save;
- a FIFO as the autosaved presets does not hold the start: the window shows.

Usage: brisvane_files_session.py PATH_TO_BRISVANE [--window-manager]
"""

import os
import time

from x_desktop import fail, run_cases, wait_for

# Old enough that a save would take them for its own stale temporaries, were they named so.
AN_HOUR_AGO = time.time() - 3600


def users_own_file(path):
    with open(path, "w") as own:
        own.write("the user's own")
    os.utime(path, (AN_HOUR_AGO, AN_HOUR_AGO))
    return path


def check_a_save_through_a_link_keeps_the_link_and_the_users_files(session):
    real = session.file("real")
    os.makedirs(real)
    os.symlink(os.path.join("real", "wall.tvsx"), session.file("wall.tvsx"))
    own = [users_own_file(os.path.join(folder, ".wall.tvsx.backup")) for folder in (session.work, real)]
    session.key("ctrl+s")
    session.type("wall")
    session.key("Return")
    saved = os.path.join(real, "wall.tvsx")
    wait_for(lambda: os.path.exists(saved), "the project saved where the link leads")
    with open(saved, "rb") as project:
        if not project.read().startswith(b"BRISVANE_LED_PROJECT v2 "):
            fail("the file the link leads to holds no project")
    if not os.path.islink(session.file("wall.tvsx")):
        fail("the link was replaced by the saved file")
    for path in own:
        if not os.path.exists(path):
            fail(f"the save removed the user's {path}")


def check_a_fifo_as_the_autosaved_presets_does_not_hold_the_start(session):
    session.end()
    os.makedirs(session.data, exist_ok=True)
    os.mkfifo(os.path.join(session.data, "autosaved.tvsx_presets"))
    # Fails when the window does not show.
    session.start()


run_cases(check_a_save_through_a_link_keeps_the_link_and_the_users_files,
          check_a_fifo_as_the_autosaved_presets_does_not_hold_the_start)
