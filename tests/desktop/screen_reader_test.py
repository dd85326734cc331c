#!/usr/bin/python3
# The window as a screen reader reads it over AT-SPI: a run that failed says why in words it can
# read, every control has a name or a label, and during a conversion the window answers at once,
# reads the progress the screen shows, and stops at a "press" of "Abort". Run inside
# `dbus-run-session`; exits 77 (skipped) where Xvfb, ffmpeg, the AT-SPI bindings or a session bus
# are missing.
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
try:
    import pyatspi
except ImportError:
    sys.exit(SKIPPED)
if not shutil.which("Xvfb") or not shutil.which("ffmpeg") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
    sys.exit(SKIPPED)

program = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def start_display():
    """An Xvfb of this test's own on a free display number, once it accepts connections."""
    for _ in range(10):
        number = random.randrange(200, 900)
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  stderr=subprocess.DEVNULL)
        end = time.time() + 10
        while server.poll() is None and time.time() < end:
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return server, ":%d" % number
            time.sleep(0.1)
        server.kill()
        server.wait()
    sys.exit("no X display could be started")


def controls(node):
    """Every accessible under node, depth first."""
    for child in node:
        if child is None:
            continue
        yield child
        yield from controls(child)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def labels_of(node):
    return [relation.getTarget(0).name for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]


def wait_for(find, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def application():
    # Nothing runs the bindings' event loop here, so what they remember of the desktop is never
    # updated: ask afresh each time.
    pyatspi.Registry.getDesktop(0).clearCache()
    return next((app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "pocketmovie"), None)


with tempfile.TemporaryDirectory() as home:
    server, display = start_display()
    missing = os.path.join(home, "gone.mov")
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, "config"), POCKETMOVIE_BUNDLE=os.path.join(home, "bundle"),
               LANGUAGE="en", LC_ALL="C.UTF-8")  # the names below are the English ones
    os.makedirs(env["POCKETMOVIE_BUNDLE"])
    # The accessibility bus and its registry up first, so the application finds them when it starts.
    pyatspi.Registry.getDesktop(0).childCount
    app_process = subprocess.Popen([program, missing], env=env, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(application)
        check(app is not None, "the application is not on the accessibility bus")
        reason = "no such file: " + missing
        def status_line():
            app.clearCache()
            return next((c for c in controls(app) if c.name == reason), None)
        status = app and wait_for(status_line)
        check(status is not None, "no control reads '%s'" % reason)
        if app is not None:
            everything = list(controls(app))
            by_role = lambda role: [c for c in everything if c.getRoleName() == role]
            fields = {c.name: text_of(c) for c in by_role("text")}
            check(fields == {"Width": "–", "Height": "–", "Frame rate": "12", "Data rate": "64",
                             "Custom size limit in kilobytes": ""},
                  "fields read as %s" % fields)
            sliders = {c.name: c.queryValue().currentValue for c in by_role("slider")}
            check(sliders == {"Frame rate": 12, "Data rate": 64}, "sliders read as %s" % sliders)
            menus = sorted(labels_of(c) for c in by_role("combo box"))
            check(menus == [["Fit into:"], ["Format:"], ["Size:"]], "menus labelled %s" % menus)
            check([c.name for c in by_role("progress bar")] == ["Progress"], "the progress bar has no name")
            buttons = {c.name: c.getState().contains(pyatspi.STATE_ENABLED) for c in by_role("push button")
                       if c.getState().contains(pyatspi.STATE_VISIBLE)}
            check(buttons == {"Settings…": False, "Convert…": True}, "buttons read as %s" % buttons)
            boxes = [c.name for c in by_role("check box")]
            check(boxes == ["For older phones"], "check boxes read as %s" % boxes)
        app_process.terminate()
        app_process.wait(10)

        # A movie long enough to be caught converting, given at launch.
        movie = os.path.join(home, "long.mov")
        subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25",
                        "-t", "120", "-c:v", "mpeg4", "-q:v", "3", movie], check=True)
        app_process = subprocess.Popen([program, "--size", "natural", "--fps", "25", movie], env=env,
                                       stderr=subprocess.DEVNULL)
        app = wait_for(lambda: application() if app_process.poll() is None else None)
        check(app is not None, "the converting application is not on the accessibility bus")
        abort = None
        for _ in range(2):  # each read is answered while the export runs, and matches the screen
            if app is None:
                break
            started = time.time()
            try:
                app.clearCache()
                everything = list(controls(app))
                percent = next(c for c in everything if c.getRoleName() == "label" and c.name.isdigit())
                bar = next(c for c in everything if c.getRoleName() == "progress bar").queryValue()
                before = bar.currentValue / 10
                percent.clearCache()
                shown = int(percent.name)
                after = bar.currentValue / 10
            except Exception as error:  # unanswered: the bindings give up after their own timeout
                check(False, "a read of the converting window failed after %.1f s: %s" % (time.time() - started, error))
                break
            check(time.time() - started < 5, "a read of the window took %.1f s" % (time.time() - started))
            check(before - 1 <= shown <= after + 1, "the bar reads %s to %s, the screen shows %s" % (before, after, shown))
            abort = next((c for c in everything if c.getRoleName() == "push button" and c.name == "Abort"), None)
            time.sleep(0.2)
        check(abort is not None, "no \"Abort\" button while converting")
        if abort is not None:
            abort.queryAction().doAction(0)
            check(app_process.wait(20) is not None, "the press did not end the application")
            written = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
                                      movie + ".mp4"], capture_output=True, text=True).stdout.strip()
            check(written and float(written) < 100, "the aborted movie lasts %s s" % written)
    finally:
        app_process.terminate()
        app_process.wait(10)
        server.terminate()
        server.wait(10)

for failure in failures:
    print("FAILED:", failure)
print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
sys.exit(1 if failures else 0)
