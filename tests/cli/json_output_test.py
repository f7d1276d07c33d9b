#!/usr/bin/env python3
"""tessik-cli --json read with Python's own json module, as a program would read it.

  json_output_test.py PATH/TO/tessik-cli

Standard output must be UTF-8 with one object per line that a strict parser accepts. A
match stands where its path, line, column and byte offset say, its percentage and size are
the result line's, and its variant is the first of the query's spellings with its key; an
expression search and a listing give "file" objects in the order the window lists them;
the summary tells the status line, the messages, the counts, the unopened files and the
exit status. Names that are not UTF-8 come back byte for byte from their base64.
"""
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

CLI = None

FILES = {
    b"notes.txt": b"the Catherine sat\r\nKatherine and Kathryn\n  Catarina\n",
    b"caf\xe9 \xff\xfe.txt": b"\xe9Katrin\xe9 M\xfcller\r\nKathrine\n",  # Latin-1 name and text
    "\u00fcn\u00efcode.txt".encode(): b"Catherine\n",
    b"new\nline \"q\" \\ \x7f.txt": b"a Kathrin\n",
    b"sub/deep.txt": b"x\n" * 3 + b"Kathryn\n",
    b"other.txt": b"nothing here\n",
}


def run(*args):
    p = subprocess.run([CLI] + [os.fsencode(a) if isinstance(a, str) else a for a in args],
                       capture_output=True, timeout=300)
    return p.returncode, p.stdout, p.stderr


def parse(stdout):
    text = stdout.decode("utf-8")  # strict: undecodable output fails here
    assert text.endswith("\n"), text
    return [json.loads(line) for line in text[:-1].split("\n")]


def raw(obj, name="path"):
    """The exact bytes of a text member, from its base64 when it has one."""
    text = obj[name]
    if name + "_base64" not in obj:
        return text.encode("utf-8")
    data = base64.b64decode(obj[name + "_base64"], validate=True)
    assert "\ufffd" in text, obj
    assert text.replace("\ufffd", "") == data.decode("utf-8", "ignore"), obj
    return data


def escape(path):
    """A path as the default output shows it: control bytes as \\xHH."""
    return b"".join(b"\\x%02x" % b if b < 0x20 or b == 0x7F else bytes([b]) for b in path)


def variants(word):
    code, out, _ = run("--explain", word)
    assert code == 0
    return [tuple(line.split("\t")[1:]) for line in out.decode().splitlines()
            if line.startswith("variant\t")]


class JsonOutputTest(unittest.TestCase):
    def setUp(self):
        self.top = tempfile.mkdtemp(prefix="tessik-json-")
        self.root = os.fsencode(self.top) + b"/records/"
        for name, content in FILES.items():
            os.makedirs(os.path.dirname(self.root + name), exist_ok=True)
            with open(self.root + name, "wb") as f:
                f.write(content)
        os.mkfifo(self.root + b"fifo.txt")

    def tearDown(self):
        shutil.rmtree(self.top)

    def check_summary(self, summary, code, stderr, results):
        self.assertEqual(summary["type"], "summary")
        self.assertEqual(summary["exit_status"], code)
        self.assertEqual(summary["results"], results)
        # Standard error: the messages, a line for each thing left out, the status line.
        lines = stderr.decode("utf-8", "replace").split("\n")
        self.assertEqual(summary["status"], lines[-2])

    def test_matches_stand_where_they_say_and_tell_their_variant(self):
        spec = self.root + b"*.txt"
        code, out, err = run("--json", "-s", spec, "Catherine")
        objects = parse(out)
        matches, summary = objects[:-1], objects[-1]
        self.assertEqual(code, 3, err)  # the FIFO could not be opened
        self.check_summary(summary, code, err, len(matches))
        self.assertEqual(summary["unopened"],
                         [{"path": (self.root + b"fifo.txt").decode(),
                           "reason": "could not be opened"}])
        self.assertEqual(summary["files_matched"], 5)
        self.assertEqual(sorted(summary["left_out"].values()), [0] * 6)

        _, lines, _ = run("-s", spec, "Catherine")
        lines = lines.decode("utf-8", "replace").splitlines()
        self.assertEqual(len(lines), len(matches))
        spellings = variants("Catherine")
        for obj, line in zip(matches, lines):
            self.assertEqual(obj["type"], "match")
            path = raw(obj)
            with open(path, "rb") as f:
                content = f.read()
            word, offset = obj["word"].encode(), obj["offset"]
            self.assertEqual(content[offset:offset + len(word)], word, obj)
            self.assertEqual(obj["line"], content[:offset].count(b"\n") + 1, obj)
            self.assertEqual(obj["column"], offset - (content.rfind(b"\n", 0, offset) + 1) + 1)
            fields = line.split("\t")
            self.assertEqual(fields[2], "%d (%.1f%%)" % (obj["line"], obj["percentage"]))
            self.assertEqual(fields[3], "%d K" % obj["size_k"])
            first = next(s for s, k in spellings if k == obj["key"])
            self.assertEqual(obj["variant"], first)

        words = {(os.path.basename(raw(o)), o["word"], o["offset"]) for o in matches}
        self.assertIn((b"caf\xe9 \xff\xfe.txt", "Katrin", 1), words)
        self.assertIn((b"caf\xe9 \xff\xfe.txt", "Kathrine", 17), words)
        self.assertIn(("\u00fcn\u00efcode.txt".encode(), "Catherine", 0), words)
        self.assertIn((b"new\nline \"q\" \\ \x7f.txt", "Kathrin", 2), words)
        self.assertIn((b"deep.txt", "Kathryn", 6), words)
        # A valid UTF-8 name has no base64 beside it.
        for o in matches:
            self.assertEqual("path_base64" in o, b"\xff" in raw(o), o)

    def test_files_of_an_expression_and_a_listing_in_the_windows_order(self):
        for query in (["Catherine", "O", "Kathy"], ["N", "Catherine"], []):
            spec = self.root + b"*.txt"
            code, out, err = run("--json", spec, *query)
            objects = parse(out)
            files, summary = objects[:-1], objects[-1]
            self.assertEqual({o["type"] for o in files}, {"file"} if files else set())
            _, lines, _ = run(spec, *query)
            self.assertEqual([escape(raw(o)) for o in files], lines.splitlines(), query)
            self.check_summary(summary, code, err, len(files))
            self.assertEqual(code, 0 if not query else 3, err)

    def test_a_search_that_a_message_ended_has_the_message_in_its_summary(self):
        for args, message in (
                ([self.root + b"*.txt", "cat2"], "invalid characters"),
                ([self.root + b"*.none", "Catherine"], "No files were found")):
            code, out, err = run("--json", *args)
            objects = parse(out)
            self.assertEqual(len(objects), 1)
            summary = objects[0]
            self.assertEqual(code, 1)
            self.check_summary(summary, code, err, 0)
            self.assertEqual(len(summary["messages"]), 1)
            self.assertIn(message, summary["messages"][0])
            self.assertEqual(err.decode(), summary["messages"][0] + "\n" + summary["status"] + "\n")


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main()
