#!/usr/bin/python3
"""Saving and starting leave the user's files as they were, on a real X server (see x_desktop.py):

- a project saved through a symbolic link that dangles makes the file the link names and keeps the
  link; files of the user's own beside the project (".wall.tvsx.backup", old enough to pass for a
  left-over temporary) survive the save;
- a project of two names (hard links) saved through one stays one file that both names show saved;
  a save of it killed while it rewrites the file is finished at the next start;
- a FIFO as the autosaved presets does not hold the start: the window shows;
- a project whose picture layer's `Data:` holds one character that is not hexadecimal, or one
  changed digit (the PNG fails its check), opens with one error box naming the layer, and saving it
  writes that `Data:` text back byte for byte.

Usage: brisvane_files_session.py PATH_TO_BRISVANE [--window-manager]
"""

import io
import os
import random
import re
import time

from x_desktop import TIMEOUT, Image, fail, run_cases, wait_for

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


def noise_picture_hex(width, height):
    """A PNG of noise, which it cannot make smaller, as the hexadecimal text of a picture layer."""
    noise = random.Random(7).randbytes(width * height * 3)
    png = io.BytesIO()
    Image.frombytes("RGB", (width, height), noise).save(png, "PNG")
    return png.getvalue().hex().upper()


def with_picture_layer(project, data):
    """The project with a picture layer "Photo" of that `Data:` text added at the bottom."""
    header, rest = project.split(b"\n", 1)
    magic, version, count, extra = header.split(b" ")
    extra_text, blocks = rest[:int(extra) + 1], rest[int(extra) + 1:]
    layer = b"Name:Photo\nWidth:64\nHeight:32\nData:" + data + b"\nAspectRatio:1"
    return (b" ".join([magic, version, str(int(count) + 1).encode(), extra]) + b"\n" + extra_text
            + b"2 %d\n" % len(layer) + layer + blocks)


def picture_data(path):
    with open(path, "rb") as project:
        return re.search(rb"^Data:(.*)$", project.read(), re.MULTILINE).group(1)


def open_project(session, project):
    with open(session.file("photo.tvsx"), "wb") as photo:
        photo.write(project)
    session.key("ctrl+o")
    session.type("photo.tvsx")
    session.key("Return")


def save_project(session, name):
    session.key("ctrl+s")
    session.type(name)
    session.key("Return")
    return wait_for(lambda: os.path.exists(session.file(name)) and session.file(name), name)


def check_a_picture_with_a_bad_byte_is_told_and_saved_back_unchanged(session):
    with open(save_project(session, "plain.tvsx"), "rb") as project:
        plain = project.read()
    good = noise_picture_hex(64, 32).encode()
    open_project(session, with_picture_layer(plain, good))
    # Read whole, the picture is written again by the program's own encoder.
    if not picture_data(save_project(session, "good.tvsx")).upper().startswith(b"89504E47"):
        fail("the picture read whole was not saved")
    session.expect_errors(0)
    middle = len(good) // 2
    digit = b"1" if good[middle:middle + 1] == b"0" else b"0"
    for told, bad in enumerate((good[:middle] + b"g" + good[middle + 1:], good[:middle] + digit + good[middle + 1:]), 1):
        open_project(session, with_picture_layer(plain, bad))
        session.expect_errors(told)
        if session.output_tail(400).count('The picture of the layer "Photo" cannot be shown') != told:
            fail(f"the error box does not name the layer: {session.errors()}")
        session.key("Escape")
        if picture_data(save_project(session, f"saved{told}.tvsx")) != bad:
            fail(f"saved{told}.tvsx does not hold the picture text as it came")


def check_a_save_through_a_hard_link_keeps_one_file(session):
    with open(save_project(session, "plain.tvsx"), "rb") as project:
        plain = project.read()
    os.link(session.file("plain.tvsx"), session.file("wall.tvsx"))
    open_project(session, with_picture_layer(plain, noise_picture_hex(16, 16).encode()))
    saved = save_project(session, "wall.tvsx")
    wait_for(lambda: b"Name:Photo" in open(session.file("plain.tvsx"), "rb").read(), "the save seen through the other name")
    if not os.path.samefile(saved, session.file("plain.tvsx")) or os.stat(saved).st_nlink != 2:
        fail("the save split the file from its other name")
    session.expect_errors(0)


def is_rewriting_in_place(session):
    """Whether a save's record is in the data folder: the save rewrites a file of several names from
    the new content beside the record, or is about to."""
    folder = os.path.join(session.data, "unfinished-saves")
    return os.path.isdir(folder) and any(name.endswith("record") for name in os.listdir(folder))


def save_cut_short(session, name):
    """Saves the document as `name`, a file of several names, and kills the program while the save
    rewrites the file; False when the save ended before the kill."""
    session.key("ctrl+s")
    session.type(name)
    session.key("Return")
    end = time.monotonic() + TIMEOUT
    while not is_rewriting_in_place(session):
        if time.monotonic() > end:
            fail("the save kept no record in the data folder")
        time.sleep(0.001)
    session.kill()
    return is_rewriting_in_place(session)


def check_a_save_killed_while_rewriting_a_file_of_two_names_is_finished_at_the_next_start(session):
    with open(save_project(session, "plain.tvsx"), "rb") as project:
        plain = project.read()
    # A picture layer of noise makes the project large, and its rewrite long enough to be cut short.
    open_project(session, with_picture_layer(plain, noise_picture_hex(1536, 1536).encode()))
    with open(save_project(session, "wall.tvsx"), "rb") as project:
        saved = project.read()
    os.link(session.file("wall.tvsx"), session.file("wall-copy.tvsx"))
    for _ in range(3):
        # Other bytes in the file, which stays one with its other name.
        with open(session.file("wall.tvsx"), "r+b") as project:
            project.write(b"x" * len(saved))
        if save_cut_short(session, "wall.tvsx"):
            break
        session.start()
        open_project(session, saved)
    else:
        fail("no save could be cut short")
    session.start()
    for name in ("wall.tvsx", "wall-copy.tvsx"):
        with open(session.file(name), "rb") as project:
            if project.read() != saved:
                fail(f"{name} does not hold the project saved")
    if os.listdir(os.path.join(session.data, "unfinished-saves")):
        fail("the save's content or record was left in the data folder")
    session.expect_errors(0)


run_cases(check_a_save_through_a_link_keeps_the_link_and_the_users_files,
          check_a_save_through_a_hard_link_keeps_one_file,
          check_a_save_killed_while_rewriting_a_file_of_two_names_is_finished_at_the_next_start,
          check_a_fifo_as_the_autosaved_presets_does_not_hold_the_start,
          check_a_picture_with_a_bad_byte_is_told_and_saved_back_unchanged)
