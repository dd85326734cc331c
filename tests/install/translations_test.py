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
    # The string table's texts reach the translation tools through the list that names them.
    tables = [source for source in sources if source.endswith(".strings")]
    sources = [source for source in sources if not source.endswith(".strings")]
    table_texts = set()
    for table in tables:
        with open(table, encoding="utf-8") as text:
            table_texts |= set(re.findall(r'^"[^"]+" = "(.*)";$', text.read(), flags=re.M))
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
            listed = set()
            for context in ET.parse(copy).getroot().iter("context"):
                name = context.find("name").text
                if name == "Localizable":
                    listed |= {message.find("source").text for message in context.iter("message")}
                for message in context.iter("message"):
                    source = message.find("source").text or ""
                    translation = message.find("translation")
                    text = translation.text or ""
                    if translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                        failures.append("%s: no translation of %s %r" % (language, name, source))
                    elif sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
                        failures.append("%s: %s %r loses or adds a placeholder: %r" % (language, name, source, text))
            for missing in sorted(table_texts - listed):
                failures.append("%s: the string table's %r is not named for translation" % (language, missing))
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    if failures:
        sys.exit(1)
    print("every text is translated into %d languages" % len(ts_files))


if __name__ == "__main__":
    main()
