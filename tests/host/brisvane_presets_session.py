#!/usr/bin/python3
"""The presets kept, on a real X server (see x_desktop.py):

- loading a presets file cut after its first third (of 12 presets) through "Load Presets" shows
  one error box; the 12 presets in use and their autosave are kept, and are there after a restart;
- two copies of the program on one data folder: what each adds or deletes survives the other's
  autosave; a preset of one name that each adds is kept twice; a preset that one changes (by
  loading a presets file) and the other then deletes is kept with the change.

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


def block(name, columns):
    text = f"Name:{name}\nColumns:{columns}"
    return f"1 {len(text)}\n{text}"


def presets_file(names, columns=None):
    """Screen-layer presets of these names, with two columns unless `columns` gives others."""
    blocks = "".join(block(name, (columns or {}).get(name, 2)) for name in names)
    return f"BRISVANE_LED_PRESETS v2 {len(names)} 0\n{blocks}"


def project_file(name, columns):
    """A project of one screen layer."""
    label = "Raster Label:0\n"
    return f"BRISVANE_LED_PROJECT v2 1 22\nWidth:1920\nHeight:1080\n{block(name, columns)}100 {len(label)}\n{label}"


def autosaved_names(session):
    return re.findall(r"^Name:(.*)$", session.data_text(AUTOSAVE), re.MULTILINE)


def autosaved_columns(session, name):
    """The columns of each autosaved preset of that name, in file order (its blocks are read by
    their lengths)."""
    text = session.data_text(AUTOSAVE)
    _, _, rest = text.partition("\n")
    columns = []
    while rest:
        header, _, rest = rest.partition("\n")
        length = int(header.split()[1])
        fields = dict(line.partition(":")[::2] for line in rest[:length].splitlines())
        rest = rest[length:]
        if fields.get("Name") == name:
            columns.append(int(fields["Columns"]))
    return columns


def autosave_replaced(session):
    """A condition: true once the autosave is another file than now (every save writes a new one)."""
    before = os.stat(os.path.join(session.data, AUTOSAVE)).st_ino
    return lambda: os.stat(os.path.join(session.data, AUTOSAVE)).st_ino != before


def open_file(session, shortcut_or_button, name):
    session.bring_to_front()
    if isinstance(shortcut_or_button, str):
        session.key(shortcut_or_button)
    else:
        session.click_in_window(*shortcut_or_button)
    session.type(name)
    session.key("Return")


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


def with_second_copy(session, steps):
    """Runs steps(other) with a second copy started on the same folder; no error may be told."""
    other = session.second_copy()
    try:
        other.start()
        steps(other)
        other.end()
        told = session.errors() + other.errors()
    finally:
        other.kill()
        other.log.close()
    if told:
        fail(f"errors told: {told}")


def check_two_copies_keep_each_others_presets(session):
    def steps(other):
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

    with_second_copy(session, steps)


def check_a_preset_of_one_name_added_by_both_copies_is_kept_twice(session):
    for name, columns in (("three.tvsx", 3), ("eleven.tvsx", 11)):
        with open(session.file(name), "w") as project:
            project.write(project_file("Screen1", columns))

    def steps(other):
        open_file(session, "ctrl+o", "three.tvsx")
        session.click_in_window(*ADD_TO_PRESET)
        wait_for(lambda: autosaved_columns(session, "Screen1") == [3], "the first copy's Screen1 autosaved")
        open_file(other, "ctrl+o", "eleven.tvsx")
        other.click_in_window(*ADD_TO_PRESET)
        wait_for(lambda: len(autosaved_columns(session, "Screen1")) == 2, "the second copy's Screen1 autosaved")
        if sorted(autosaved_columns(session, "Screen1")) != [3, 11]:
            fail(f"the presets named Screen1 have {autosaved_columns(session, 'Screen1')} columns")
        if len(autosaved_names(session)) != 9 + 2:
            fail(f"the presets autosaved are {autosaved_names(session)}")

    with_second_copy(session, steps)


def check_a_preset_changed_in_one_copy_and_deleted_in_the_other_is_kept_changed(session):
    session.restart_with_data(AUTOSAVE, presets_file(["Edited", "Kept"]))
    with open(session.file("changed.tvsx_presets"), "w") as changed:
        changed.write(presets_file(["Edited", "Kept"], {"Edited": 9}))

    def steps(other):
        open_file(session, LOAD_PRESETS, "changed.tvsx_presets")
        wait_for(lambda: autosaved_columns(session, "Edited") == [9], "the change autosaved")
        # The second copy still shows "Edited" as it was, first, and deletes it.
        replaced = autosave_replaced(session)
        other.bring_to_front()
        other.click_in_window(*DELETE_FIRST_PRESET)
        wait_for(replaced, "the second copy's autosave")
        if autosaved_names(session) != ["Edited", "Kept"] or autosaved_columns(session, "Edited") != [9]:
            fail(f"the presets autosaved are {autosaved_names(session)}, Edited with {autosaved_columns(session, 'Edited')} columns")

    with_second_copy(session, steps)


run_cases(check_a_presets_file_read_in_part_keeps_the_presets_and_their_autosave,
          check_two_copies_keep_each_others_presets,
          check_a_preset_of_one_name_added_by_both_copies_is_kept_twice,
          check_a_preset_changed_in_one_copy_and_deleted_in_the_other_is_kept_changed)
