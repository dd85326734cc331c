#!/usr/bin/python3
"""The notification at the end of a conversion in the window, seen from the session bus.

Each case runs the real program on a real display (its own Xvfb) and a private session bus with a
small notification service of the test's own, which records the calls it gets and answers as a
desktop's service would: with or without buttons, the user clicking the button or closing the
notification. The service also stands in for the file manager, to see the folder being shown.

Usage: notification_test.py PROGRAM SAMPLE_MOVIE
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def serve(log_path, behaviour):
    """The notification service and file manager, until killed; every call goes to the log."""
    import dbus
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()

    def record(entry):
        with open(log_path, "a") as log:
            log.write(json.dumps(entry) + "\n")

    class Notifications(dbus.service.Object):
        @dbus.service.method("org.freedesktop.Notifications", in_signature="", out_signature="as")
        def GetCapabilities(self):
            record({"call": "GetCapabilities"})
            return ["body", "actions"] if behaviour != "no-buttons" else ["body"]

        @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
        def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
            record({"call": "Notify", "app": str(app), "icon": str(icon), "summary": str(summary),
                    "body": str(body), "actions": [str(a) for a in actions],
                    "hints": {str(k): (bool(v) if isinstance(v, dbus.Boolean) else str(v)) for k, v in hints.items()}})
            if behaviour == "click":
                GLib.timeout_add(300, lambda: self.ActionInvoked(7, "open-folder") and False)
            elif behaviour == "close":
                GLib.timeout_add(300, lambda: self.NotificationClosed(7, 2) and False)
            return 7

        @dbus.service.method("org.freedesktop.Notifications", in_signature="u", out_signature="")
        def CloseNotification(self, notification):
            record({"call": "CloseNotification", "id": int(notification)})

        @dbus.service.method("org.freedesktop.Notifications", in_signature="", out_signature="ssss")
        def GetServerInformation(self):
            return ("test", "pocketmovie", "1", "1.2")

        @dbus.service.signal("org.freedesktop.Notifications", signature="us")
        def ActionInvoked(self, notification, action):
            record({"call": "ActionInvoked"})

        @dbus.service.signal("org.freedesktop.Notifications", signature="uu")
        def NotificationClosed(self, notification, reason):
            record({"call": "NotificationClosed"})

    class FileManager(dbus.service.Object):
        @dbus.service.method("org.freedesktop.FileManager1", in_signature="ass", out_signature="")
        def ShowItems(self, uris, startup):
            record({"call": "ShowItems", "uris": [str(u) for u in uris]})

    names = [dbus.service.BusName("org.freedesktop.FileManager1", bus)]
    FileManager(bus, "/org/freedesktop/FileManager1")
    if behaviour != "absent":
        names.append(dbus.service.BusName("org.freedesktop.Notifications", bus))
        Notifications(bus, "/org/freedesktop/Notifications")
    record({"call": "ready"})
    GLib.MainLoop().run()


def start_display():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as ready:
        number = ready.readline().strip()
    return server, ":" + number


def start_bus(folder):
    config = os.path.join(folder, "bus.conf")
    with open(config, "w") as out:
        out.write(BUS_CONFIG)
    bus = subprocess.Popen(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return bus, bus.stdout.readline().strip()


def read_log(path):
    if not os.path.exists(path):
        return []
    with open(path) as log:
        return [json.loads(line) for line in log if line.strip()]


def convert(program, sample, behaviour, folder, display, language="en_US"):
    """One conversion in the window with the service behaving so; returns the output, the calls."""
    case = os.path.join(folder, behaviour)
    os.makedirs(os.path.join(case, "movies"))
    source = os.path.join(case, "movies", "clip.mov")
    shutil.copy(sample, source)
    bus, address = start_bus(case)
    log = os.path.join(case, "calls.log")
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               HOME=case, XDG_CONFIG_HOME=os.path.join(case, "config"), POCKETMOVIE_BUNDLE=os.path.join(case, "bundle"),
               LANGUAGE=language, LANG=language + ".UTF-8")
    env.pop("LC_ALL", None)
    env.pop("LC_MESSAGES", None)
    env.pop("XDG_RUNTIME_DIR", None)
    service = subprocess.Popen([sys.executable, __file__, "--serve", log, behaviour], env=env)
    try:
        deadline = time.time() + 20
        while not any(c["call"] == "ready" for c in read_log(log)):
            if time.time() > deadline or service.poll() is not None:
                raise SystemExit("FAIL: the notification service did not start")
            time.sleep(0.05)
        # Well within the minute for which a button is answered: a run that waits for one fails here.
        run = subprocess.run([program, "--format", "3gp", source], env=env, timeout=40,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        time.sleep(0.2)  # calls the program made just before it ended
        if run.returncode != 0:
            raise SystemExit("FAIL (%s): exit status %d\n%s" % (behaviour, run.returncode, run.stdout))
        return source + ".3gp", [c for c in read_log(log) if c["call"] != "ready"]
    finally:
        service.kill()
        bus.kill()
        service.wait()
        bus.wait()


def main():
    program, sample = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = []

    def expect(condition, message, calls):
        if not condition:
            failures.append(message + "\n  calls: " + json.dumps(calls))

    folder = tempfile.mkdtemp()
    server, display = start_display()
    try:
        # A service with buttons, and the user clicks "Show in Folder".
        output, calls = convert(program, sample, "click", folder, display)
        notes = [c for c in calls if c["call"] == "Notify"]
        expect(len(notes) == 1, "click: one notification", calls)
        if notes:
            note = notes[0]
            kilobytes = round(os.path.getsize(output) / 1024)
            expect(note["summary"] == "clip.mov.3gp written, %d KB" % kilobytes, "click: the summary", calls)
            expect(note["body"] == os.path.dirname(output), "click: the body names the folder", calls)
            expect(note["app"] == "pocketmovie" and note["hints"].get("desktop-entry") == "pocketmovie",
                   "click: the notification is the program's", calls)
            expect("open-folder" in note["actions"][0::2], "click: a button that opens the folder", calls)
            expect(note["hints"].get("transient") is True, "click: the button is not kept in a history", calls)
        shown = [c for c in calls if c["call"] == "ShowItems"]
        expect(shown and shown[0]["uris"] == ["file://" + output], "click: the file shown in its folder", calls)

        # The user closes the notification: nothing is opened and the program ends at once.
        output, calls = convert(program, sample, "close", folder, display)
        expect([c["call"] for c in calls if c["call"] in ("Notify", "ShowItems", "CloseNotification")] == ["Notify"],
               "close: a notification and nothing after it", calls)

        # A service without buttons gets a notification without one, and nobody waits for an answer;
        # in German here, as the window spoke.
        output, calls = convert(program, sample, "no-buttons", folder, display, "de_DE")
        notes = [c for c in calls if c["call"] == "Notify"]
        expect(len(notes) == 1 and notes[0]["actions"] == [] and notes[0]["hints"].get("transient") is False,
               "no-buttons: one notification without buttons", calls)
        kilobytes = round(os.path.getsize(output) / 1024)
        expect(notes and notes[0]["summary"] == "clip.mov.3gp geschrieben, %d KB" % kilobytes,
               "no-buttons: the summary in German", calls)

        # No notification service on the bus: the movie is written all the same, without a word.
        output, calls = convert(program, sample, "absent", folder, display)
        expect(os.path.getsize(output) > 0 and calls == [], "absent: written, nothing posted", calls)
    finally:
        server.kill()
        server.wait()
        shutil.rmtree(folder, ignore_errors=True)

    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    if failures:
        sys.exit(1)
    print("notifications: posted, answered and left out as the session allows")


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--serve":
        serve(sys.argv[2], sys.argv[3])
    else:
        main()
