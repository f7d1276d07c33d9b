#!/usr/bin/env python3
"""Writes phonetic/given_names_table.inc: the given names, their nicknames, abbreviations
and Latin forms, for phonetic/given_names.cpp.

  make_given_names.py [--output FILE] [--check] [--stats]
                      [--training-file given-names-train.csv]

The table is made from the files of data/given-names/ (their sources and licences are in
SOURCES.md there):

 * nicknames.csv: name1,has_nickname,name2 rows of a published nickname list;
 * training-nicknames.csv: name,other,label rows, the pairs of the labeled given-name
   training list whose other name is a nickname or short form: a "same" pair links the two,
   a "wrong" pair is never linked, whatever list offers it;
 * abbreviations.txt: "name: abbreviation ..." lines, matched as written;
 * latin.txt: "name: STEM-CLASS ..." lines, the Latin forms with their case endings.

Every link joins a word to an English name with a kind: a nickname, a Latin form (both
heard by the search's method) or an abbreviation (matched by its letters). Words are 2 to
62 letters a-z. The script checks the data (letters, lengths, known declensions, that every
family fits the program's table of members) and fails with the file and line of a fault.
--check writes nothing and fails when the committed table is not what it would write.
--training-file writes training-nicknames.csv again from the labeled training list.
"""
import argparse
import csv
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data", "given-names")
DEFAULT_OUTPUT = os.path.join(ROOT, "phonetic", "given_names_table.inc")

# What phonetic/given_names.h holds: a member's word and the number of members of a family.
MAX_WORD_LETTERS = 62
MAX_FAMILY_MEMBERS = 96

NICKNAME, LATIN, ABBREVIATION = "kGivenNickname", "kGivenLatin", "kGivenAbbreviation"

# The case endings of each declension, nominative first.
DECLENSIONS = {
    "us": ["us", "i", "o", "um", "e"],
    "a": ["a", "ae", "am", "e"],
    "es": ["es", "is", "i", "em", "e"],
    "as": ["as", "ae", "e", "am", "a"],
    "on": ["o", "onis", "oni", "onem", "one"],
    "c": ["", "is", "i", "em", "e"],
    "es-et": ["es", "etis", "eti", "etem", "ete"],
}
# The -er nouns keep the e in the nominative alone.
ER_ENDINGS = ["er", "ri", "ro", "rum"]

WORD = re.compile(r"^[a-z]{2,%d}$" % MAX_WORD_LETTERS)


class DataError(Exception):
    pass


def check_word(word, where):
    if not WORD.match(word):
        raise DataError("%s: %r is not a word of 2 to %d letters a-z"
                        % (where, word, MAX_WORD_LETTERS))
    return word


def latin_forms(entry, where):
    """The forms of one STEM-CLASS entry, or the entry itself when it is a whole form."""
    if "-" not in entry:
        return [check_word(entry, where)]
    stem, _, cls = entry.partition("-")
    if cls == "er":
        if not stem.endswith("er"):
            raise DataError("%s: %r: an -er stem must end in er" % (where, entry))
        forms = [stem[:-2] + ending for ending in ER_ENDINGS]
    elif cls in DECLENSIONS:
        forms = [stem + ending for ending in DECLENSIONS[cls]]
    else:
        raise DataError("%s: %r: no declension %r (known: %s, er)"
                        % (where, entry, cls, ", ".join(sorted(DECLENSIONS))))
    return [check_word(form, where) for form in forms]


def read_name_lines(path):
    """(line number, name, [entries]) of a "name: entry entry" file."""
    rows = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.split("#", 1)[0].strip()
            if not text:
                continue
            where = "%s:%d" % (os.path.relpath(path, ROOT), number)
            name, colon, rest = text.partition(":")
            if not colon:
                raise DataError("%s: no colon after the name" % where)
            rows.append((where, check_word(name.strip(), where), rest.split()))
    return rows


def read_links():
    """{(word, name): kind}, the pairs a wrong label keeps apart left out."""
    links = {}
    wrong = set()

    def add(word, name, kind):
        if word == name:
            return
        old = links.get((word, name))
        # A word that is heard is found by its letters too: a heard kind wins.
        if old is None or old == ABBREVIATION:
            links[(word, name)] = kind

    path = os.path.join(DATA, "training-nicknames.csv")
    with open(path, encoding="utf-8", newline="") as f:
        for number, row in enumerate(csv.DictReader(f), 2):
            where = "%s:%d" % (os.path.relpath(path, ROOT), number)
            name, other = check_word(row["name"], where), check_word(row["other"], where)
            if row["label"] == "wrong":
                wrong.add((name, other))
                wrong.add((other, name))
            elif row["label"] == "same":
                add(other, name, NICKNAME)
            else:
                raise DataError("%s: label %r is neither same nor wrong" % (where, row["label"]))

    path = os.path.join(DATA, "nicknames.csv")
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.reader(f)
        header = next(reader)
        if header != ["name1", "relationship", "name2"]:
            raise DataError("%s: unexpected header %r" % (path, header))
        for number, row in enumerate(reader, 2):
            where = "%s:%d" % (os.path.relpath(path, ROOT), number)
            if len(row) != 3 or row[1] != "has_nickname":
                raise DataError("%s: not a name1,has_nickname,name2 row" % where)
            # Initials (k.c., l.b.) are no word of a text: left out.
            if not WORD.match(row[0]) or not WORD.match(row[2]):
                if not re.match(r"^([a-z]\.)+$", row[2]):
                    raise DataError("%s: %r or %r is not a word" % (where, row[0], row[2]))
                continue
            add(row[2], row[0], NICKNAME)

    for where, name, entries in read_name_lines(os.path.join(DATA, "latin.txt")):
        if not entries:
            raise DataError("%s: no Latin form" % where)
        for entry in entries:
            for form in latin_forms(entry, where):
                add(form, name, LATIN)

    for where, name, entries in read_name_lines(os.path.join(DATA, "abbreviations.txt")):
        if not entries:
            raise DataError("%s: no abbreviation" % where)
        for entry in entries:
            add(check_word(entry, where), name, ABBREVIATION)

    return {pair: kind for pair, kind in links.items() if pair not in wrong}


def family(word, links):
    """The members of a word's family, as phonetic/given_names.cpp finds them."""
    by_name = {}
    for (w, n), kind in links.items():
        by_name.setdefault(n, []).append((w, kind))
    same = set()
    nick_of = set()
    if word in by_name:
        same.add(word)
    for (w, n), kind in links.items():
        if w == word:
            (nick_of if kind == NICKNAME else same).add(n)
    members = set()
    for name in same:
        members.add(name)
        members.update(w for w, _ in by_name.get(name, []))
    for name in nick_of:
        members.add(name)
        members.update(w for w, kind in by_name.get(name, []) if kind != NICKNAME)
    members.discard(word)
    return members


def render(links):
    rows = sorted(links.items())
    order = sorted(range(len(rows)), key=lambda i: (rows[i][0][1], rows[i][0][0]))
    out = [
        "// The links of given names to their nicknames, Latin forms and abbreviations, by word.",
        "// Written by tools/make_given_names.py from data/given-names/ (the sources and their",
        "// licences are in data/given-names/SOURCES.md): run it again rather than editing.",
        "// clang-format off",
        "constexpr GivenNameLink kGivenNameLinks[] = {",
    ]
    for (word, name), kind in rows:
        out.append('    {"%s", "%s", %s},' % (word, name, kind))
    out.append("};")
    out.append("")
    out.append("// The same links in the order of their names, then their words.")
    out.append("constexpr std::uint16_t kGivenNameLinksByName[] = {")
    for start in range(0, len(order), 12):
        out.append("    " + ", ".join(str(i) for i in order[start:start + 12]) + ",")
    out.append("};")
    out.append("// clang-format on")
    return "\n".join(out) + "\n"


def write_training(path):
    rows = []
    with open(path, encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f):
            if row.get("kind") == "nickname":
                rows.append((row["name"], row["other"], row["label"]))
    with open(os.path.join(DATA, "training-nicknames.csv"), "w", encoding="utf-8") as f:
        f.write("name,other,label\n")
        for row in rows:
            f.write(",".join(row) + "\n")
    print("%d nickname pairs written to data/given-names/training-nicknames.csv" % len(rows))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    parser.add_argument("--check", action="store_true",
                        help="fail when the committed table is not what would be written")
    parser.add_argument("--stats", action="store_true", help="print the largest families")
    parser.add_argument("--training-file", help="write training-nicknames.csv again from it")
    args = parser.parse_args()
    if args.training_file:
        write_training(args.training_file)
    try:
        links = read_links()
    except DataError as error:
        print("make_given_names.py: %s" % error, file=sys.stderr)
        return 1
    if len(links) >= 65536:
        print("make_given_names.py: %d links do not fit the index" % len(links), file=sys.stderr)
        return 1
    words = {w for w, _ in links} | {n for _, n in links}
    sizes = sorted(((len(family(w, links)), w) for w in words), reverse=True)
    if sizes[0][0] > MAX_FAMILY_MEMBERS:
        print("make_given_names.py: the family of %r has %d members, more than the %d the "
              "program holds" % (sizes[0][1], sizes[0][0], MAX_FAMILY_MEMBERS), file=sys.stderr)
        return 1
    if args.stats:
        print("%d links, %d words; the largest families:" % (len(links), len(words)))
        for size, word in sizes[:15]:
            print("  %3d %s" % (size, word))
    text = render(links)
    if args.check:
        try:
            with open(args.output, encoding="utf-8") as f:
                committed = f.read()
        except OSError:
            committed = None
        if committed != text:
            print("make_given_names.py: %s is not what the data of data/given-names/ makes; "
                  "run tools/make_given_names.py" % os.path.relpath(args.output, ROOT),
                  file=sys.stderr)
            return 1
        print("%s is up to date (%d links)" % (os.path.relpath(args.output, ROOT), len(links)))
        return 0
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(text)
    print("%d links written to %s" % (len(links), os.path.relpath(args.output, ROOT)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
