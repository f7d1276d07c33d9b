#!/usr/bin/env python3
"""The letter table against the script that makes it and against Unicode itself.

  letter_folds_test.py SCRIPT TABLE

The script, run again into a temporary file, writes the committed table byte for byte; and
every Latin letter of the table that has a compatibility decomposition folds to the ASCII
letters of that decomposition, read here from unicodedata directly. Skipped (exit 77) under
a Python whose Unicode version is not the table's.
"""
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

ROW = re.compile(r'^\s*\{0x([0-9A-F]{4,6}), LetterClass::(\w+), "([^"]*)", ([^,]+), (\w+)\},')


def main():
    script, table = sys.argv[1], sys.argv[2]
    with open(table, encoding="utf-8") as f:
        committed = f.read()
    version = re.search(r'kLetterFoldsUnicodeVersion\[\] = "([0-9.]+)"', committed).group(1)
    if unicodedata.unidata_version != version:
        print("SKIPPED: this Python has Unicode %s, the table was made from %s"
              % (unicodedata.unidata_version, version))
        return 77
    failures = []

    with tempfile.TemporaryDirectory() as folder:
        fresh = os.path.join(folder, "letter_folds.inc")
        subprocess.run([sys.executable, script, "--output", fresh], check=True,
                       stdout=subprocess.DEVNULL)
        with open(fresh, encoding="utf-8") as f:
            regenerated = f.read()
    if regenerated != committed:
        old, new = committed.splitlines(), regenerated.splitlines()
        first = next((i for i, (a, b) in enumerate(zip(old, new)) if a != b),
                     min(len(old), len(new)))
        failures.append("the committed table is not what %s writes (line %d: %r, written: %r);"
                        " run it again" % (script, first + 1, old[first:first + 1],
                                           new[first:first + 1]))

    rows = {}
    for line in committed.splitlines():
        match = ROW.match(line)
        if match:
            rows[int(match.group(1), 16)] = (match.group(2), match.group(3))
    checked = 0
    for cp, (cls, letters) in sorted(rows.items()):
        c = chr(cp)
        if not re.match("(FULLWIDTH )?LATIN ", unicodedata.name(c, "")) or cls != "kFoldedLetter":
            continue
        nfkd = unicodedata.normalize("NFKD", c)
        if nfkd == c:
            continue
        expected = ""
        for part in nfkd:
            if unicodedata.category(part)[0] == "M" or unicodedata.category(part) == "Lm":
                continue
            if part == "\u00b7":  # the middle dot of the Catalan L
                continue
            if part.isascii() and part.isalpha():
                expected += part.lower()
            elif ord(part) in rows:  # a letter of its own row (ae of ae-macron)
                expected += rows[ord(part)][1]
            else:
                expected = None
                break
        checked += 1
        if expected != letters:
            failures.append("U+%04X %s folds to %r, its decomposition %r gives %r"
                            % (cp, unicodedata.name(c), letters, nfkd, expected))
    for failure in failures:
        print(failure)
    print("%d Latin letters with a decomposition checked, %d failures" % (checked, len(failures)))
    return 1 if failures or checked < 500 else 0


if __name__ == "__main__":
    sys.exit(main())
