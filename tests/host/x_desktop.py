"""The real program on a virtual X server of its own, driven by real X input (xdotool) as a user
drives it, on the bare server or under a window manager (openbox, or icewm for a second opinion).

A test script lists its cases and hands them to `run_cases`:

    def check_something(session):
        session.key("ctrl+s")
        ...

    run_cases(check_something, check_something_else)

The script is started as `SCRIPT PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]`. Every case gets a new program
started in a private folder (its HOME and data folder), the main window focused; the case may end
and start the program again in the same folder (`session.restart()`). The program must end cleanly
after each case. The script exits with 77 (skipped) when no X server can be started or the tools
to drive one are missing.

BRISVANE_TEST_DISPLAYS=FIRST-LAST limits the display numbers the X server may take.
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
# Generous: the machines that run the tests may be loaded many times over.
TIMEOUT = 40.0
SCREEN_SIZE = (1280, 900)


# The colour of a message box's warning mark.
WARNING_MARK = (0xD0, 0x8A, 0x2E)
# Client pixels of the "About" menu's caption and of its two web links in its drop-down.
ABOUT_MENU = (306, 9)
WEB_LINKS = ((359, 51), (338, 73))

class case_failure(Exception):
    pass


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(SKIPPED)


def fail(reason):
    raise case_failure(reason)


def wait_for(condition, what, timeout=TIMEOUT):
    """Polls the condition until it gives something true, and returns that."""
    end = time.monotonic() + timeout
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


def display_numbers():
    first, _, last = os.environ.get("BRISVANE_TEST_DISPLAYS", "90-199").partition("-")
    return range(int(first), int(last or first) + 1)


class x_desktop:
    """A virtual X server on a free display, with a window manager (openbox or icewm) managing its
    windows when one is named."""

    def __init__(self, folder, window_manager_name=None):
        self.server = None
        self.window_manager = None
        self.window_manager_name = window_manager_name
        self.display = self.start_server()
        # The program's own file dialogs, which the cases drive, unless a case's script asks otherwise.
        # SDL would fall back to drawing into memory when the X server cannot be reached; the test
        # must see that as a failure to start.
        self.environment = dict(os.environ, DISPLAY=self.display, HOME=folder, SDL_VIDEODRIVER="x11",
                                BRISVANE_FILE_DIALOG=os.environ.get("BRISVANE_FILE_DIALOG", "own"))
        # The first key xdotool sends switches the server's keyboard to the input-test device, and
        # the server announces a new keyboard map: a window manager then takes its shortcut keys
        # off and on again, and a shortcut typed meanwhile (Alt+F4) goes to the program instead.
        # That first key is sent now, before anyone listens.
        subprocess.run(["xdotool", "key", "shift"], env=self.environment)
        if window_manager_name:
            self.start_window_manager()

    def start_server(self):
        used = displays_in_use()
        free = [n for n in display_numbers() if n not in used]
        # Tests started together would all race for the lowest free numbers: each starts at a place
        # of its own in the list, so a lost race is rare and the next try finds a number unraced.
        start = os.getpid() % len(free) if free else 0
        for number in (free[start:] + free[:start])[:20]:
            display = f":{number}"
            # Without -noreset the server starts over whenever its last client leaves (a program
            # ended between two starts, xdotool done asking), and refuses connections meanwhile.
            self.server = subprocess.Popen(["Xvfb", display, "-screen", "0", "{}x{}x24".format(*SCREEN_SIZE),
                                            "-nolisten", "tcp", "-noreset"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            environment = dict(os.environ, DISPLAY=display)
            end = time.monotonic() + TIMEOUT
            while self.server.poll() is None and time.monotonic() < end:
                geometry = subprocess.run(["xdotool", "getdisplaygeometry"], env=environment, capture_output=True,
                                          text=True)
                # Ours answers, and holds the display's lock and every socket that clients of the
                # display may reach: a server that another test started on the same number at the
                # same time (perhaps in another file-system view) answers too.
                if geometry.stdout.split() == [str(n) for n in SCREEN_SIZE] and self.holds_display(number):
                    return display
                time.sleep(0.05)
            self.server.kill()
            self.server.wait()
        self.server = None
        skip("no X server could be started")

    def holds_display(self, number):
        try:
            with open(f"/tmp/.X{number}-lock") as lock:
                if lock.read().strip() != str(self.server.pid):
                    return False
            folder = f"/proc/{self.server.pid}/fd"
            owned = {os.readlink(os.path.join(folder, fd)) for fd in os.listdir(folder)}
        except OSError:
            return False
        listening = set()
        with open("/proc/net/unix") as sockets:
            for line in sockets:
                fields = line.split()
                if len(fields) == 8 and fields[5] == "01" and fields[7].lstrip("@") == f"/tmp/.X11-unix/X{number}":
                    listening.add(f"socket:[{fields[6]}]")
        return bool(listening) and listening <= owned

    def start_window_manager(self):
        command = {"openbox": ["openbox", "--sm-disable"], "icewm": ["icewm"]}[self.window_manager_name]
        self.window_manager = subprocess.Popen(command, env=self.environment,
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The manager announces itself with the desktops it keeps.
        managing = lambda: subprocess.run(["xdotool", "get_num_desktops"], env=self.environment,
                                          capture_output=True).returncode == 0
        end = time.monotonic() + TIMEOUT
        while not managing():
            if self.window_manager.poll() is not None or time.monotonic() > end:
                self.close()
                print(f"failed: {self.window_manager_name} did not start")
                sys.exit(1)
            time.sleep(0.05)

    def close(self):
        for process in (self.window_manager, self.server):
            if process and process.poll() is None:
                process.terminate()
                process.wait()


class brisvane_session:
    """The program started in a folder of its own on an X desktop."""

    def __init__(self, program, folder, desktop, output="out.txt"):
        self.program_path = os.path.abspath(program)
        self.folder = folder
        self.desktop = desktop
        self.work = os.path.join(folder, "work")
        self.data = os.path.join(folder, "data", "Brisvane")
        os.makedirs(self.work, exist_ok=True)
        self.environment = dict(desktop.environment, HOME=folder, XDG_DATA_HOME=os.path.join(folder, "data"))
        self.output = os.path.join(folder, output)
        self.log = open(self.output, "a")
        self.program = None
        self.window = None

    def second_copy(self):
        """Another copy of the program on the same folder (HOME and data folder), with an output of
        its own; not started yet. The case ends it, or kills it when the case fails."""
        return brisvane_session(self.program_path, self.folder, self.desktop, output="out-second-copy.txt")

    def start(self, arguments=()):
        # The dialogs start in the folder the program was started in.
        self.program = subprocess.Popen([self.program_path, *arguments], cwd=self.work, env=self.environment,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        def shown_window():
            if self.program.poll() is not None:
                fail(f"the program ended with status {self.program.returncode} before its window showed")
            return self.visible_window("Brisvane", self.program.pid)
        self.window = wait_for(shown_window, "the main window")
        # A window manager moves the window once more after showing it: clicks go to where it stays.
        self.settled_geometry()
        self.activate()

    def activate(self):
        """Raises the main window and gives it the keyboard."""
        self.run("xdotool", "windowraise", self.window)
        self.run("xdotool", "windowactivate", "--sync", self.window)
        self.run("xdotool", "windowfocus", "--sync", self.window)

    def bring_to_front(self):
        """Raises the main window over another program's and gives it the keyboard; returns once the
        pointer, moved over the window's middle, is over it and the keys go to it."""
        self.activate()
        left, top, width, height = self.window_geometry()
        self.run("xdotool", "mousemove", "--sync", str(left + width // 2), str(top + height // 2))
        on_top = f"WINDOW={int(self.top_level_window(), 16)}"
        wait_for(lambda: on_top in self.run("xdotool", "getmouselocation", "--shell").split(), "the main window on top")
        wait_for(lambda: self.run("xdotool", "getwindowfocus").split() == [self.window], "the main window to have the keyboard")

    def top_level_window(self):
        """The window among the root window's children that holds the main window: the main window
        itself on the bare server, the frame that a window manager gave it otherwise (hex)."""
        window = hex(int(self.window))
        while True:
            tree = self.run("xwininfo", "-id", window, "-tree")
            root, parent = (re.search(label + r" window id: (0x[0-9a-f]+)", tree) for label in ("Root", "Parent"))
            if not root or not parent:
                fail(f"the window {window} is not on the screen")
            if parent.group(1) == root.group(1):
                return window
            window = parent.group(1)

    def end(self):
        """Ends the program as the desktop ends a session; fails unless it ends cleanly."""
        self.program.send_signal(signal.SIGTERM)
        try:
            status = self.program.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            self.program.kill()
            self.program.wait()
            status = "no exit"
        if status != 0:
            fail(f"the program ended with status {status}")

    def restart(self, arguments=()):
        self.end()
        self.start(arguments)

    def use_link_openers(self, xdg_open, sensible_browser):
        """Puts stand-ins for the web-page openers first on the program's path, each running its
        shell commands, for the program started next."""
        folder = os.path.join(self.folder, "bin")
        os.makedirs(folder, exist_ok=True)
        for opener, commands in (("xdg-open", xdg_open), ("sensible-browser", sensible_browser)):
            path = os.path.join(folder, opener)
            with open(path, "w") as script:
                script.write(f"#!/bin/sh\n{commands}\n")
            os.chmod(path, 0o700)
        self.environment["PATH"] = folder + ":" + self.environment.get("PATH", "")

    def restart_with_data(self, name, text):
        """Ends the program, writes a file of its data folder and starts it again."""
        self.end()
        os.makedirs(self.data, exist_ok=True)
        with open(os.path.join(self.data, name), "w") as data:
            data.write(text)
        self.start()

    def kill(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()

    def run(self, *arguments):
        return subprocess.run(arguments, env=self.environment, capture_output=True, text=True).stdout

    def visible_window(self, name, pid=None):
        """A shown window of that name (of that process, when given: the windows of a program that
        just ended may still be listed)."""
        owner = ["--all", "--pid", str(pid)] if pid else []
        windows = self.run("xdotool", "search", "--onlyvisible", *owner, "--name", name).split()
        return windows[0] if windows else None

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "20", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "20", text)

    def click(self, x, y, repeat=1):
        """Clicks the left button at a place on the screen."""
        self.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "--repeat", str(repeat), "--delay",
                 "80", "1")

    def click_in_window(self, x, y, repeat=1):
        """Clicks the left button at a place of the main window's client area."""
        left, top, _, _ = self.window_geometry()
        self.click(left + x, top + y, repeat)

    def window_geometry(self, window=None):
        """The client area of a window on the screen: left, top, width, height (the frame that a
        window manager adds lies outside)."""
        info = self.run("xwininfo", "-id", window or self.window)
        values = [re.search(label + r":\s+(-?\d+)", info)
                  for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        if not all(values):
            fail(f"the window {window or self.window} is not on the screen")
        return tuple(int(value.group(1)) for value in values)

    def settled_geometry(self):
        """The main window's client area once it has stopped moving."""
        last = None
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            geometry = self.window_geometry()
            if geometry == last:
                return geometry
            last = geometry
            time.sleep(0.3)
        fail(f"the main window keeps moving ({last})")

    def screenshot(self):
        path = os.path.join(self.folder, "screen.png")
        subprocess.run(["import", "-window", "root", path], env=self.environment, check=True)
        with Image.open(path) as image:
            return image.convert("RGB")

    def window_shot(self):
        """The main window's client area as the screen shows it. What a window manager shows around
        it (icewm's task bar with its clock and load meters) changes by itself: comparisons of what
        the program drew look at this part alone."""
        left, top, width, height = self.window_geometry()
        return self.screenshot().crop((left, top, left + width, top + height))

    def wait_until_changed(self, before, what, area=None):
        """Waits until the window's client area (as `window_shot` takes it), or the rectangle `area`
        of it, differs from `before`, a window shot taken earlier."""
        def part(image):
            return image.crop(area) if area else image
        wait_for(lambda: ImageChops.difference(part(before), part(self.window_shot())).getbbox(), what)

    def wait_until_restored(self, before, what, timeout=TIMEOUT):
        """Waits until the window's client area is `before` again, pixel for pixel."""
        wait_for(lambda: not ImageChops.difference(before, self.window_shot()).getbbox(), what, timeout)

    def warning_mark(self):
        """The bounding box of the warning mark of a message box shown now (every error box and
        question has one), on the screen; None while there is none."""
        pixels = self.screenshot().load()
        left, top, width, height = self.window_geometry()
        found = [(x, y) for y in range(top, top + height, 2) for x in range(left, left + width, 2)
                 if pixels[x, y] == WARNING_MARK]
        if len(found) < 20:
            return None
        xs, ys = [x for x, _ in found], [y for _, y in found]
        return min(xs), min(ys), max(xs), max(ys)

    def file(self, name):
        return os.path.join(self.work, name)

    def data_text(self, name):
        """The text of a file in the program's data folder; empty while there is none."""
        path = os.path.join(self.data, name)
        if not os.path.exists(path):
            return ""
        with open(path) as data:
            return data.read()

    def errors(self):
        """The messages of the error boxes shown so far, by every start in this folder (a line of the
        output may begin with another program message)."""
        return ["Error: " + message for message in re.findall(r"Error: (.*)", self.output_tail(400))]

    def expect_errors(self, count):
        """Waits for the error boxes told so far, checks that no more follow, and gives the last."""
        wait_for(lambda: len(self.errors()) >= count, f"{count} error boxes")
        time.sleep(1.0)
        told = self.errors()
        if len(told) != count:
            fail(f"{len(told)} error boxes, not {count}: {told}")
        return told[-1] if told else None

    def output_tail(self, lines=20):
        self.log.flush()
        with open(self.output) as log:
            return "".join(log.readlines()[-lines:])


def run_case(case, program, desktop):
    folder = tempfile.mkdtemp(prefix="brisvane_x_")
    session = None
    try:
        session = brisvane_session(program, folder, desktop)
        session.start()
        case(session)
        session.end()
        return True
    except case_failure as failure:
        print(f"failed: {case.__name__}: {failure}")
        if session:
            print("last lines of the program's output:\n" + session.output_tail())
        return False
    finally:
        if session:
            session.kill()
            session.log.close()
        shutil.rmtree(folder, ignore_errors=True)


def on_a_session_bus_of_its_own():
    """Runs the script again under a D-Bus session bus of its own (dbus-run-session), unless it runs
    there already: what the program finds on the bus, the script put there. Skips without it."""
    mark = "BRISVANE_PRIVATE_SESSION_BUS"
    if os.environ.get(mark):
        return
    if not shutil.which("dbus-run-session"):
        skip("dbus-run-session is not installed (scripts/setup installs dbus-daemon)")
    os.environ[mark] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)


def start_stand_in(script, *arguments):
    """Starts a stand-in service of tests/host (stand_in_portal.py, stand_in_screen_saver.py) on
    the session bus, with a record file and its arguments; gives the record file's path once the
    service is on the bus. It ends with the bus."""
    folder = tempfile.mkdtemp(prefix="brisvane_stand_in_")
    record, ready = os.path.join(folder, "record.jsonl"), os.path.join(folder, "ready")
    here = os.path.dirname(os.path.abspath(__file__))
    subprocess.Popen([sys.executable, os.path.join(here, script), record, ready, *arguments])
    wait_for(lambda: os.path.exists(ready), f"{script} on the session bus")
    return record


def records(path):
    """The JSON lines a stand-in recorded, in order."""
    if not os.path.exists(path):
        return []
    with open(path) as record:
        return [json.loads(line) for line in record if line.strip()]


def window_manager_named(arguments):
    """The window manager that `--window-manager[=NAME]` asks for (openbox when no name is given),
    or None."""
    for argument in arguments:
        if argument == "--window-manager":
            return "openbox"
        if argument.startswith("--window-manager="):
            return argument.partition("=")[2]
    return None


def run_cases(*cases):
    """Runs each case with a new program on one X desktop; exits with the outcome."""
    arguments = sys.argv[1:]
    window_manager = window_manager_named(arguments)
    programs = [argument for argument in arguments if not argument.startswith("--")]
    if len(programs) != 1 or window_manager not in (None, "openbox", "icewm"):
        print(f"usage: {sys.argv[0]} PATH_TO_BRISVANE [--window-manager[=openbox|icewm]]")
        sys.exit(2)
    needed = ["Xvfb", "xdotool", "xwininfo", "import"] + ([window_manager] if window_manager else [])
    for tool in needed:
        if not shutil.which(tool):
            skip(f"{tool} is not installed (scripts/setup installs it)")
    folder = tempfile.mkdtemp(prefix="brisvane_desktop_")
    desktop = x_desktop(folder, window_manager)
    try:
        failed = [case.__name__ for case in cases if not run_case(case, programs[0], desktop)]
    finally:
        desktop.close()
        shutil.rmtree(folder, ignore_errors=True)
    where = f"under {window_manager}" if window_manager else "on the bare X server"
    if failed:
        print(f"failed {where}: {', '.join(failed)}")
        sys.exit(1)
    print(f"every case passed {where}")


try:
    from PIL import Image, ImageChops
except ImportError:
    skip("Pillow is not installed (scripts/setup installs python3-pil)")
