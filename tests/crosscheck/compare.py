#!/usr/bin/env python3
"""Runs tessik-cli and the independent model tessik_model.py over real and generated trees
with many queries and reports every case in which standard output, standard error, the
exit status or the log bytes differ (a tool, not run by CTest).

  compare.py [--cli PATH] [--quick] [--only SUBSTRING] [--show N] [--seed N]

--quick leaves out the big trees (/usr/include, /usr/share/doc as a whole, the bench
corpus) and the capacity trees.
"""
import argparse
import difflib
import io
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import tessik_model  # noqa: E402

ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))


# ---- generated trees -----------------------------------------------------------------------
def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def filler_to(buf, offset, unit=b"zz "):
    """Pads buf with neutral words so that its length becomes offset."""
    while len(buf) + len(unit) <= offset:
        buf += unit
    buf += b" " * (offset - len(buf))
    return buf


def make_tricky(base):
    t = os.path.join(base, "tricky")
    # Words across read boundaries and a separator as the first byte of a read.
    b = filler_to(b"", 65536 - 4)
    b += b"Catherine Kathryn\n"          # spans 65532..65541
    b = filler_to(b, 131072 - 9)
    b += b"Katherine"                   # ends exactly at 131072: separator starts a read
    b += b"\nzz\n"
    b = filler_to(b, 196608 - 1)
    b += b"Xenia"                       # a single separator byte before the boundary
    write(os.path.join(t, "boundary.txt"), b)
    # A file of exactly one read whose last word ends the file.
    e = filler_to(b"", 65536 - 9) + b"Catherine"
    write(os.path.join(t, "exact64k.txt"), e)
    write(os.path.join(t, "exact64k_nl.txt"), e[:-1] + b"\n")
    write(os.path.join(t, "eof.txt"), b"Michel and Mitchell went home with Catherine")
    write(os.path.join(t, "eof_nl.txt"), b"Michel and Mitchell went home with Catherine\n")
    write(os.path.join(t, "one_word.txt"), b"Psalm")
    write(os.path.join(t, "crlf.txt"),
          b"Catherine\r\nKatharine smith\r\n\r\nSchmidt\rSmith\r\nPhilip Filip\r\n")
    write(os.path.join(t, "high.txt"),
          b"Cath\xe9rine caf\xe9 Kathryn\xa0Ksenia\xff\x80Xenia\x00Zenia \xc3\xa9l\xc3\xa8ne "
          b"Ellen\x7fAllan\x1bEllen\n\xfe\xfe\xfeMichel\xe2\x80\x99s\n")
    write(os.path.join(t, "joiners.txt"),
          b"abc1 x_y 2nd a^b cat`s Kat dog1cat cat_ Catherine9 9Catherine Cath^erine\n"
          b"it's Michel_ Mi`chel `Xenia Xenia` Xenia. ^Psalm Psalm^ Psalm!\n"
          b"4th 1 Catherine Catherine1Catherine Catherine-Catherine\n")
    w70 = b"Catherine" + b"x" * 61
    write(os.path.join(t, "longwords.txt"),
          w70 + b"\n" + b"C" * 62 + b" " + b"K" * 63 + b" " + b"Catherinexxxx " +
          b"Catherinexxx " + b"Catherinexx\n" + b"Psalmodyyyyyyy " + b"a" * 300 + b"\n" +
          b"Schmidtschmidtschmidt " + b"Philipphilipphilip\n")
    write(os.path.join(t, "vowels.txt"),
          b"Ellen Allen alan Elena Ulla uwe Ewa Ava ave Ivy Yvonne oyster ursula Ian\n"
          b"Ohio Idaho aeiou Una Ina yak Yale ya ye Ye eye Ha Wha who Hugh Wu Hai\n"
          b"a e i o u y A E I O U Y an on in Ox ax ex\n")
    write(os.path.join(t, "names.txt"),
          b"Catherine Katherine Kathryn Cathrine Kate Catarina Michel Mitchell Michael\n"
          b"Xenia Ksenia Zenia Schmidt Smith Schmitt Schmied Psalm salm Philip Phillip\n"
          b"Filip Phil Ellen Elena Helen Cecilia Sicily Cyril George Jorge Gerald Jerald\n"
          b"Shaun Sean Sian Chandler Tchaikovsky Nietzsche Marion Mariya Station nation\n"
          b"Joseph Josef Hadji Hajji Hajdu Kasper Casper Kaspar Gaspar Xerxes Zhivago\n"
          b"Gzhel Kshatriya Kseniya Tsar Czar Tzar Knight Night Gnome Nome Wright Right\n"
          b"Science sience excess exess back bak Excellent Schism accept Occident\n"
          b"Phoenix Pharaoh Psyche Psychology Pseudo Ptolemy Pneumonia\n"
          b"Thomas Tomas Theodor Chris Kris Christine Kristine Quentin Kwentin\n")
    write(os.path.join(t, "abcdefghi.txt"), b"Catherine\n")      # 13 characters
    write(os.path.join(t, "abcdefghij.txt"), b"Catherine\n")     # 14 characters
    write(os.path.join(t, "longfilename.txt"), b"Catherine\n")   # 16 characters
    write(os.path.join(t, "empty.txt"), b"")
    write(os.path.join(t, ".hidden.txt"), b"hidden Catherine\n")
    write(os.path.join(t, "readme"), b"readme without extension Michel\n")
    write(os.path.join(t, "README.TXT"), b"upper case name Michel\n")
    write(os.path.join(t, "Readme.md"), b"Markdown Michel\n")
    write(os.path.join(t, "[x].txt"), b"bracket name Xenia\n")
    write(os.path.join(t, "sp ace.txt"), b"space in name Xenia\n")
    write(os.path.join(t, "\xe9t\xe9.txt".encode("latin-1").decode("latin-1")), b"x")
    write(os.fsdecode(os.path.join(t.encode(), b"\xe9t\xe9-latin1.txt")), b"Ellen\n")
    write(os.path.join(t, "dot.ted.name.txt"), b"Schmidt\n")
    write(os.path.join(t, "nodot"), b"Schmidt\n")
    write(os.path.join(t, "trailingdot."), b"Schmidt\n")
    os.makedirs(os.path.join(t, "x.txt"), exist_ok=True)        # a directory matching *.txt
    write(os.path.join(t, "x.txt", "inner.txt"), b"Catherine\n")
    for d in ("a", "b", "c"):
        write(os.path.join(t, "sub", d, "f%s.txt" % d), b"Catherine %s Michel\n" % d.encode())
    write(os.path.join(t, "sub", "a", "a1", "deep.txt"), b"Katherine deep\n")
    write(os.path.join(t, "sub", "a", "a1", "a2", "deeper.log"), b"Xenia deeper\n")
    write(os.path.join(t, "sub", "top.txt"), b"top level Ksenia\n")
    os.makedirs(os.path.join(t, "sub", "emptydir"), exist_ok=True)
    fifo = os.path.join(t, "fifo.txt")
    if not os.path.exists(fifo):
        os.mkfifo(fifo)
    links = [("dangling.txt", "does-not-exist"), ("link-to-names.txt", "names.txt"),
             ("link-to-sub", "sub"), ("link-to-sub.txt", "sub"), ("loop.txt", "loop.txt"),
             ("link-to-fifo.txt", "fifo.txt"), ("link-to-null.txt", "/dev/null"),
             ("link-to-zero.txt", "/dev/zero"), ("link-to-dangling.txt", "dangling.txt")]
    for name, target in links:
        p = os.path.join(t, name)
        if not os.path.lexists(p):
            os.symlink(target, p)
    sock = os.path.join(t, "socket.txt")
    if not os.path.exists(sock):
        import socket
        s = socket.socket(socket.AF_UNIX)
        s.bind(sock)
        s.close()
    write(os.fsdecode(os.path.join(t.encode(), b"back\\slash.txt")), b"Catherine\n")
    # Names that must never be taken as format strings, and names with controls in them.
    write(os.path.join(t, "pct%s%n%x%d.txt"), b"Catherine Michel\n")
    write(os.path.join(t, "new\nline.txt"), b"Catherine\n")
    write(os.path.join(t, "tab\tname.txt"), b"Catherine\n")
    write(os.path.join(t, "sub", ".hid", "h.txt"), b"Catherine hidden directory\n")
    # Percentages that fall on a tie of the one-decimal rounding.
    for size in (32, 64, 80, 128, 160, 256, 400, 512, 800, 1000, 1024, 2000, 4096, 8192):
        body = (b"ca " * size)[:size - 1] + b"\n"
        write(os.path.join(base, "percent", "p%05d.txt" % size), body)
    # Many occurrences: more lines than the result list holds.
    write(os.path.join(base, "many", "many.txt"), b"cat\n" * 62000)
    # Deep paths around the 255-character limit.
    deep = os.path.join(base, "deep")
    d = deep
    while len(d) < 200:
        d = os.path.join(d, "d" * 20)
    for n in range(30, 70):
        name = "f" * n + ".txt"
        write(os.path.join(d, name), b"Catherine deep path\n")
    sub = os.path.join(d, "s" * (254 - len(d)))  # the directory part just at the limit
    try:
        write(os.path.join(sub, "z.txt"), b"Catherine\n")
    except OSError:
        pass
    return t


FUZZ_WORDS = [b"Catherine", b"Katharine", b"Michel", b"Mitchell", b"Xenia", b"Ksenia",
              b"Schmidt", b"Smith", b"Psalm", b"Philip", b"Ellen", b"Allen", b"cat", b"kat",
              b"dog", b"Ian", b"Una", b"eye", b"Hugh", b"Wright", b"an", b"or", b"ox", b"x",
              b"Science", b"back", b"excess", b"Tsar", b"Czar", b"Joseph", b"Gzhel"]


def make_fuzz(base, rng, count=40):
    """Random files of letters, joiners, separators, line ends and high bytes, some of them
    around the size of one read."""
    f = os.path.join(base, "fuzz")
    shutil.rmtree(f, ignore_errors=True)
    os.makedirs(f)
    pieces = [b" ", b"\n", b"\r\n", b"\r", b"\t", b".", b",", b"'", b"-", b"1", b"_", b"^",
              b"`", b"9", b"\x80", b"\xe9", b"\xff", b"\x00", b"(", b"@"]
    for i in range(count):
        size = rng.choice([0, 1, 2, 5, 100, 1000, 65535, 65536, 65537, 70000, 131072 + 3,
                           rng.randrange(1, 200000)])
        out = bytearray()
        while len(out) < size:
            r = rng.random()
            if r < 0.35:
                w = rng.choice(FUZZ_WORDS)
                if rng.random() < 0.3:
                    w = w.upper() if rng.random() < 0.5 else w.lower()
                out += w
            elif r < 0.55:
                out += bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyzABCKSXZ")
                             for _ in range(rng.randrange(1, 75)))
            else:
                out += rng.choice(pieces)
        name = "f%02d%s" % (i, rng.choice([".txt", ".log", "", ".TXT", "_longer_name.txt"]))
        write(os.path.join(f, name), bytes(out[:size]))
    return f


def fuzz_queries(rng, count):
    out = []
    for _ in range(count):
        tokens = []
        for _ in range(rng.randrange(1, 7)):
            r = rng.random()
            if r < 0.45:
                tokens.append(rng.choice(FUZZ_WORDS).decode())
            elif r < 0.75:
                tokens.append(rng.choice("AaNnOoXx"))
            elif r < 0.95:
                tokens.append("".join(rng.choice("abcdeknosxyz")
                                      for _ in range(rng.randrange(1, 4))))
            else:
                tokens.append(rng.choice(["9", "cat.", "(x)", "\t", "d2"]))
        text = ""
        for tok in tokens:
            text += " " * rng.choice([0, 1, 1, 1, 2]) + tok
        text += " " * rng.choice([0, 0, 1, 3])
        out.append(text if text.strip() else "cat")
    return out


def make_random_tree(base, rng):
    """Random nesting, names with and without dots and extensions, links to files and to
    directories, for the wild cards and the walk."""
    top = os.path.join(base, "rtree")
    shutil.rmtree(top, ignore_errors=True)
    stems = ["a", "A", "ab", "aB.", "readme", "README", "x.y.z", ".hid", "t.txt", "T.TXT",
             "tx", "t.tx", "a.b", "ba", "abab", "a.", "..a", "x", "txt", "a.txt.bak", "aa.t"]
    dirs = [top]
    os.makedirs(top)
    for i in range(60):
        parent = rng.choice(dirs)
        if parent.count(os.sep) - top.count(os.sep) < 4 and rng.random() < 0.3:
            d = os.path.join(parent, rng.choice(stems) + str(i))
            os.makedirs(d, exist_ok=True)
            dirs.append(d)
        else:
            name = rng.choice(stems) + rng.choice(["", str(i), ".txt", ".t", ".TxT", "."])
            path = os.path.join(parent, name)
            if not os.path.exists(path):
                write(path, rng.choice([b"Catherine\n", b"Michel Xenia\n", b"", b"cat"]))
    for i in range(6):
        parent = rng.choice(dirs)
        link = os.path.join(parent, "lnk%d%s" % (i, rng.choice([".txt", ""])))
        if not os.path.lexists(link):
            os.symlink(rng.choice(dirs), link) if rng.random() < 0.5 else \
                os.symlink(os.path.join(parent, "no-such"), link)
    return top


def random_patterns(rng, count):
    out = ["*", "*.*", ".*", "*.", "?", "??", "*.txt", "*.t*", "a*", "*a", "*a*.*", "?.*",
           "readme.*", "README.*", "*.*.*", "a?a*", "*?.txt", "**", "*.?", "t.*"]
    while len(out) < count:
        out.append("".join(rng.choice("**??..aAbtTxX") for _ in range(rng.randrange(1, 7))))
    return out


def make_capacity(base):
    """Trees that fill the fixed-capacity lists."""
    cap = os.path.join(base, "cap")
    fifos = os.path.join(cap, "fifos")
    os.makedirs(fifos, exist_ok=True)
    for i in range(1030):
        p = os.path.join(fifos, "p%04d.txt" % i)
        if not os.path.exists(p):
            os.mkfifo(p)
    write(os.path.join(fifos, "real.txt"), b"Catherine\n")
    dirs = os.path.join(cap, "dirs")
    if not os.path.isdir(os.path.join(dirs, "q5129")):
        for i in range(5130):
            write(os.path.join(dirs, "q%04d" % i, "f.txt"), b"Catherine %d\n" % i)
    files = os.path.join(cap, "files")
    if not os.path.exists(os.path.join(files, "n61499")):
        os.makedirs(files, exist_ok=True)
        for i in range(61500):
            open(os.path.join(files, "n%05d" % i), "wb").close()
    return cap


# ---- running -------------------------------------------------------------------------------
def run_program(cli, args, cwd, log, threads=None):
    argv = [cli] + (["-j", str(threads)] if threads else []) + (["--log", log] if log else []) + args
    p = subprocess.run(argv, cwd=cwd, capture_output=True, timeout=120, check=False)
    return p.stdout, p.stderr, p.returncode


def run_model(args, cwd, log):
    argv = (["--log", log] if log else []) + args
    out, err = io.BytesIO(), io.BytesIO()
    here = os.getcwd()
    os.chdir(cwd)
    try:
        rc = tessik_model.run_cli([os.fsencode(a) for a in argv], out, err)
    finally:
        os.chdir(here)
    return out.getvalue(), err.getvalue(), rc


def read_log(path):
    if path in ("/dev/full",) or path is None:
        return None
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        data = f.read()
    os.unlink(path)
    return data


def diff_text(a, b, n):
    la = a.decode("latin-1").splitlines(keepends=True)
    lb = b.decode("latin-1").splitlines(keepends=True)
    d = list(difflib.unified_diff(la, lb, "tessik-cli", "model", n=1))
    return "".join(d[:n]) + ("  ... (%d more diff lines)\n" % (len(d) - n) if len(d) > n else "")


# ---- the cases -----------------------------------------------------------------------------
WORDS = ["Catherine", "Katherine", "Michel", "Mitchell", "Xenia", "Ksenia", "Schmidt", "Smith",
         "Psalm", "salm", "Philip", "Ellen", "Allen", "Ian", "Una", "uwe", "Yvonne", "eye",
         "oyster", "b", "c", "k", "z", "h", "w", "E", "u", "y", "Hugh", "Wright", "night",
         "Cecilia", "George", "Jerald", "Shaun", "Chandler", "Station", "Joseph", "Hadji",
         "Kasper", "Gzhel", "Kshatriya", "Czar", "Tsar", "Science", "excess", "back",
         "Phoenix", "Psyche", "Tchaikovsky", "Nietzsche", "Xerxes", "Zhivago", "Quentin",
         "Christine", "Thomas", "cat", "license", "software", "the", "God", "Jesus", "Moses",
         "Abraham", "Eve", "Adam", "Aaron", "Isaac", "Jacob", "Pharaoh", "Israel", "Lord",
         "CATHERINE", "cAtHeRiNe", "an", "or", "ox", "and", "not", "xor",
         "C" * 62, "Catherine" + "x" * 61, "a" * 230, "Catherine" * 25, "Kshsh" * 50,
         "Schmidtschmidtschmidt", "Philipphilipphilip", "Psalmodyyyyyyy"]

EXPRESSIONS = ["cat dog", "Catherine Michel", "Catherine A Michel", "Catherine a Michel",
               "Catherine N Michel", "Catherine n Michel", "Catherine X Michel",
               "Catherine x Michel", "Catherine O Michel", "Catherine o Michel",
               "N Catherine", "n Catherine", "A Catherine", "O Catherine", "X Catherine",
               "a Catherine", "x Catherine", "o Catherine", "N bird A cat", "N Xenia c",
               "Catherine d", "A Catherine b", "N Catherine b", "X Catherine bb",
               "Catherine Michel Xenia", "Xenia O Catherine A Michel",
               "Xenia A Catherine X Michel N Psalm", "Catherine and Michel",
               "Psalm X salm", "Ellen N Allen", "Ellen X Ellen", "N Ellen N Allen",
               "  Catherine    A   Michel  ", "Catherine A " + "x" * 240,
               "x" * 230 + " A Catherine", "Schmidt O Smith N Philip", "Philip A Ellen",
               "b c", "b A c", "N b", "N license", "license A software N warranty",
               "the X and", "Moses A Aaron N Pharaoh", "God X Lord", "N God A Jesus",
               "ant A nut", "on O in", "Xenia x Ksenia", "Michel N Mitchell", "N Catherine bb",
               "A Catherine bb", "a b c", "n b c", "x Ellen e", "Catherine " * 30,
               "x" * 253 + " A dog", "Catherine A " + "x" * 243, "Catherine N " + "y" * 246,
               "Catherine" * 35]

REFUSED = ["cat2", "cat-dog", "(cat)", "cat\tdog", "cat 9 A", "cat A", "cat x", "a", "N", "o",
           "X", "cat A N dog", "cat A O dog", "N A cat", "caf\xe9", "cat,dog", "cat A n",
           "A", "x A cat", "N N cat", "cat O", "Catherine X", "d A", "cat.", "'cat'"]

BLANK = [[], [""], ["   "], ["", ""]]


def build_cases(base, tricky, quick, seed=20261209):
    cases = []  # (name, args, cwd, with_log)

    def add(args, cwd="/tmp", log=False):
        cases.append((" ".join(repr(a) if (" " in a or not a) else a for a in args), args,
                      cwd, log))

    t = tricky
    specs = [t + "/*.*", t + "/*", t + "/*.txt", t + "/*.TXT", t + "/readme.*", t + "/README*",
             t + "/?????.txt", t + "/*.t?t", t + "/*name*", t + "/[x].txt", t + "/*.",
             t + "/nodot.*", t + "/fifo.txt", t + "/dangling.txt", t + "/link-to-sub",
             t + "/link-to-sub.txt", t + "/x.txt", t + "/.*", t + "/sub/*.txt", t + "\\*.txt",
             t + "/sub\\*.txt", t + "/nothing*", "/nonexistent/dir/*.txt", t + "/", t,
             t + "/empty.txt", t + "/sub/emptydir/*", t + "/eof.txt", t + "/names.txt/*",
             t + "/link-to-*", t + "/" + "a" * 300, t + "/sub/" + "*" * 260 + ".txt",
             "/" * 256 + "*.txt", t + "/" + "?" * 240, t + "/sub/a/*.*", t + "/*?", t + "/??*",
             t + "/*.*.*", t + "/*x*.*", t + "/*.t*", t + "/f*.?x?", t + "/**.txt",
             t + "/*%*", t + "/" + os.fsdecode(b"\xc9T\xc9*"), t + "/" + os.fsdecode(b"\xe9*"),
             t + "/tab*", t + "/new*"]
    for spec in specs:
        for sub in ([], ["-s"]):
            for q in [[]] + [["Catherine"], ["Michel"], ["Catherine", "A", "Michel"],
                             ["N", "Xenia"], ["cat2"]]:
                add(sub + [spec] + q)
    # Every word and expression over the generated tree, with and without subdirectories.
    for sub in ([], ["-s"]):
        for w in WORDS:
            add(sub + [t + "/*.*", w])
        for e in EXPRESSIONS:
            add(sub + [t + "/*.*"] + e.split(" "))
            add(sub + [t + "/*.*", e])
        for r in REFUSED:
            add(sub + [t + "/*.txt", r])
        for bl in BLANK:
            add(sub + [t + "/*.txt"] + bl)
    # Relative specifications.
    for sub in ([], ["-s"]):
        add(sub + ["*.txt", "Catherine"], cwd=t)
        add(sub + ["*.*"], cwd=t)
        add(sub + ["sub/*.txt", "Catherine", "O", "Xenia"], cwd=t)
        add(sub + ["./sub/*.*", "Michel"], cwd=t)
        add(sub + ["../tricky/sub/*", "Katherine"], cwd=t)
        add(sub + ["", "Catherine"], cwd=t + "/sub")
        add(sub + [""], cwd=t + "/sub", log=True)
        add(sub + ["*.txt", "  Catherine"], cwd=t, log=True)
    # Logs of both layouts, with and without unopened files.
    for sub in ([], ["-s"]):
        for q in [["Catherine"], ["Michel"], ["Catherine", "A", "Michel"], ["N", "Xenia"], [],
                  ["   "], ["nothingmatches"], ["Xenia", "X", "Ksenia"], ["cat2"],
                  ["  Catherine    A   Michel  "], ["", "Michel", "", "N", "Ellen", ""],
                  ["Catherine" * 35], ["x" * 253 + " A dog"]]:
            for spec in [t + "/*.*", t + "/*.txt", t + "/sub/*.txt", t + "/nothing*"]:
                add(sub + [spec] + q, log=True)
    add([base + "/many/*", "cat"], log=True)
    add([base + "/many/*", "cat", "A", "cat"], log=True)
    add(["-s", base + "/deep/*.txt", "Catherine"], log=True)
    add(["-s", base + "/deep/*"], log=True)
    add(["-s", base + "/deep/*.*", "N", "Michel"], log=True)
    # Real trees.
    lic = "/usr/share/common-licenses"
    for w in ["license", "software", "Free", "GNU", "warranty", "Catherine", "Philip",
              "Ellen", "Xenia", "Psalm", "Michel", "Schmidt", "a" * 225, "k", "u", "Ian"]:
        add([lic + "/*", w], log=True)
        add(["-s", lic + "/*.*", w])
    for e in EXPRESSIONS[:30]:
        add([lic + "/*"] + e.split(" "), log=True)
    for e in ["license A software", "N GNU", "GNU X Apache", "Mozilla N Apache O Artistic",
              "warranty A merchantability N Mozilla", "X licence", "A patent b"]:
        add([lic + "/*", e], log=True)
    doc = "/usr/share/doc"
    small = [doc + "/bash/*", doc + "/apt/*.*", doc + "/git/*.txt", doc + "/bzip2/*.gz",
             doc + "/*/README*", doc + "/*/copyright", doc + "/base-files/*"]
    for spec in small:
        for q in [[], ["Philip"], ["Catherine"], ["the", "A", "and"], ["N", "copyright"]]:
            add([spec] + q)
    for spec in [doc + "/git/*.*", doc + "/bash/*", doc + "/apt/*", doc + "/valgrind/*.gz",
                 doc + "/libc6/*"]:
        for q in [[], ["Philip"], ["Ellen"], ["license", "X", "GNU"], ["N", "bug"]]:
            add(["-s", spec] + q)
    if not quick:
        for q in [[], ["Philip"], ["Catherine", "A", "Michel"]]:
            add(["-s", doc + "/*.*"] + q)
        for q in [["README*"], ["*.gz"], ["*.txt"]]:
            add(["-s", doc + "/" + q[0], "Ellen"])
            add(["-s", doc + "/" + q[0]])
        add(["-s", doc + "/*.gz", "N", "bug"], log=True)
        add([doc + "/*"], log=True)
        add(["-s", "/usr/include/*.h", "Psalm"])
        add(["-s", "/usr/include/*.h", "Catherine", "O", "Xenia", "N", "Michel"], log=True)
        add(["-s", "/usr/include/*.h"])
        add(["-s", "/usr/include/*.h", "N", "struct"])
        kjv = os.path.join(ROOT, "bench", "data", "kjv.txt")
        if os.path.exists(kjv):
            for w in ["Philip", "Ellen", "Psalm", "Catherine", "Michel", "Xenia", "Schmidt",
                      "Eve", "Isaac", "Jesus", "eye", "a" * 221]:
                add([kjv, w], log=True)
            for e in ["Moses A Aaron", "N Pharaoh", "Jesus X Christ", "God A Lord N Satan"]:
                add([kjv, e], log=True)
        tree = os.path.join(ROOT, "bench", "data", "tree")
        if os.path.isdir(tree):
            add(["-s", tree + "/d0*", "Philip"])
            add(["-s", tree + "/*"], log=True)
            add(["-s", tree + "/d01/*", "Moses", "A", "Aaron"], log=True)
        huge = os.path.join(base, "huge", "huge.txt")
        if not os.path.exists(huge):
            os.makedirs(os.path.dirname(huge), exist_ok=True)
            with open(huge, "wb") as f:
                f.write(b"Catherine at the start\n")
                for offset in (2**31 - 5, 2**32 - 4, 2**32 + 65536 * 3 - 2):
                    f.seek(offset)
                    f.write(b"Katherine\n")
                f.truncate(2**32 + 2**20 + 7)
        add([huge, "Catherine"], log=True)
        add([os.path.dirname(huge) + "/*.*"], log=True)
        add([huge, "N", "Catherine"], log=True)
        cap = make_capacity(base)
        add([cap + "/fifos/*", "Catherine"], log=True)
        add([cap + "/fifos/*", "Catherine", "O", "Michel"], log=True)
        add([cap + "/fifos/*", "N", "Catherine"], log=True)
        add(["-s", cap + "/dirs/*.txt", "Catherine"])
        add(["-s", cap + "/dirs/*"], log=True)
        add([cap + "/files/*"], log=True)
        add([cap + "/files/*", "Catherine"], log=True)
    for q in [["cat"], ["ca"], ["N", "cat"], []]:
        add([base + "/percent/*.txt"] + q, log=True)
    for spec in ["/sys/devices/software/power/*", "/proc/sys/kernel/*", "/proc/sys/kernel/o*",
                 "/dev/null", "/dev/tty*", "/dev/vcs*", "/*"]:
        for q in [[], ["auto"], ["unsupported", "O", "auto"], ["N", "auto"], ["Linux"]]:
            add([spec] + q, log=True)
    # A subdirectory that cannot be read is passed over.
    for q in [[], ["Linux"], ["N", "Linux"]]:
        add(["-s", "/proc/1/task/1/*status"] + q, log=True)
        add(["-s", "/proc/1/task/1/fdinfo/*"] + q, log=True)
        add(["/proc/1/task/1/fdinfo/*"] + q, log=True)
    for q in [["Catherine"], [], ["N", "Catherine"]]:
        add([t + "/*slash*"] + q, log=True)
        add([t + "/back\\*"] + q, log=True)
    # Random files and queries.
    import random
    rng = random.Random(seed)
    fuzz = make_fuzz(base, rng)
    for q in fuzz_queries(rng, 150 if quick else 600):
        add([fuzz + "/*.*", q], log=rng.random() < 0.3)
    for q in ["", "   "] + [w.decode() for w in FUZZ_WORDS]:
        add([fuzz + "/*", q], log=True)
    rtree = make_random_tree(base, rng)
    for pat in random_patterns(rng, 60 if quick else 200):
        add([rtree + "/" + pat])
        add(["-s", rtree + "/" + pat])
        if rng.random() < 0.3:
            add(["-s", rtree + "/" + pat, "Catherine", "O", "Xenia"])
    # Log failures.
    add([t + "/*.txt", "Catherine"], log="/dev/full")
    add([t + "/*.txt", "Catherine"], log=t)  # a directory cannot be created as a file
    add([t + "/*.txt"], log="/nonexistent/dir/log.txt")
    return cases


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default=os.path.join(ROOT, "build-cross", "bin", "tessik-cli"))
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--only", default=None)
    ap.add_argument("--shard", default="1/1",
                    help="K/N: compare only the K-th of N equal shares of the cases, so that N "
                         "runs side by side compare them all")
    ap.add_argument("--show", type=int, default=30)
    ap.add_argument("--threads", type=int, default=None,
                    help="the threads tessik-cli reads with (-j); its own default when not given")
    ap.add_argument("--seed", type=int, default=20261209, help="of the random files and queries")
    # Each run makes its own folder unless told one, so that two runs at once (two builds'
    # tests) do not write over each other's files.
    ap.add_argument("--base", default=None)
    opts = ap.parse_args()
    if opts.base is None:
        base = tempfile.mkdtemp(prefix="tessik-crosscheck-")
        try:
            return compare(opts, base)
        finally:
            shutil.rmtree(base, ignore_errors=True)
    return compare(opts, opts.base)


def compare(opts, base):
    tricky = make_tricky(base)
    cases = build_cases(base, tricky, opts.quick, opts.seed)
    if opts.only:
        cases = [c for c in cases if opts.only in c[0]]
    share, shares = (int(n) for n in opts.shard.split("/"))
    cases = cases[share - 1::shares]
    logs = os.path.join(base, "logs")
    os.makedirs(logs, exist_ok=True)
    differences = 0
    compared = 0
    started = time.time()
    for index, (name, args, cwd, log) in enumerate(cases):
        if log is True:
            log_a, log_b = os.path.join(logs, "cli.log"), os.path.join(logs, "model.log")
        elif log:
            log_a = log_b = log
        else:
            log_a = log_b = None
        try:
            a = run_program(opts.cli, args, cwd, log_a, opts.threads)
        except subprocess.TimeoutExpired:
            a = (b"", b"TIMEOUT\n", -1)
        la = read_log(log_a) if log is True else None
        b = run_model(args, cwd, log_b)
        lb = read_log(log_b) if log is True else None
        compared += 1
        parts = []
        if a[2] != b[2]:
            parts.append("exit status: tessik-cli %d, model %d\n" % (a[2], b[2]))
        if a[0] != b[0]:
            parts.append("stdout:\n" + diff_text(a[0], b[0], opts.show))
        if a[1] != b[1]:
            parts.append("stderr:\n" + diff_text(a[1], b[1], opts.show))
        if la != lb:
            parts.append("log:\n" + diff_text(la or b"", lb or b"", opts.show))
        if parts:
            differences += 1
            print("=== DIFFERENCE %d: [cwd %s] %s%s" % (differences, cwd, name,
                                                       " --log" if log else ""))
            print("".join(parts), end="")
        sys.stdout.flush()
    print("compared %d cases (stdout, stderr, exit status%s), %d with differences, %.0f s"
          % (compared, ", log bytes", differences, time.time() - started))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
