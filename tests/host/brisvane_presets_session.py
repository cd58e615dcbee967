#!/usr/bin/python3
"""The presets kept, on a real X server (see x_desktop.py):

- loading a presets file cut after its first third (of 12 presets) through "Load Presets" shows
  one error box; the 12 presets in use and their autosave are kept, and are there after a restart;
- two copies of the program on one data folder: what each adds or deletes survives the other's
  autosave.

Usage: brisvane_presets_session.py PATH_TO_BRISVANE [--window-manager]
"""

import os
import re

from x_desktop import case_failure, fail, run_cases, wait_for

AUTOSAVE = "autosaved.tvsx_presets"
# Client pixels: the preset list's buttons and its first preset's "-", and the "Labels" tool
# window's "Layer Name:" box, at their default places.
LOAD_PRESETS = (849, 387)
ADD_TO_PRESET = (1020, 387)
DELETE_FIRST_PRESET = (869, 144)
LAYER_NAME = (120, 736)


def presets_file(names):
    blocks = "".join(f"1 {len(text)}\n{text}" for text in (f"Name:{name}\nColumns:2" for name in names))
    return f"BRISVANE_LED_PRESETS v2 {len(names)} 0\n{blocks}"


def autosaved_names(session):
    return re.findall(r"^Name:(.*)$", session.data_text(AUTOSAVE), re.MULTILINE)


def add_preset(session, name):
    """Names the current layer and adds it to the presets, as the user does."""
    session.bring_to_front()
    session.click_in_window(*LAYER_NAME)
    session.key("ctrl+a")
    session.type(name)
    session.key("Return")
    session.click_in_window(*ADD_TO_PRESET)
    try:
        wait_for(lambda: name in autosaved_names(session), f"the preset {name} autosaved")
    except case_failure as failure:
        fail(f"{failure}; the presets autosaved are {autosaved_names(session)}")


def check_a_presets_file_read_in_part_keeps_the_presets_and_their_autosave(session):
    twelve = presets_file([f"Panel {i}" for i in range(12)])
    session.restart_with_data(AUTOSAVE, twelve)
    with open(session.file("part.tvsx_presets"), "w") as part:
        part.write(twelve[:len(twelve) // 3])
    session.click_in_window(*LOAD_PRESETS)
    session.type("part.tvsx_presets")
    session.key("Return")
    told = session.expect_errors(1)
    if "part.tvsx_presets\" was read only in part" not in told:
        fail(f"the error told is {told}")
    if "None of its presets were loaded; the 12 presets in use are kept." not in session.output_tail(40):
        fail("the error does not say that the presets in use are kept")
    session.key("Escape")
    if session.data_text(AUTOSAVE) != twelve:
        fail("the autosaved presets were changed")
    # After a restart all twelve are in use: a preset added then is saved with them.
    session.restart()
    add_preset(session, "Added")
    if autosaved_names(session) != ["Added"] + [f"Panel {i}" for i in range(12)]:
        fail(f"the presets after a restart are {autosaved_names(session)}")
    session.expect_errors(1)


def check_two_copies_keep_each_others_presets(session):
    other = session.second_copy()
    try:
        other.start()
        add_preset(session, "Alpha")
        add_preset(other, "Beta")
        if autosaved_names(session)[:2] != ["Alpha", "Beta"]:
            fail(f"the second copy's save gave {autosaved_names(session)}")
        # The first copy still shows Alpha first, and deletes it; Beta stays.
        session.bring_to_front()
        session.click_in_window(*DELETE_FIRST_PRESET)
        wait_for(lambda: "Alpha" not in autosaved_names(session), "the deletion of Alpha autosaved")
        names = autosaved_names(session)
        if names[0] != "Beta" or len(names) != 10:
            fail(f"the first copy's save gave {names}")
        other.end()
        told = session.errors() + other.errors()
    finally:
        other.kill()
        other.log.close()
    if told:
        fail(f"errors told: {told}")


run_cases(check_a_presets_file_read_in_part_keeps_the_presets_and_their_autosave,
          check_two_copies_keep_each_others_presets)
