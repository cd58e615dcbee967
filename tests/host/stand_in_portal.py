#!/usr/bin/python3
"""A stand-in for the desktop portal's file chooser, for the tests: it owns
org.freedesktop.portal.Desktop on the session bus, records every OpenFile and SaveFile request as one
JSON line, and answers as told.

Usage: stand_in_portal.py RECORD_FILE READY_FILE BEHAVIOUR [URI [FILTER_CAPTION]]
BEHAVIOUR: "answer" (the file URI, and the filter caption when given), "cancel", "end" (the request
ends in another way: code 2), "error" (the call fails) or "silent" (the call is never answered).
READY_FILE is made once the name is owned.
"""

import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
CHOOSER = "org.freedesktop.portal.FileChooser"


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


def plain(value):
    """The D-Bus value as JSON takes it; byte arrays (a folder) become text without their zero."""
    if isinstance(value, dbus.Array) and value.signature == "y":
        return bytes(value).rstrip(b"\0").decode("utf-8", "replace")
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(item) for item in value]
    if isinstance(value, dbus.Dictionary):
        return {str(key): plain(item) for key, item in value.items()}
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.String, dbus.ObjectPath)):
        return str(value)
    if isinstance(value, (dbus.UInt32, dbus.Int32, dbus.UInt64, dbus.Int64, dbus.Byte)):
        return int(value)
    return value


class FileChooser(dbus.service.Object):
    def __init__(self, bus, record, behaviour, uri, caption):
        super().__init__(bus, PATH)
        self.bus, self.record, self.behaviour, self.uri, self.caption = bus, record, behaviour, uri, caption

    @dbus.service.method(CHOOSER, in_signature="ssa{sv}", out_signature="o", sender_keyword="sender",
                         async_callbacks=("reply", "error"))
    def OpenFile(self, parent, title, options, sender, reply, error):
        self.serve("OpenFile", parent, title, options, sender, reply, error)

    @dbus.service.method(CHOOSER, in_signature="ssa{sv}", out_signature="o", sender_keyword="sender",
                         async_callbacks=("reply", "error"))
    def SaveFile(self, parent, title, options, sender, reply, error):
        self.serve("SaveFile", parent, title, options, sender, reply, error)

    def serve(self, method, parent, title, options, sender, reply, error):
        with open(self.record, "a") as record:
            record.write(json.dumps({"method": method, "parent": str(parent), "title": str(title),
                                     "options": plain(options)}) + "\n")
        if self.behaviour == "silent":
            return
        if self.behaviour == "error":
            error(dbus.exceptions.DBusException("the stand-in was told to fail",
                                                name="org.freedesktop.portal.Error.Failed"))
            return
        handle = f"{PATH}/request/{sender[1:].replace('.', '_')}/{options['handle_token']}"
        request = Request(self.bus, handle)
        reply(dbus.ObjectPath(handle))
        GLib.idle_add(self.respond, request)

    def respond(self, request):
        if self.behaviour == "cancel":
            request.Response(dbus.UInt32(1), dbus.Dictionary({}, signature="sv"))
        elif self.behaviour == "end":
            request.Response(dbus.UInt32(2), dbus.Dictionary({}, signature="sv"))
        else:
            results = {"uris": dbus.Array([self.uri], signature="s")}
            if self.caption:
                results["current_filter"] = dbus.Struct(
                    (self.caption, dbus.Array([dbus.Struct((dbus.UInt32(0), "*"), signature="us")], signature="(us)")),
                    signature="sa(us)")
            request.Response(dbus.UInt32(0), dbus.Dictionary(results, signature="sv"))
        request.remove_from_connection()
        return False


def serve(name, ready, make_objects):
    """Owns the bus name with the objects that `make_objects(bus)` exports, makes READY_FILE, and
    serves until the bus goes."""
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    objects = make_objects(bus)
    owned = dbus.service.BusName(name, bus, do_not_queue=True)
    open(ready, "w").close()
    loop = GLib.MainLoop()
    bus.add_signal_receiver(loop.quit, signal_name="Disconnected", dbus_interface="org.freedesktop.DBus.Local")
    loop.run()
    del objects, owned


def main():
    record, ready, behaviour = sys.argv[1:4]
    uri = sys.argv[4] if len(sys.argv) > 4 else ""
    caption = sys.argv[5] if len(sys.argv) > 5 else ""
    serve(PORTAL, ready, lambda bus: FileChooser(bus, record, behaviour, uri, caption))


if __name__ == "__main__":
    main()
