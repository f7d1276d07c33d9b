#!/usr/bin/env python3
"""A second, independent coding of the query-word rules, used as a cross-check of the C++
coder (a tool, not run by CTest).

  reference_coder.py WORD...         prints what `tessik-cli --explain WORD` prints
  reference_coder.py --compare CMD   reads words from stdin, runs CMD with them and reports
                                     every word on which the two disagree, e.g.
      reference_coder.py --compare build/bin/tessik-cli --explain < words.txt
"""
import subprocess
import sys

DIGITS = {}
for letters, digit in (("aehiouwy", "0"), ("bfpv", "1"), ("cgjkqsxz", "2"), ("dt", "3"),
                       ("l", "4"), ("mn", "5"), ("r", "6")):
    for letter in letters:
        DIGITS[letter] = digit


def lower(term):
    out = []
    for ch in term:
        b = ord(ch)
        signed = b - 256 if b >= 128 else b
        out.append(chr((b + 0x20) & 0xFF) if signed < 0x5B else ch)
    return "".join(out)


def key(word):
    k = ["0", "0", "0", "0"]
    if not word:
        return "".join(k)
    first = word[0]
    if DIGITS[first] != "0" or first in "wh":
        k[0] = first
    n = 1
    for j in range(1, len(word)):
        d = DIGITS[word[j]]
        if d != "0" and word[j] != word[j - 1]:
            k[n] = d
            n += 1
            if n == 4:
                break
    return "".join(k)


def normalise(term):
    low = lower(term)
    n = len(low)

    def ch(i):
        return low[i] if i < n else ""

    out = ["f" if ch(0) == "p" and ch(1) == "h" else ch(0)]
    i = 1
    while i < n:
        c, nxt, prev = low[i], ch(i + 1), low[i - 1]
        marked = ((c == "c" and nxt == "k")
                  or (c == "c" and prev in ("x", "s") and nxt in ("e", "i", "y"))
                  or (c == "s" and prev == "x")
                  or c == nxt)
        if not marked:
            out.append(c)
        elif i != 1 and c == "j" and prev != "d":
            out.append("hj")
        elif c == "x":
            out.append("ks")
            i += 1
        i += 1
    return "".join(out)[:255]


def first_letter(w):
    """Returns (base spelling, alternative spelling or None)."""
    a0, a1, a2 = (w + "\0\0\0")[:3]
    if a0 in "sc" and a1 in "eiy":
        return "s" + w[1:], "c" + w[1:]
    if a0 in "gj" and a1 in "eiy":
        return "g" + w[1:], "j" + w[1:]
    if a0 == "s" and a1 == "h":
        return w, "sc" + w[2:]
    if a0 == "c":
        return w, "k" + w[1:]
    if a0 == "z" and a1 == "h":
        return w, None
    if a0 == "x":
        return "xh" + w[1:], "ks" + w[1:]
    if a0 == "z":
        return w, "x" + w[1:]
    if a0 == "g" and a1 == "z":
        return w, "xh" + w[2:]
    if a0 != "k":
        return w, None
    if a1 == "s" and a2 != "h":
        return w, "xh" + w[2:]
    if a1 in "eiy":
        return w, None
    return w, "c" + w[1:]


def family(base):
    """The eight spellings of a family and its number of variants."""
    slots = [list(base) for _ in range(8)]

    def b(i):
        return base[i] if 0 <= i < len(base) else ""

    count = 0
    p = 1
    while p < len(base) and count < 3:
        c = base[p]
        edits = None
        if c == "c" and b(p + 1) == "h" and b(p - 1) != "t":
            edits = {p: "t", p + 1: "c"}
        elif c == "s" and b(p + 1) == "h":
            edits = {p + 1: "c"}
        elif c == "t" and b(p + 1) == "i" and b(p + 2) in ("a", "o", "u") and b(p - 1) != "s":
            edits = {p: "s"}
        elif c == "j" and b(p - 1) != "d":
            edits = {p - 1: "d"}
        elif c in "gk" and b(p + 1) in ("z", "s"):
            edits = {p: "x", p + 1: "h"}
        if edits is not None:
            bit = 1 << count
            count += 1
            if p <= 60:
                for offset in range(8):
                    if offset & bit:
                        for pos, letter in edits.items():
                            slots[offset][pos] = letter
        p += 1
    return ["".join(s)[:62] for s in slots], 1 << count


def variants(normalised):
    w = normalised[:62]
    base, alternative = first_letter(w)
    base_slots, n = family(base)
    if alternative is None:
        return base_slots[:n]
    if n == 1:
        return [base_slots[0], alternative[:62]]
    alt_slots, m = family(alternative)
    return base_slots[:m] + alt_slots[:m]


def explain(term):
    normalised = normalise(term)
    spellings = variants(normalised)
    keys = [key(s) for s in spellings]
    distinct = []
    for k in keys:
        if k not in distinct:
            distinct.append(k)
    lines = ["normalised\t" + normalised]
    lines += ["variant\t%s\t%s" % (s, k) for s, k in zip(spellings, keys)]
    lines.append("keys\t" + " ".join(distinct))
    return "\n".join(lines) + "\n"


def compare(command):
    words = [line.strip() for line in sys.stdin if line.strip()]
    differences = 0
    # `tessik-cli --explain` takes one word per call; a driver that takes many words and
    # separates their explanations by a blank line is much faster.
    batch = 1 if command[-1] == "--explain" else 500
    for start in range(0, len(words), batch):
        chunk = words[start:start + batch]
        result = subprocess.run(command + chunk, capture_output=True, text=True, check=False)
        blocks = result.stdout.rstrip("\n").split("\n\n")
        for index, word in enumerate(chunk):
            got = blocks[index] + "\n" if index < len(blocks) else ""
            want = explain(word)
            if got != want:
                differences += 1
                if differences <= 20:
                    print("DIFFERENCE for %s\n--- C++\n%s--- reference\n%s" % (word, got, want))
    print("compared %d words, %d differences" % (len(words), differences))
    return 1 if differences else 0


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--compare":
        sys.exit(compare(sys.argv[2:]))
    for arg in sys.argv[1:]:
        sys.stdout.write(explain(arg))
