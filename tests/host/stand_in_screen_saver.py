#!/usr/bin/python3
"""A stand-in for the desktop's screen saver service, for the tests: it owns org.freedesktop.ScreenSaver
on the session bus, records every call (Inhibit, UnInhibit, SimulateUserActivity) as one JSON line
and grants every inhibition.

Usage: stand_in_screen_saver.py RECORD_FILE READY_FILE
READY_FILE is made once the name is owned.
"""

import json
import sys

import dbus
import dbus.service

from stand_in_portal import serve

NAME = "org.freedesktop.ScreenSaver"
# Programs call the service at either path.
PATHS = ("/org/freedesktop/ScreenSaver", "/ScreenSaver")


class ScreenSaver(dbus.service.Object):
    cookies = 0

    def __init__(self, bus, path, record):
        super().__init__(bus, path)
        self.record = record

    def write(self, method, *arguments):
        with open(self.record, "a") as record:
            record.write(json.dumps({"method": method, "arguments": [str(a) for a in arguments]}) + "\n")

    @dbus.service.method(NAME, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        self.write("Inhibit", application, reason)
        ScreenSaver.cookies += 1
        return dbus.UInt32(ScreenSaver.cookies)

    @dbus.service.method(NAME, in_signature="u")
    def UnInhibit(self, cookie):
        self.write("UnInhibit", cookie)

    @dbus.service.method(NAME)
    def SimulateUserActivity(self):
        self.write("SimulateUserActivity")


def main():
    record, ready = sys.argv[1:3]
    serve(NAME, ready, lambda bus: [ScreenSaver(bus, path, record) for path in PATHS])


if __name__ == "__main__":
    main()
