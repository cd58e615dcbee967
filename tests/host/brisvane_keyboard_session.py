#!/usr/bin/python3
"""The real program on a virtual X server, driven by real X input as a user drives it:

- Control+Shift+4 hides the "Screen Info" tool window and shows it again (the layout file follows);
- Alt+S, a typed name and Return export a PNG under that name with ".png";
- Control+S, a typed name and Return save a ".tvsx" project; the open dialog lists it, and a double
  click on it opens it again (saved once more, it is the same project).

Usage: brisvane_keyboard_session.py PATH_TO_BRISVANE. Exits with 77 (skipped) when no X server can be
started or the tools to drive one are missing.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
TIMEOUT = 15.0
# The border colour of the text box that has the focus: the file dialog's name box.
FOCUS_BORDER = (0x4A, 0x8B, 0xD6)


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(SKIPPED)


def fail(reason):
    print(f"failed: {reason}")
    sys.exit(1)


def wait_for(condition, what):
    """Polls the condition until it gives something true, and returns that."""
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    fail(f"timed out waiting for {what}")


def displays_in_use():
    """The display numbers that an X server holds here: by a lock file or a listening socket (the
    abstract sockets of servers started in another file-system view count too)."""
    used = set()
    for name in os.listdir("/tmp"):
        if name.startswith(".X") and name.endswith("-lock") and name[2:-5].isdigit():
            used.add(int(name[2:-5]))
    with open("/proc/net/unix") as sockets:
        for line in sockets:
            _, _, number = line.strip().rpartition("/tmp/.X11-unix/X")
            if number.isdigit():
                used.add(int(number))
    return used


def start_x_server():
    """A virtual X server of our own on a free display; the server and its display name."""
    if not shutil.which("Xvfb"):
        skip("Xvfb is not installed (scripts/setup installs it)")
    used = displays_in_use()
    for number in [n for n in range(90, 200) if n not in used][:5]:
        display = f":{number}"
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        environment = dict(os.environ, DISPLAY=display)
        end = time.monotonic() + TIMEOUT
        while server.poll() is None and time.monotonic() < end:
            geometry = subprocess.run(["xdotool", "getdisplaygeometry"], env=environment, capture_output=True,
                                      text=True)
            # Ours answers with the size it was given.
            if geometry.stdout.split() == ["1280", "900"]:
                return server, display
            time.sleep(0.05)
        server.kill()
        server.wait()
    skip("no X server could be started")


class brisvane_session:
    def __init__(self, program, folder, display):
        self.folder = folder
        self.work = os.path.join(folder, "work")
        self.layout = os.path.join(folder, "data", "Brisvane", "settings_layout.network_payload")
        os.makedirs(self.work)
        self.environment = dict(os.environ, DISPLAY=display, HOME=folder,
                                XDG_DATA_HOME=os.path.join(folder, "data"))
        self.environment.pop("SDL_VIDEODRIVER", None)
        self.log = open(os.path.join(folder, "out.txt"), "w")
        # The dialogs start in the folder the program was started in.
        self.program = subprocess.Popen([os.path.abspath(program)], cwd=self.work, env=self.environment,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def run(self, *arguments):
        return subprocess.run(arguments, env=self.environment, capture_output=True, text=True).stdout

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "20", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "20", text)

    def screenshot(self):
        path = os.path.join(self.folder, "screen.png")
        subprocess.run(["import", "-window", "root", path], env=self.environment, check=True)
        with Image.open(path) as image:
            return image.convert("RGB")

    def file(self, name):
        return os.path.join(self.work, name)

    def layout_text(self):
        if not os.path.exists(self.layout):
            return ""
        with open(self.layout) as layout:
            return layout.read()

    def end(self):
        """Ends the program as the desktop ends a session; its exit status."""
        self.program.send_signal(signal.SIGTERM)
        try:
            return self.program.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            self.program.kill()
            return "no exit"


def dialog_name_box(before, after):
    """The rectangle of the file dialog's name box: the box with the focus border in what the
    dialog's opening changed on the screen."""
    changed = ImageChops.difference(before, after).getbbox()
    if not changed:
        return None
    left, top, right, bottom = changed
    pixels = after.load()
    border = [(x, y) for y in range(top, bottom) for x in range(left, right) if pixels[x, y] == FOCUS_BORDER]
    if not border:
        return None
    xs, ys = [x for x, _ in border], [y for _, y in border]
    return min(xs), min(ys), max(xs), max(ys)


def listed_rows(image, box):
    """The vertical extents of the lines of text listed under the name box, top first. Pixel rows
    with light text pixels make a line; gaps of a few pixels (between the dots and the slash of
    "../") do not end it."""
    left, _, right, bottom = box
    pixels = image.load()
    text_rows = [y for y in range(bottom + 2, min(bottom + 200, image.height))
                 if any(min(pixels[x, y]) >= 0x90 for x in range(left + 2, min(left + 160, right)))]
    rows = []
    for y in text_rows:
        if rows and y - rows[-1][1] <= 4:
            rows[-1][1] = y
        else:
            rows.append([y, y])
    return rows


def check_the_tool_window_shortcut(session):
    wait_for(lambda: "boxes_visible=1" in session.layout_text(), "the tool-window layout of the first start")
    session.key("ctrl+shift+4")
    wait_for(lambda: "boxes_visible=0" in session.layout_text(), "Control+Shift+4 to hide Screen Info")
    session.key("ctrl+shift+4")
    wait_for(lambda: "boxes_visible=1" in session.layout_text(), "Control+Shift+4 to show Screen Info again")


def check_the_image_export(session):
    session.key("alt+s")
    session.type("wallmap")
    session.key("Return")
    path = wait_for(lambda: os.path.exists(session.file("wallmap.png")) and session.file("wallmap.png"), "wallmap.png")
    with Image.open(path) as image:
        if image.format != "PNG" or image.size != (1920, 1080):
            fail(f"wallmap.png is a {image.format} of {image.size}")


def check_the_project_round(session):
    session.key("ctrl+s")
    session.type("wall")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("wall.tvsx")), "wall.tvsx")
    # The document changes, so that only opening the file brings the saved project back.
    session.key("ctrl+equal")
    before = session.screenshot()
    session.key("ctrl+o")
    box = wait_for(lambda: dialog_name_box(before, session.screenshot()), "the open dialog")
    rows = listed_rows(session.screenshot(), box)
    # "../" and then the project, the only file the dialog's filter admits.
    if len(rows) != 2:
        fail(f"the open dialog lists {len(rows)} lines, not the folder above and wall.tvsx")
    x, y = box[0] + 40, (rows[1][0] + rows[1][1]) // 2
    session.run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1")
    # The reopened project, saved again, is the saved one.
    session.key("ctrl+s")
    session.type("again")
    session.key("Return")
    wait_for(lambda: os.path.exists(session.file("again.tvsx")), "again.tvsx")
    with open(session.file("wall.tvsx"), "rb") as saved, open(session.file("again.tvsx"), "rb") as again:
        if saved.read() != again.read():
            fail("the project saved after opening wall.tvsx differs from wall.tvsx: it was not opened")


def main():
    if len(sys.argv) != 2:
        fail("usage: brisvane_keyboard_session.py PATH_TO_BRISVANE")
    for tool in ("xdotool", "import"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed (scripts/setup installs it)")
    server, display = start_x_server()
    folder = tempfile.mkdtemp(prefix="brisvane_keys_")
    session = None
    try:
        session = brisvane_session(sys.argv[1], folder, display)
        windows = wait_for(lambda: session.run("xdotool", "search", "--onlyvisible", "--name", "Brisvane").split(),
                           "the main window")
        session.run("xdotool", "windowfocus", "--sync", windows[0])
        check_the_tool_window_shortcut(session)
        check_the_image_export(session)
        check_the_project_round(session)
        status = session.end()
        if status != 0:
            fail(f"the program ended with status {status}")
        print("the keyboard session passed")
    except SystemExit as ending:
        if ending.code != SKIPPED and session:
            session.log.flush()
            with open(os.path.join(folder, "out.txt")) as log:
                print("last lines of the program's output:\n" + "".join(log.readlines()[-20:]))
        raise
    finally:
        if session and session.program.poll() is None:
            session.program.kill()
        if session:
            session.log.close()
        server.terminate()
        server.wait()
        shutil.rmtree(folder, ignore_errors=True)


try:
    from PIL import Image, ImageChops
except ImportError:
    skip("Pillow is not installed (scripts/setup installs python3-pil)")

main()
