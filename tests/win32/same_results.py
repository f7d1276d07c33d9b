#!/usr/bin/env python3
"""Runs the same searches with the Linux tessik-cli and with tessik-cli.exe under Wine over
one tree of text files, and reports every way in which their results differ (a tool for
scripts/build-windows.sh and scripts/test.sh; CTest cannot run it, since the cross-build
has no Linux program).

  same_results.py --linux-cli PATH --windows-cli PATH.exe [--wine WINE] [--keep] [--show N]
                  [--threads N]

The caller sets up Wine (WINEPREFIX and the rest, see scripts/lib/wine-env.sh); the script runs
`WINE PATH.exe ...` itself. It compares, search by search, the standard output lines, the
standard error text (message texts and the final status line), the exit status and the
bytes of the log that --log writes. It forgives only what the two platforms legitimately
do differently, and only where they do it:

- Paths. The Windows program is given the tree as a Windows user types it, Z:\\ and
  backslashes (Wine's drive Z: is the host's root), and adds '\\' after a subdirectory
  where Linux adds '/'. Path lines (listing and expression results, the log's paths) are
  brought back to one form before they are compared; nothing else is.
- Order. Each platform lists a directory in its own order (Wine sorts names without regard
  to case, Linux's is whatever the file system gives), so the result lines of a search are
  compared as a multiset of per-file groups: the number of lines is exact, and the lines of
  one file stay together and in file order. The log's result section is compared the same
  way; its header and everything after the results are compared byte for byte.
- Line ends. The Windows console ends lines with CR LF: one CR before each LF is dropped
  from standard output and standard error only. The log has line ends of its own and must
  match byte for byte.

Exit status 0 when every search agrees ("N searches, 0 differences"), 1 after printing the
first differences, 2 for a usage or set-up error.
"""
import argparse
import collections
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

# A run that has not ended after this long has hung; no search here takes a second.
HANG_SECONDS = 300

# ---- the tree --------------------------------------------------------------------------------
#
# File names keep to what both platforms match alike with the patterns used below (*.txt,
# *.*, a?c.txt, a name without wild cards). Windows also matches the generated 8.3 short
# names, so no name has an extension that merely begins with "txt" (its short name would
# end in .TXT), and no pattern puts '?' before a dot or the end of the name, where Windows
# lets it match nothing; "*." is not used, since Windows and Wine read it differently.
# The first 14 characters of every file name differ, so each file has its own display name
# in the word results and its lines form one group.

RECORDS = [
    ("Catherine", "Moore", "12 Elm Street", "Leeds", "1961"),
    ("Katherine", "Hale", "4 Mill Lane", "York", "1974"),
    ("Kathryn", "Osborne", "88 Quay Road", "Hull", "1958"),
    ("Michel", "Laurent", "3 Rue Haute", "Lille", "1949"),
    ("Mitchell", "Grant", "17 Harbour View", "Whitby", "1982"),
    ("Xenia", "Petrova", "9 Birch Close", "Durham", "1990"),
    ("Ksenia", "Volkova", "21 Station Road", "Selby", "1987"),
    ("Kathleen", "Fisher", "2 Abbey Walk", "Ripon", "1966"),
    ("Michael", "Shaw", "40 Kings Road", "Malton", "1971"),
    ("Zenia", "Brooks", "6 Orchard Way", "Thirsk", "1993"),
]

FILLER = ("the ledger was copied from the parish register and checked against the census "
          "returns for each household in the district ")


def record_line(i, rec):
    first, last, street, town, year = rec
    return "%04d; %s %s; %s; %s; born %s" % (i, first, last, street, town, year)


def lines_bytes(lines, eol):
    return "".join(line + eol for line in lines).encode("ascii")


def big_file():
    """More than 64 KB of CR LF records, a name split by the first 64 KB read, and a last
    name with no byte after it."""
    out = bytearray()
    i = 0
    while len(out) < 65536 - 200:
        out += (record_line(i, RECORDS[i % len(RECORDS)]) + "\r\n").encode()
        i += 1
    # Neutral words up to a few bytes before the read boundary, then a name across it.
    while len(out) < 65536 - 4 - 6:
        out += b"zz "
    out += b" " * (65536 - 4 - len(out))
    out += b"Katherine Mitchell\r\n"
    while len(out) < 100000:
        out += (record_line(i, RECORDS[i % len(RECORDS)]) + "\r\n").encode()
        i += 1
    out += b"last entry Xenia"
    return bytes(out)


def roster_file():
    """Exactly 400 bytes with Catherine first: its percentage, 9 * 100 / 400 = 2.25, is a
    tie at one decimal that both programs must round alike."""
    body = b"Catherine Moore, Kathryn Osborne and Ksenia Volkova signed the roster.\n"
    body += b"y" * (400 - len(body) - 1) + b"\n"
    assert len(body) == 400
    return body


def long_line_file():
    """One line of more than 255 characters with names near its start and past its 255th."""
    line = "Kathryn wrote: " + FILLER * 3 + "signed Mitchell and Catherine"
    assert len(line) > 255 and line.index("Mitchell") > 255
    return lines_bytes(["header line", line, "Xenia"], "\n")


def gedcom(charset, lines, eol):
    """A GEDCOM file: its header naming `charset`, a family's records, and `lines` (bytes)."""
    head = [b"0 HEAD", b"1 CHAR " + charset.encode(), b"0 @I1@ INDI"]
    return eol.join(head + lines + [b"0 TRLR", b""])


def archive(entries):
    """A zip archive of (name, text) entries, deflated, as bytes."""
    path = tempfile.mktemp(suffix=".zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in entries:
            z.writestr(name, text)
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data


W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'
T = 'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
O = 'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'


def record_files():
    """GEDCOM files in three character sets and three line ends, and a document of each kind,
    with names cut by CONC lines and by runs; one document is broken and refused."""
    words = lambda *runs: "<w:p>" + "".join("<w:r><w:t>%s</w:t></w:r>" % r for r in runs) + "</w:p>"
    return {
        "Genealogy/ansel-family.ged": gedcom("ANSEL", [
            b"1 NAME Hans /M\xe8uller/", b"1 NOTE Letters of the Sch", b"2 CONC midt family",
            b"2 CONT from \xa1\xe2od\xe6z to \xa2rsted"], b"\r\n"),
        "Genealogy/unicode-family.ged": (
            "\ufeff0 HEAD\n1 CHAR UNICODE\n0 @I7@ INDI\n1 NAME Katharina /M\u00fcller/\n"
            "1 NOTE Kse\n2 CONC nia\n0 TRLR\n").encode("utf-16-le"),
        "Genealogy/mac-family.ged": gedcom("MACINTOSH", [b"1 NAME Mich\x8el /M\x9fller/"], b"\r"),
        "Genealogy/letter-word.docx": archive([
            ("[Content_Types].xml", "<Types/>"),
            ("word/document.xml", "<w:document %s><w:body>%s%s</w:body></w:document>" % (
                W, words("Dear Mrs M\u00fcl", "ler,"), words("Catherine ", "Schmi", "dt"))),
            ("word/footer1.xml", "<w:ftr %s>%s</w:ftr>" % (W, words("Mitchell and Sons")))]),
        "Genealogy/minutes-odf.odt": archive([
            ("mimetype", "application/vnd.oasis.opendocument.text"),
            ("content.xml", "<office:document-content %s %s><text:h>Minutes</text:h>"
             "<text:p>Mr <text:span>Ksen</text:span>ia M\u00fcller</text:p>"
             "</office:document-content>" % (T, O))]),
        "Genealogy/register-book.epub": archive([
            ("mimetype", "application/epub+zip"),
            ("META-INF/container.xml", '<container><rootfiles><rootfile full-path="OPS/p.opf"/>'
             "</rootfiles></container>"),
            ("OPS/p.opf", '<package><manifest><item id="a" href="a.xhtml" '
             'media-type="application/xhtml+xml"/><item id="b" href="b.xhtml" '
             'media-type="application/xhtml+xml"/></manifest><spine><itemref idref="b"/>'
             '<itemref idref="a"/></spine></package>'),
            ("OPS/a.xhtml", '<html xmlns="http://www.w3.org/1999/xhtml"><body><p>Mitchell '
             "M<i>\u00fc</i>ller</p></body></html>"),
            ("OPS/b.xhtml", '<html xmlns="http://www.w3.org/1999/xhtml"><body><h1>Kathryn</h1>'
             "<p>Xenia&amp;Schmidt</p></body></html>")]),
        "Genealogy/broken-letter.docx": b"PK\x03\x04 this archive was cut short",
    }


def build_tree(root):
    """Writes the tree; returns the length of its longest path."""
    files = {
        "Records.txt": lines_bytes(["Parish roll, transcribed"] +
                                   [record_line(i, r) for i, r in enumerate(RECORDS)], "\r\n"),
        "roster.txt": roster_file(),
        "notes.TXT": lines_bytes(["Call Michel about the deeds.", "Xenia has the keys.",
                                  "MITCHELL & Sons, solicitors"], "\n"),
        "readme.md": lines_bytes(["Catherine's notes live in the .txt files."], "\n"),
        "CHANGES": lines_bytes(["Kathryn: added the 1998 letters"], "\n"),
        ".hidden.txt": lines_bytes(["Ksenia (private)"], "\n"),
        "abc.txt": lines_bytes(["Mitchell"], "\n"),
        "aXc.txt": lines_bytes(["Ksenia Xenia"], "\r\n"),
        "ac.txt": lines_bytes(["Catherine"], "\n"),
        "abbc.txt": lines_bytes(["Michel"], "\n"),
        "empty.txt": b"",
        "plain.txt": lines_bytes(["The quick brown fox jumps over the lazy dog."], "\n"),
        "big-export.txt": big_file(),
        "longline.txt": long_line_file(),
        "x.txt/inside-x.txt": lines_bytes(["Kathryn kept this one inside x.txt"], "\n"),
        "x.txt/Nested/nested-note.txt": lines_bytes(["Michel, Mitchell, Michael"], "\r\n"),
        "Letters/Letter to Kathryn.txt": lines_bytes(
            ["Dear Kathryn,", "Catherine and Katherine send their love.", "Yours, Michel"],
            "\r\n"),
        "Letters/old/1998/draft-1998.txt": lines_bytes(["Ksenia? Xenia? Zenia?"], "\n"),
        "Letters/old/unsent.txt": lines_bytes(["nothing here to find"], "\n"),
        "letters_B/Kathy.txt": lines_bytes(["Katharine, Cathryn and Kathrin"], "\n"),
        "ARCHIVE/Contacts/Deep/Deeper/deepest.txt": lines_bytes(
            [record_line(i, r) for i, r in enumerate(RECORDS[:5])], "\r\n"),
        "ARCHIVE/Contacts/list.md": lines_bytes(["Mitchell"], "\n"),
        "ARCHIVE/Contacts/contacts.txt": lines_bytes(["Xenia", "Catherine"], "\n"),
        "alpha/Beta/beta-notes.txt": lines_bytes(["Katherine"], "\n"),
        # Names outside Windows-1252, the code page Wine gives a program by default: the
        # Windows program takes UTF-8 as its code page, and lists, opens and prints them
        # as Linux does.
        "\u041a\u0441\u0435\u043d\u0438\u044f.txt":
            lines_bytes(["Ksenia Ivanova wrote to Xenia"], "\n"),
        "\u65e5\u672c.txt": lines_bytes(["Catherine stayed in Kyoto"], "\r\n"),
        "r\u00e9sum\u00e9 \u00e9t\u00e9.txt": lines_bytes(["Mitchell, summer notes"], "\n"),
        # Names as they are written today, for --encoding=auto: UTF-8 with and without its
        # mark, UTF-16 both ways, and Windows-1252 (a Latin-1 file).
        "Encodings/utf8-names.txt": "".join(
            line + "\n" for line in
            ["M\u00fcller, \u00d8rsted, Strau\u00df", "\u0418\u0432\u0430\u043d\u043e\u0432",
             "\u0399\u03c9\u03ac\u03bd\u03bd\u03b7\u03c2 Zajac"]).encode(),
        "Encodings/utf8-marked.txt": b"\xef\xbb\xbf" + "Mueller M\u00fcller\n".encode(),
        "Encodings/utf16le-name.txt": "\ufeffM\u00fcller Sajac\r\n".encode("utf-16-le"),
        "Encodings/utf16be-name.txt": "\ufeff\u0418\u0432\u0430\u043d\u043e\u0432\n".encode(
            "utf-16-be"),
        "Encodings/cp1252-names.txt": "M\u00fcller and \u0160imon\r\n".encode("cp1252"),
        # More result lines than the result list holds (61440) and over a megabyte of
        # output; only its own search reads it (*.* lists it, and it holds no other name).
        "bulk-export.log": b"Xenia\n" * 65000,
    }
    files.update(record_files())
    shown = {}
    for rel, data in files.items():
        name = rel.rsplit("/", 1)[-1]
        key = name[:14]
        assert key not in shown, "display names %s and %s are alike" % (shown[key], rel)
        shown[key] = rel
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(root, "alpha", "Empty"))
    # A file that cannot be opened: both programs must pass over it and report it. Only
    # the searches over *.* see it, so the others keep their "found in N files" texts.
    os.mkfifo(os.path.join(root, "queue.fifo"))
    return max(len(os.path.join(root, rel)) for rel in files)


# ---- the searches ----------------------------------------------------------------------------
#
# Each search: a name, the folder below the tree and the pattern of SPEC, whether -s is
# given, the query words, the exit status both programs must give, and whether standard
# output must hold lines (so that two programs that both fail cannot agree by accident).
# `form` says how the Windows program is given the tree: "drive" (Z:\...), "slash" (the
# host path with '/', as Wine also accepts) or "relative" (SPEC without any folder, run in
# the tree). `log` names a folder below the logs' folder for the log (one that does not
# exist, to see the log refused alike).
#
# A folder is named with its own case: Windows finds LETTERS\ as Letters\, Linux does not,
# and that is the file system's own difference.

Search = collections.namedtuple("Search",
                                "name folder pattern subdirs query status lines form log options")


def S(name, folder, pattern, subdirs, query, status=0, lines=True, form="drive", log="",
      options=()):
    """`query` is split at blanks into words, or given as a list of arguments as they are;
    `options` go before the others."""
    words = query.split() if isinstance(query, str) else query
    return Search(name, folder, pattern, subdirs, words, status, lines, form, log,
                  list(options))


SEARCHES = [
    S("listing *.txt", "", "*.txt", False, ""),
    S("listing *.txt with subdirectories", "", "*.txt", True, ""),
    S("listing *.* with subdirectories", "", "*.*", True, ""),
    S("listing *.*", "", "*.*", False, ""),
    S("listing a?c.txt", "", "a?c.txt", False, ""),
    S("listing one named file", "", "Records.txt", False, ""),
    S("listing a subfolder with subdirectories", "Letters", "*.txt", True, ""),
    S("listing a directory named like a file", "", "x.txt", False, "", 0, False),
    S("listing readme.*", "", "readme.*", False, ""),
    S("listing a folder with no pattern", "", "", True, "", 0, False),
    S("word Catherine with subdirectories", "", "*.txt", True, "Catherine"),
    S("word Katherine", "", "*.txt", False, "Katherine"),
    # The FIFO of the tree cannot be opened: a search that meets it has left it out (3).
    S("word kathryn over *.*", "", "*.*", True, "kathryn", 3),
    S("word Michel", "", "*.txt", True, "Michel"),
    S("word Mitchell", "", "*.txt", True, "Mitchell"),
    S("word Xenia", "", "*.txt", True, "Xenia"),
    S("word Ksenia", "", "*.txt", False, "Ksenia"),
    S("word across the read boundary", "", "big-export.txt", False, "Katherine"),
    S("word in a long line", "", "longline.txt", False, "Mitchell"),
    S("word beyond the result list", "", "bulk-export.log", False, "Ksenia", 3),
    S("Catherine A Mitchell", "", "*.txt", True, "Catherine A Mitchell"),
    S("Kathryn O Xenia", "", "*.txt", True, "Kathryn O Xenia"),
    S("Catherine N Ksenia", "", "*.txt", True, "Catherine N Ksenia"),
    S("Michel X Xenia", "", "*.txt", True, "Michel X Xenia"),
    S("N Catherine", "", "*.txt", True, "N Catherine"),
    S("two words joined by OR", "", "*.*", True, "catherine michel", 3),
    S("lower-case operators", "", "*.txt", True, "xenia a ksenia o michel"),
    S("no match without subdirectories", "", "*.xyz", False, "Catherine", 1, False),
    S("no match listing without subdirectories", "", "*.xyz", False, "", 1, False),
    S("no match with subdirectories", "", "*.xyz", True, "Catherine", 0, False),
    S("missing folder with subdirectories", "missing", "*.txt", True, "", 1, False),
    S("missing folder with subdirectories, word", "missing", "*.txt", True, "Xenia", 1, False),
    S("missing folder", "missing", "*.txt", False, "Xenia", 1, False),
    S("query as one argument with blanks", "", "*.txt", True, ["  Catherine   A  Mitchell "]),
    S("refused: digit", "", "*.txt", True, "Kathryn2", 1, False),
    S("refused: wild card", "", "*.txt", True, "Kath*", 1, False),
    S("refused: operator at the end", "", "*.txt", True, "Catherine A", 1, False),
    S("refused: two operators", "", "*.txt", True, "Catherine A N Xenia", 1, False),
    S("refused: a tab", "", "*.txt", True, ["Kathryn\tXenia"], 1, False),
    S("log into a missing folder", "", "*.txt", True, "Xenia", 1, True, log="missing"),
    S("slash form, listing with subdirectories", "", "*.txt", True, "", form="slash"),
    S("slash form, word with subdirectories", "ARCHIVE", "*.txt", True, "Catherine",
      form="slash"),
    S("relative SPEC with subdirectories", "", "*.txt", True, "Xenia O Kathryn",
      form="relative"),
    S("Daitch-Mokotoff word", "Encodings", "*.txt", False, "Zajac", options=["--method=dm"]),
    S("today's encodings, a word", "Encodings", "*.txt", False, "Muller",
      options=["--encoding=auto"]),
    S("today's encodings, a Cyrillic query", "Encodings", "*.txt", False,
      "\u0418\u0432\u0430\u043d\u043e\u0432", options=["--encoding=auto"]),
    S("today's encodings, an expression", "Encodings", "*.txt", False, "Ioannis O Simon",
      options=["--encoding=auto", "--method=dm"]),
    S("today's encodings off, the same word", "Encodings", "*.txt", False, "Muller"),
    # GEDCOM files and documents; the broken document is refused alike (3).
    S("records and documents, a word", "Genealogy", "*.*", False, "Muller", 3,
      options=["--records"]),
    S("records and documents, a word cut by CONC and by runs", "Genealogy", "*.*", False,
      "Schmidt", 3, options=["--records"]),
    S("records and documents, an expression", "Genealogy", "*.*", False,
      "Ksenia A Muller", 3, options=["--records"]),
    S("records and documents, with today's encodings", "Genealogy", "*.ged", False, "Muller",
      options=["--records", "--encoding=auto"]),
    S("records and documents off, the same word", "Genealogy", "*.*", False, "Muller", 0,
      False),
]


# ---- running ---------------------------------------------------------------------------------

class Platform:
    """How one program is run and how its paths are brought to the common form."""

    def __init__(self, label, command, windows):
        self.label = label
        self.command = command
        self.windows = windows

    def spec(self, tree, search):
        if search.form == "relative":
            return search.pattern
        folder = tree if not search.folder else os.path.join(tree, search.folder)
        if not self.windows or search.form == "slash":
            return folder + "/" + search.pattern
        return "Z:" + folder.replace("/", "\\") + "\\" + search.pattern

    def host_path(self, path):
        return "Z:" + path.replace("/", "\\") if self.windows else path

    def wrong_separator(self, path, search):
        """True when a path holds the other platform's separator: Windows adds '\\' after
        a subdirectory and the tree is typed with '\\' there, Linux has only '/'."""
        if self.windows:
            return search.form != "slash" and "/" in path
        return "\\" in path

    def common_path(self, path, tree, search):
        """The path as the other platform writes it, with the tree shown as <tree>."""
        if self.windows:
            if search.form == "drive":
                prefix = "Z:" + tree.replace("/", "\\")
            else:
                prefix = tree
            if path.startswith(prefix):
                path = "<tree>" + path[len(prefix):]
            return path.replace("\\", "/")
        return "<tree>" + path[len(tree):] if path.startswith(tree) else path


def run(platform, tree, logs, index, search):
    log_host = os.path.join(logs, search.log, "%02d-%s.log" % (index, platform.label))
    args = list(search.options)
    if search.subdirs:
        args.append("-s")
    args += ["--log", platform.host_path(log_host), platform.spec(tree, search)] + search.query
    argv = platform.command + args
    cwd = tree if search.form == "relative" else logs
    try:
        proc = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=HANG_SECONDS)
    except subprocess.TimeoutExpired as hung:
        return argv, None, hung.stdout or b"", hung.stderr or b"", None
    log = None
    if os.path.exists(log_host):
        with open(log_host, "rb") as f:
            log = f.read()
    return argv, proc.returncode, proc.stdout, proc.stderr, log


# Under load Wine now and then fails to start a program at all: it ends with status 1 before
# any of the program's code runs. tessik-cli always says something on standard output or
# standard error and writes the log it is asked for, so a run with none of these never
# started, and runs once more (at most this many times).
LAUNCH_RETRIES = 2


def never_started(outcome):
    _, status, stdout, stderr, log = outcome
    return status not in (0, None) and not stdout and not stderr and log is None


def console_text(data, windows):
    text = data.decode("latin-1")
    return text.replace("\r\n", "\n") if windows else text


# ---- comparing -------------------------------------------------------------------------------

def groups(lines, file_of):
    """Result lines cut into per-file groups, as a multiset of (file, lines): `file_of`
    names the file of a line, and one file's lines must stand together; without it every
    line is a file of its own."""
    runs = []
    for line in lines:
        key = file_of(line) if file_of else line
        if file_of and runs and runs[-1][0] == key:
            runs[-1][1].append(line)
        else:
            runs.append((key, [line]))
    return collections.Counter((key, tuple(run)) for key, run in runs)


def group_diff(label, linux, windows, limit=30):
    """Text lines showing, file by file, the groups that only one side has."""
    only = {"Linux": linux - windows, "Windows": windows - linux}
    files = sorted({key for side in only.values() for key, _ in side})
    out = []
    for key in files:
        found = {side: [run for (k, run), n in groups.items() if k == key for _ in range(n)]
                 for side, groups in only.items()}
        if len(found["Linux"]) == 1 and len(found["Windows"]) == 1:
            out.append("  %s of %s:" % (label, key))
            diff = difflib.unified_diff(found["Linux"][0], found["Windows"][0], "Linux",
                                        "Windows", n=1, lineterm="")
            out += ["    " + repr(line) if line[:1] in "+- " else "    " + line
                    for line in list(diff)[2:]]
        else:
            for side, runs in found.items():
                for run in runs:
                    out.append("  %s of %s only on %s (%d): %r%s" % (
                        label, key, side, len(run), run[0], " ..." if len(run) > 1 else ""))
    return out[:limit] + (["  ..."] if len(out) > limit else [])


def text_diff(label, linux, windows, limit=20):
    """A unified diff of two texts, each line shown with its line end as Python writes it."""
    diff = difflib.unified_diff(linux.splitlines(keepends=True),
                                windows.splitlines(keepends=True), n=1)
    lines = ["  (- Linux, + Windows)"]
    lines += ["  " + repr(line) if line[:1] in "+- " else "  " + line.rstrip("\n")
              for line in list(diff)[2:]]
    return lines[:limit] + (["  ..."] if len(lines) > limit else [])


def split_log(text):
    """Header, result lines and the rest of a log, or None when it has no such shape. The
    header ends with its line of minus signs; the results end at the first empty line."""
    rule = text.find("\r\n---")
    if rule < 0:
        return None
    start = text.find("\r\n", rule + 2)
    if start < 0:
        return None
    position = start = start + 2
    results = []
    while not text.startswith("\r\n", position):
        end = text.find("\r\n", position)
        if end < 0:
            return None
        results.append(text[position:end])
        position = end + 2
    return text[:start], results, text[position:]


UNOPENED_TITLE = "could not be opened for searching."

# The lines of standard error that name a file the search left out.
LEFT_OUT_FILE = re.compile(
    r"^(tessik-cli: )(.*)(: (?:could not be opened|not searched: .*|refused: .*))$")
# The hint before a search whose SPEC names a folder: the folder, and what to give instead.
FOLDER_HINT = re.compile(r"^(tessik-cli: )(.*)( is a folder; to search the files in it, give ')"
                         r"(.*)(')$")


def common_errors(text, platform, tree, search):
    """Standard error with the paths of its left-out lines and of a folder hint in the common
    form; the left-out lines, which follow the order of each platform's enumeration, sorted
    among themselves."""
    lines = text.split("\n")
    named = []
    others = []
    for line in lines:
        hint = FOLDER_HINT.match(line)
        if hint:
            others.append(hint.group(1) + platform.common_path(hint.group(2), tree, search) +
                          hint.group(3) + platform.common_path(hint.group(4), tree, search) +
                          hint.group(5))
            continue
        match = LEFT_OUT_FILE.match(line)
        if match:
            named.append(match.group(1) + platform.common_path(match.group(2), tree, search) +
                         match.group(3))
        else:
            others.append(line)
    return "\n".join(sorted(named) + others)


def common_log(text, platform, tree, search, word_mode, paths):
    """The log with its paths in the common form, its result lines as per-file groups and
    the lines of its unopened-files section sorted; its paths as written go to `paths`."""
    parts = split_log(text)
    if parts is None:
        return text, collections.Counter(), ""
    header, results, rest = parts
    mapped = []
    for line in results:
        word, sep, path = line.partition("\t\t\t") if word_mode else ("", "", line)
        paths.append(path)
        mapped.append(word + sep + platform.common_path(path, tree, search))
    # Word results group by their path; expression results are one line per file.
    result_groups = groups(mapped, (lambda line: line.partition("\t\t\t")[2])
                           if word_mode else None)
    if UNOPENED_TITLE in rest:
        head, _, tail = rest.partition("-----------------------------------------------\r\n")
        eol = "\r\n" if word_mode else "\n"
        banner = tail.rfind("\r\n*")
        entries = tail[:banner].split(eol) if banner > 0 else []
        entries = [e for e in entries if e]
        paths += entries
        entries = sorted(platform.common_path(e, tree, search) for e in entries)
        rest = head + "".join(e + eol for e in entries) + tail[banner:]
    return header, result_groups, rest


def compare(search, tree, linux, windows, linux_run, windows_run):
    """Differences between the two runs of one search, as printable lines."""
    problems = []
    # One word between blanks is a word search; anything else an expression or a listing.
    word_mode = len([w for w in " ".join(search.query).split(" ") if w]) == 1
    _, l_status, l_out, l_err, l_log = linux_run
    _, w_status, w_out, w_err, w_log = windows_run

    for side, status in (("Linux", l_status), ("Windows", w_status)):
        if status is None:
            problems.append("%s did not end within %d s" % (side, HANG_SECONDS))
    if l_status != w_status:
        problems.append("exit status: Linux %s, Windows %s" % (l_status, w_status))
    if l_status != search.status:
        problems.append("Linux exit status %s, the search expects %d" % (l_status, search.status))

    l_err_text = common_errors(console_text(l_err, False), linux, tree, search)
    w_err_text = common_errors(console_text(w_err, True), windows, tree, search)
    if l_err_text != w_err_text:
        problems.append("standard error:")
        problems += text_diff("stderr", l_err_text, w_err_text)

    l_lines = console_text(l_out, False).split("\n")
    w_lines = console_text(w_out, True).split("\n")
    for side, lines in (("Linux", l_lines), ("Windows", w_lines)):
        if lines[-1] != "":
            problems.append("%s standard output does not end with a line end" % side)
    l_lines, w_lines = l_lines[:-1], w_lines[:-1]
    paths = {"Linux": [] if word_mode else l_lines, "Windows": [] if word_mode else w_lines}
    if not word_mode:
        l_lines = [linux.common_path(line, tree, search) for line in l_lines]
        w_lines = [windows.common_path(line, tree, search) for line in w_lines]
    if search.lines and not l_lines:
        problems.append("Linux printed no result line; the search expects some")
    if len(l_lines) != len(w_lines):
        problems.append("result lines: Linux %d, Windows %d" % (len(l_lines), len(w_lines)))
    # A word result names its file (as shown) in its second field.
    file_of = (lambda line: line.split("\t")[1] if "\t" in line else line) if word_mode \
        else None
    l_groups, w_groups = groups(l_lines, file_of), groups(w_lines, file_of)
    if l_groups != w_groups:
        problems.append("result lines differ (compared per file, in any file order):")
        problems += group_diff("lines", l_groups, w_groups)

    if (l_log is None) != (w_log is None):
        problems.append("log: written by %s only" % ("Linux" if w_log is None else "Windows"))
    elif l_log is not None:
        paths = {side: list(found) for side, found in paths.items()}
        l_header, l_groups, l_rest = common_log(l_log.decode("latin-1"), linux, tree,
                                                search, word_mode, paths["Linux"])
        w_header, w_groups, w_rest = common_log(w_log.decode("latin-1"), windows, tree,
                                                search, word_mode, paths["Windows"])
        if l_header != w_header:
            problems.append("log header:")
            problems += text_diff("log header", l_header, w_header)
        l_count = sum(len(run) * n for (_, run), n in l_groups.items())
        w_count = sum(len(run) * n for (_, run), n in w_groups.items())
        if l_count != w_count:
            problems.append("log result lines: Linux %d, Windows %d" % (l_count, w_count))
        if l_groups != w_groups:
            problems.append("log result lines differ (compared per file, in any file order):")
            problems += group_diff("log lines", l_groups, w_groups)
        if l_rest != w_rest:
            problems.append("log after the results:")
            problems += text_diff("log end", l_rest, w_rest)
    for side, platform in (("Linux", linux), ("Windows", windows)):
        wrong = [path for path in paths[side] if platform.wrong_separator(path, search)]
        if wrong:
            problems.append("%s wrote a path with the other platform's separator: %r"
                            % (side, wrong[0]))
    if search.status == 0 and l_log is None:
        problems.append("Linux wrote no log after a completed search")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--linux-cli", required=True, help="the Linux tessik-cli")
    parser.add_argument("--windows-cli", required=True, help="tessik-cli.exe")
    parser.add_argument("--wine", default="wine", help="the Wine loader (default: wine)")
    parser.add_argument("--keep", action="store_true", help="keep the tree and the logs")
    parser.add_argument("--threads", type=int, default=None,
                        help="the threads both programs read with (-j); their default if not given")
    parser.add_argument("--show", type=int, default=5,
                        help="how many differing searches to print (default 5)")
    options = parser.parse_args()

    for path in (options.linux_cli, options.windows_cli):
        if not os.path.isfile(path):
            print("same_results.py: no such program: %s" % path, file=sys.stderr)
            return 2
    if not os.environ.get("WINEPREFIX"):
        # Without it every Wine call builds and uses ~/.wine.
        print("same_results.py: WINEPREFIX is not set (see scripts/lib/wine-env.sh)",
              file=sys.stderr)
        return 2
    if shutil.which(options.wine) is None:
        print("same_results.py: %s not found" % options.wine, file=sys.stderr)
        return 2

    threads = ["-j", str(options.threads)] if options.threads else []
    linux = Platform("linux", [os.path.abspath(options.linux_cli)] + threads, False)
    windows = Platform("windows", [options.wine, os.path.abspath(options.windows_cli)] + threads,
                       True)

    work = os.path.realpath(tempfile.mkdtemp(prefix="tessik-same-"))
    tree = os.path.join(work, "tree")
    logs = os.path.join(work, "logs")
    os.makedirs(logs)
    longest = build_tree(tree)
    if longest > 200:
        # The programs keep paths to 255 characters, and Windows writes two more (Z:).
        print("same_results.py: the temporary folder's paths are too long (%d characters);"
              " set TMPDIR to a shorter folder" % longest, file=sys.stderr)
        shutil.rmtree(work)
        return 2
    started = time.monotonic()
    failed = []
    relaunched = 0
    try:
        for index, search in enumerate(SEARCHES):
            linux_run = run(linux, tree, logs, index, search)
            windows_run = run(windows, tree, logs, index, search)
            for _ in range(LAUNCH_RETRIES):
                if not never_started(windows_run):
                    break
                relaunched += 1
                windows_run = run(windows, tree, logs, index, search)
            problems = compare(search, tree, linux, windows, linux_run, windows_run)
            if problems:
                failed.append((search, linux_run[0], windows_run[0], problems))
    finally:
        if options.keep or failed:
            print("tree and logs kept in %s" % work, file=sys.stderr)
        else:
            shutil.rmtree(work)

    for search, l_argv, w_argv, problems in failed[:options.show]:
        print("DIFFERENCE in search %r" % search.name)
        print("  Linux:   %s" % " ".join(l_argv))
        print("  Windows: %s" % " ".join(w_argv))
        for line in problems:
            print("  " + line)
        print()
    if len(failed) > options.show:
        print("... and %d more differing searches" % (len(failed) - options.show))
    if relaunched:
        print("Wine did not start tessik-cli.exe %d time(s); those searches ran again" % relaunched)
    print("%d searches, %d differences (%.1f s)" % (len(SEARCHES), len(failed),
                                                   time.monotonic() - started))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
