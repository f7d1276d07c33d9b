#!/usr/bin/env python3
"""Writes phonetic/letter_folds.inc: how each letter of a text in today's encodings is read
as the ASCII letters a to z, for phonetic/letter_fold.cpp.

  make_letter_folds.py [--output FILE] [--any-unicode-version] [--left-out]

The table is made from Python's unicodedata (the Unicode Character Database of the Python
that runs this) and the romanisations below, and is committed: the program has no Unicode
library of its own on either platform. It is made from Unicode 14.0.0 (Python 3.11); another
version is refused unless --any-unicode-version is given, because the table would change
under the program's feet. --left-out lists the letters of the covered blocks that the table
leaves out, with the reason.

Every code point is one of four classes: an ASCII letter, a folded letter (one to four
letters a-z, or none), a mark (a combining mark, dropped inside a word) or a separator
(everything the table does not list). What it covers:

 * ASCII letters: A-Z read as a-z.

 * Latin (Latin-1 Supplement, Latin Extended-A and -B, Latin Extended Additional), the
   characters whose name begins with LATIN; the micro sign and the ordinal indicators are
   not letters here. A letter that has a compatibility decomposition (NFKD) folds to the
   letters of it, its marks, modifier letters (the apostrophe of U+0149) and middle dot
   (U+013F, U+0140) dropped: e-acute to e, the DZ, LJ and NJ digraphs to dz, lj and nj, ij
   to ij. A letter with no decomposition takes LATIN_FOLDS below, else its name: "LATIN
   SMALL LETTER B WITH STROKE" folds to b, "... LIGATURE OE" to oe. Left out, as having no
   ASCII reading that a reader of the name would agree on: esh, ezh and their variants, the
   glottal stops, the click letters, the tone letters, yogh, yr, schwa (Azerbaijani writes it
   "a", Pan-Nigerian "e"), the Latin letters taken from Greek (gamma, iota, upsilon, delta,
   lambda with stroke), turned m and v, hwair, oi (gha), the ou and db/qp digraphs, two with
   stroke and the Middle Welsh letters.

 * The Latin ligatures of the Alphabetic Presentation Forms (U+FB00-U+FB06: ff, fi, fl,
   ffi, ffl, long s t, st) and the full-width Latin letters (U+FF21-U+FF3A, U+FF41-U+FF5A),
   which OCR and East Asian text put in place of the letters: read as the letters of their
   compatibility decompositions (fi-ligature fi, full-width A a), like the letters above.

 * Combining marks: U+0300-U+036F, and the Cyrillic ones U+0483-U+0489.

 * Cyrillic (U+0400-U+04FF), BGN/PCGN: Russian values for the letters of the Russian
   alphabet, the Ukrainian and Belarusian values for the letters only those have
   (e with the Ukrainian IE ye, the Ukrainian-Belarusian I i, YI yi, GHE WITH UPTURN g,
   SHORT U w). The word folding applies what depends on the word:
     - ye for e and yo (both e otherwise): at the start of a word, and after a vowel,
       short i, the hard sign or the soft sign (and SHORT U, which only Belarusian has);
     - a word with a letter only Ukrainian has (the Ukrainian IE, I, YI, GHE WITH UPTURN)
       is Ukrainian: I reads y, GHE h and IE always e (Kyyiv); a word with SHORT U is
       Belarusian: GHE reads h. Other words are read as Russian. A pre-1918 Russian word
       written with the decimal I reads as Ukrainian: such texts are rare.
   The hard and soft signs are letters that fold to nothing (they do not split a word).
   Also in the table, so that a name in these alphabets is not cut into pieces: the Serbian
   and Macedonian letters, read as their Latin alphabets write them and then folded like
   the Latin letters (dje d, tshe c, dzhe dz, je j, lje lj, nje nj, gje gj, kje kj, dze dz);
   yat e, fita f and izhitsa y of the old Russian spelling; barred o, straight u and shha
   of the Turkic alphabets; every other letter whose decomposition or name ("KA WITH
   DESCENDER") gives one of these letters with marks, read as that letter. Left out: the
   remaining letters of Old Church Slavonic, Abkhaz, Khakas and the other alphabets whose
   letters have no base among these, schwa, and the palochka.
   Bulgarian is read with Russian values (shcha shch, not sht; the hard sign nothing, not a):
   a word does not tell its language.

 * Greek (U+0370-U+03FF, and Greek Extended U+1F00-U+1FFF through the letter its
   decomposition begins with), ELOT 743 as the United Nations adopted it for geographical
   names (resolution V/19): the letters in GREEK_LETTERS below, tonos, dialytika and the
   polytonic marks dropped. The word folding applies its rules for pairs of letters:
     gamma before gamma, xi or chi reads n (ng, nx, nch); gamma-kappa stays gk;
     alpha, epsilon, eta before upsilon read av, ev, iv before a vowel or a voiced
       consonant (beta, gamma, delta, zeta, lambda, mu, nu, rho) and af, ef, if elsewhere,
       the end of the word included; omicron-upsilon reads ou;
     mu-pi reads b at the start of a word and mb inside it; nu-tau d at the start, nt
       inside.
   The simplifications: a pair is not read as one sound when the upsilon has a dialytika
   (ay, ey, iy, oy) or when the first vowel carries an accent or breathing, as Greek spelling
   puts the accent of a diphthong on its second letter (a-acute upsilon is ay); mu-pi at the
   end of a word is read as inside it (mb), where some editions write b; nu-tau at the start
   reads d, the sound ELOT 743's table gives there, where its transcription keeps nt (the
   search is by sound); the archaic letters (digamma, koppa, sampi, san, sho, heta, yot) and the Coptic letters
   of the block are left out.

Everything else (other scripts, digits, punctuation, symbols, spaces) is a separator.
"""
import argparse
import os
import re
import sys
import unicodedata

UNICODE_VERSION = "14.0.0"

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUTPUT = os.path.normpath(os.path.join(HERE, "..", "phonetic", "letter_folds.inc"))

# The blocks the table covers, as ranges of code points [first, last].
LATIN_BLOCKS = ((0x0080, 0x024F), (0x1E00, 0x1EFF), (0xFB00, 0xFB06))
# Letters read by their compatibility decompositions alone: the full-width Latin letters.
COMPATIBILITY_BLOCKS = ((0xFF21, 0xFF3A), (0xFF41, 0xFF5A))
MARK_BLOCKS = ((0x0300, 0x036F), (0x0483, 0x0489))
GREEK_BLOCKS = ((0x0370, 0x03FF), (0x1F00, 0x1FFF))
CYRILLIC_BLOCK = (0x0400, 0x04FF)

# Classes, as letter_fold.h names them.
SEPARATOR, ASCII_LETTER, FOLDED_LETTER, MARK = ("kSeparator", "kAsciiLetter",
                                                "kFoldedLetter", "kMark")

# Flags and roles, as letter_fold.cpp names them.
SOFTENS_YE = "kSoftensYe"          # Cyrillic: e and yo after it read ye
UKRAINIAN = "kUkrainianOnly"      # Cyrillic: the word is Ukrainian
BELARUSIAN = "kBelarusianOnly"    # Cyrillic: the word is Belarusian
GREEK_VOWEL = "kGreekVowel"
GREEK_VOICED = "kGreekVoiced"
DIALYTIKA = "kDialytika"          # Greek: the letter has a dialytika
ACCENTED = "kAccented"            # Greek: the letter has another mark (accent, breathing)

# Latin letters with no decomposition, whose name does not give their reading.
LATIN_FOLDS = {
    "ß": "ss", "ẞ": "ss",
    "æ": "ae", "Æ": "ae",
    "œ": "oe", "Œ": "oe",
    "ð": "d", "Ð": "d", "Ɖ": "d",  # eth; the African D is the same letter
    "þ": "th", "Þ": "th",
    "ı": "i", "ȷ": "j",  # dotless
    "ĸ": "q",  # kra: Greenlandic writes q for it today
    "ŋ": "ng", "Ŋ": "ng",
    "Ɔ": "o", "Ɛ": "e", "Ǝ": "e", "ǝ": "e",  # open o, open e, reversed and turned e
    "ƿ": "w", "Ƿ": "w",  # wynn
    "ẜ": "s", "ẝ": "s",  # long s with a stroke
}

# Characters of a decomposition that a fold leaves out, beside combining marks and modifier
# letters: the middle dot of the Catalan L.
DROPPED_IN_DECOMPOSITION = {"\u00b7"}

# The name rule: a letter, or one of two ligatures, with anything after WITH, or a bar.
LATIN_NAME = re.compile(r"^LATIN (?:SMALL |CAPITAL )?(?:LETTER|LIGATURE) (?:SMALL )?"
                        r"([A-Z]|AE|OE)(?: WITH .*| BAR)?$")

# Cyrillic letters: letters, whether e and yo read ye after it, and the word-level role.
# Lower case; the capitals take the value of their lower-case letter.
CYRILLIC_LETTERS = {
    # Russian
    "а": ("a", [SOFTENS_YE]), "б": ("b", []), "в": ("v", []), "г": ("g", [], "kRoleGhe"),
    "д": ("d", []), "е": ("e", [SOFTENS_YE], "kRoleIe"), "ё": ("e", [SOFTENS_YE], "kRoleIe"),
    "ж": ("zh", []), "з": ("z", []), "и": ("i", [SOFTENS_YE], "kRoleI"),
    "й": ("y", [SOFTENS_YE]), "к": ("k", []), "л": ("l", []), "м": ("m", []), "н": ("n", []),
    "о": ("o", [SOFTENS_YE]), "п": ("p", []), "р": ("r", []), "с": ("s", []), "т": ("t", []),
    "у": ("u", [SOFTENS_YE]), "ф": ("f", []), "х": ("kh", []), "ц": ("ts", []),
    "ч": ("ch", []), "ш": ("sh", []), "щ": ("shch", []), "ъ": ("", [SOFTENS_YE]),
    "ы": ("y", [SOFTENS_YE]), "ь": ("", [SOFTENS_YE]), "э": ("e", [SOFTENS_YE]),
    "ю": ("yu", [SOFTENS_YE]), "я": ("ya", [SOFTENS_YE]),
    # Ukrainian and Belarusian
    "є": ("ye", [SOFTENS_YE, UKRAINIAN]), "і": ("i", [SOFTENS_YE, UKRAINIAN]),
    "ї": ("yi", [SOFTENS_YE, UKRAINIAN]), "ґ": ("g", [UKRAINIAN]),
    "ў": ("w", [SOFTENS_YE, BELARUSIAN]),
    # Serbian and Macedonian, through their Latin alphabets
    "ђ": ("d", []), "ћ": ("c", []), "џ": ("dz", []), "ј": ("j", []), "љ": ("lj", []),
    "њ": ("nj", []), "ѓ": ("gj", []), "ќ": ("kj", []), "ѕ": ("dz", []),
    # the old Russian spelling
    "ѣ": ("e", [SOFTENS_YE]), "ѳ": ("f", []), "ѵ": ("y", [SOFTENS_YE]),
    # Turkic alphabets
    "ө": ("o", [SOFTENS_YE]), "ү": ("u", [SOFTENS_YE]), "һ": ("h", []),
}

# Greek letters (lower case; the capitals take the value of their lower-case letter): the
# letters, the flags, and the role a pair rule looks for.
GREEK_LETTERS = {
    "α": ("a", [GREEK_VOWEL], "kRoleAlpha"), "β": ("v", [GREEK_VOICED]),
    "γ": ("g", [GREEK_VOICED], "kRoleGamma"), "δ": ("d", [GREEK_VOICED]),
    "ε": ("e", [GREEK_VOWEL], "kRoleEpsilon"), "ζ": ("z", [GREEK_VOICED]),
    "η": ("i", [GREEK_VOWEL], "kRoleEta"), "θ": ("th", []), "ι": ("i", [GREEK_VOWEL]),
    "κ": ("k", []), "λ": ("l", [GREEK_VOICED]), "μ": ("m", [GREEK_VOICED], "kRoleMu"),
    "ν": ("n", [GREEK_VOICED], "kRoleNu"), "ξ": ("x", [], "kRoleXi"),
    "ο": ("o", [GREEK_VOWEL], "kRoleOmicron"), "π": ("p", [], "kRolePi"),
    "ρ": ("r", [GREEK_VOICED]), "σ": ("s", []), "ς": ("s", []), "τ": ("t", [], "kRoleTau"),
    "υ": ("y", [GREEK_VOWEL], "kRoleUpsilon"), "φ": ("f", []), "χ": ("ch", [], "kRoleChi"),
    "ψ": ("ps", []), "ω": ("o", [GREEK_VOWEL]),
}


class Row:
    def __init__(self, cls, letters="", flags=(), role="kRoleNone", how=""):
        assert re.fullmatch("[a-z]{0,4}", letters), letters
        self.cls, self.letters, self.flags, self.role, self.how = (
            cls, letters, sorted(set(flags)), role, how)


def name_of(c):
    return unicodedata.name(c, "")


def code_points(blocks):
    for first, last in blocks:
        yield from range(first, last + 1)


def is_letter(c):
    return unicodedata.category(c).startswith("L")


def decomposition_letters(c):
    """The letters of c's compatibility decomposition without its marks, or None when c
    has none."""
    nfkd = unicodedata.normalize("NFKD", c)
    if nfkd == c:
        return None
    return [ch for ch in nfkd if unicodedata.category(ch) not in ("Mn", "Mc", "Me", "Lm")
            and ch not in DROPPED_IN_DECOMPOSITION]


def fold_latin(c, left_out):
    """The letters a Latin letter folds to and how they were found, or None (with the
    reason in left_out)."""
    if c in LATIN_FOLDS:
        return LATIN_FOLDS[c], "fold"
    base = decomposition_letters(c)
    if base is not None:
        out = ""
        for ch in base:
            if "a" <= ch.lower() <= "z" and ord(ch) < 0x80:
                out += ch.lower()
                continue
            inner = fold_latin(ch, {}) if name_of(ch).startswith("LATIN ") else None
            if inner is None:
                left_out[ord(c)] = "decomposes to %s, which has no reading" % name_of(ch)
                return None
            out += inner[0]
        if 1 <= len(out) <= 4:
            return out, "decomposition"
        left_out[ord(c)] = "its decomposition gives %d letters" % len(out)
        return None
    match = LATIN_NAME.match(name_of(c))
    if match:
        return match.group(1).lower(), "name"
    left_out[ord(c)] = "no ASCII reading"
    return None


def add_latin(rows, left_out):
    for cp in range(0x41, 0x5B):
        rows[cp] = Row(ASCII_LETTER, chr(cp).lower())
        rows[cp + 0x20] = Row(ASCII_LETTER, chr(cp).lower())
    for cp in code_points(LATIN_BLOCKS):
        c = chr(cp)
        if not is_letter(c) or not name_of(c).startswith("LATIN "):
            continue
        folded = fold_latin(c, left_out)
        if folded is not None:
            rows[cp] = Row(FOLDED_LETTER, folded[0], how=folded[1])
    for cp in code_points(COMPATIBILITY_BLOCKS):
        base = decomposition_letters(chr(cp))
        assert base is not None and len(base) == 1 and base[0].isascii(), hex(cp)
        rows[cp] = Row(FOLDED_LETTER, base[0].lower(), how="decomposition")


def add_marks(rows):
    for cp in code_points(MARK_BLOCKS):
        if unicodedata.category(chr(cp)) in ("Mn", "Me"):
            rows[cp] = Row(MARK)


def base_and_marks(c):
    nfkd = unicodedata.normalize("NFKD", c)
    return nfkd[0], nfkd[1:]


def add_greek(rows, left_out):
    for cp in code_points(GREEK_BLOCKS):
        c = chr(cp)
        if not is_letter(c):
            continue
        base, marks = base_and_marks(c)
        value = GREEK_LETTERS.get(base.lower())
        if value is None or not all(unicodedata.category(m) == "Mn" for m in marks):
            left_out[cp] = "not a letter of today's Greek alphabet"
            continue
        letters, flags, role = (value + ("kRoleNone",))[:3]
        flags = list(flags)
        if "\u0308" in marks:
            flags.append(DIALYTIKA)
        if any(m != "\u0308" for m in marks):
            flags.append(ACCENTED)
        rows[cp] = Row(FOLDED_LETTER, letters, flags, role,
                       "letter" if c.lower() == base.lower() else "decomposition")


def cyrillic_name(c):
    return name_of(c).replace("CYRILLIC SMALL LETTER ", "").replace("CYRILLIC CAPITAL LETTER ",
                                                                     "")


def add_cyrillic(rows, left_out):
    by_name = {cyrillic_name(c): value for c, value in CYRILLIC_LETTERS.items()}
    for cp in code_points([CYRILLIC_BLOCK]):
        c = chr(cp)
        if not is_letter(c):
            continue
        value = CYRILLIC_LETTERS.get(c.lower())
        if value is not None:
            letters, flags, role = (value + ("kRoleNone",))[:3]
            rows[cp] = Row(FOLDED_LETTER, letters, flags, role, "letter")
            continue
        # A letter with marks reads as its base letter, with none of the word's rules
        # (the Macedonian e with grave is plain e).
        base, marks = base_and_marks(c)
        how = "decomposition"
        value = CYRILLIC_LETTERS.get(base.lower()) if marks else None
        if value is None:
            match = re.match(r"^(.*) WITH .*$", cyrillic_name(c))
            value = by_name.get(match.group(1)) if match else None
            how = "name"
        if value is None:
            left_out[cp] = "no letter of the table to read it as"
            continue
        flags = [f for f in value[1] if f == SOFTENS_YE]
        rows[cp] = Row(FOLDED_LETTER, value[0], flags, how=how)


def make_rows():
    rows, left_out = {}, {}
    add_latin(rows, left_out)
    add_marks(rows)
    add_greek(rows, left_out)
    add_cyrillic(rows, left_out)
    return rows, left_out


def comment_of(cp):
    c = chr(cp)
    shown = c if unicodedata.category(c)[0] != "M" else "\u25cc" + c
    return "%s %s" % (shown, name_of(c))


def render(rows):
    out = [
        "// Generated by tools/make_letter_folds.py from the Unicode Character Database %s"
        % unicodedata.unidata_version,
        "// (Python's unicodedata) and the romanisations the script describes (BGN/PCGN for",
        "// Cyrillic, ELOT 743 for Greek). Do not edit: change the script and run",
        "//   python3 tools/make_letter_folds.py",
        "// which rewrites this file. One row per code point that is not a separator, in code",
        "// point order: code point, class, letters, flags, role. Read by letter_fold.cpp only.",
        "// The Unicode Character Database is Unicode, Inc.'s, used under the Unicode License",
        "// (https://www.unicode.org/license.txt).",
        "",
        'constexpr char kLetterFoldsUnicodeVersion[] = "%s";' % unicodedata.unidata_version,
        "",
        "constexpr LetterFoldRow kLetterFoldRows[] = {",
    ]
    for cp in sorted(rows):
        row = rows[cp]
        flags = " | ".join(row.flags) if row.flags else "0"
        how = " (by its %s)" % row.how if row.how in ("decomposition", "name") else ""
        out.append('    {0x%04X, LetterClass::%s, "%s", %s, %s},  // %s%s'
                   % (cp, row.cls, row.letters, flags, row.role, comment_of(cp), how))
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--output", default=DEFAULT_OUTPUT,
                        help="where to write the table (default: %(default)s)")
    parser.add_argument("--any-unicode-version", action="store_true",
                        help="write the table from another Unicode version than %s"
                        % UNICODE_VERSION)
    parser.add_argument("--left-out", action="store_true",
                        help="list the letters of the covered blocks left out, and why")
    args = parser.parse_args()

    version = unicodedata.unidata_version
    if version != UNICODE_VERSION:
        if not args.any_unicode_version:
            sys.exit("make_letter_folds.py: this Python's unicodedata is Unicode %s, the "
                     "table is made from %s (Python 3.11); run it with Python 3.11, or give "
                     "--any-unicode-version to make it from %s" % (version, UNICODE_VERSION,
                                                                  version))
        print("make_letter_folds.py: warning: writing the table from Unicode %s, not %s"
              % (version, UNICODE_VERSION), file=sys.stderr)

    rows, left_out = make_rows()
    text = render(rows)
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    folded = sum(1 for row in rows.values() if row.cls == FOLDED_LETTER)
    print("make_letter_folds.py: Unicode %s: %d folded letters, %d marks, %d letters left "
          "out; wrote %s" % (version, folded, sum(1 for r in rows.values() if r.cls == MARK),
                             len(left_out), args.output))
    if args.left_out:
        for cp in sorted(left_out):
            print("U+%04X %s: %s" % (cp, comment_of(cp), left_out[cp]))


if __name__ == "__main__":
    main()
