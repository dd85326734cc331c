#!/usr/bin/python3
"""Every text of the program has a German and a Japanese translation that keeps its placeholders.

Runs lupdate over the same sources as the build, into copies of the translation files, so a text
added to the code or the window description without a translation is found here, not by a user.

Usage: translations_test.py LUPDATE TS_FILE... -- SOURCE...
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def main():
    split = sys.argv.index("--")
    lupdate, ts_files, sources = sys.argv[1], sys.argv[2:split], sys.argv[split + 1:]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        copies = []
        for ts in ts_files:
            copy = os.path.join(folder, os.path.basename(ts))
            shutil.copy(ts, copy)
            copies.append(copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete", "-tr-function-alias",
                        "translate+=Tr"] + sources + ["-ts"] + copies, check=True)
        for copy in copies:
            language = os.path.basename(copy)
            for context in ET.parse(copy).getroot().iter("context"):
                name = context.find("name").text
                for message in context.iter("message"):
                    source = message.find("source").text or ""
                    translation = message.find("translation")
                    text = translation.text or ""
                    if translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                        failures.append("%s: no translation of %s %r" % (language, name, source))
                    elif sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
                        failures.append("%s: %s %r loses or adds a placeholder: %r" % (language, name, source, text))
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    if failures:
        sys.exit(1)
    print("every text is translated into %d languages" % len(ts_files))


if __name__ == "__main__":
    main()
