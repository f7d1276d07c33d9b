#!/usr/bin/env python3
"""Learns the tables of the scored method (phonetic/scored_tables.inc) from labeled name pairs.

  learn.py [--data DIR] [--output FILE] [--check] [--no-cv] [--try NAME=VALUE]...

How two names are scored, here and in phonetic/scored_name.cpp alike:

 1. They are aligned letter by letter at the least cost, with fixed costs of how names are
    heard: a vowel for a vowel is cheap, two letters of one sound group (b p, c k g q x,
    d t, m n ...) are cheap, a vowel, h or w put in or left out is cheap, a letter doubled
    or undoubled is cheaper still, two neighbours swapped is cheap, anything else costs
    more. Ties go to the first of: keep or replace, drop a letter of the first name, add a
    letter of the second, swap.
 2. Every operation of the alignment that is not a kept letter is counted in features: its
    kind and where it stands (the first letter, the last two, the middle), the classes of
    its letters, the letters themselves (for the pairs and letters that are common in the
    training pairs), and the length of the shorter name. The pair itself gives a constant,
    the sum of the two lengths and whether the two have the same Soundex key (the program's
    key coding of both as they stand).
 3. The score is the sum of the weights of those features, in integers (the learned
    weights times kScale, rounded); two names match when it reaches the threshold.

The weights are a logistic regression of the label on the features, fitted by gradient
descent (Adam, a fixed number of steps from zero: nothing random, the same file every time)
on the surname pairs, every weight of an operation held at zero or below, so that an
operation never helps a match. The threshold is the lowest score at which, on the training
surname pairs, the wrong share stays within SURNAME_WRONG. The given names are not fitted
(their wrong pairs are mostly a name's form for the other sex, charles and charla, which
spelling cannot tell apart: fitted with them, the model gives up surname matches for
little); they are measured.

Before it writes the tables, it cross-validates the whole of that by name: the names (the
first name of each pair) are cut into two halves by a checksum of the name, the model and
its threshold are learned on the pairs of one half and measured on the pairs of the other,
and the other way round; it prints the recall (the share of "same" pairs that match) and
the wrong share (the share of "wrong" pairs that match) over both held-out halves, for the
surnames and the given names. --no-cv leaves that out.

--check learns the tables and compares them with the committed file instead of writing it:
exit status 1 when they differ, 77 when the training files are not there. --try sets one
of the upper-case settings below for a trial (with --output elsewhere: the committed tables
use the settings as written). Python 3 standard library only. The training files are
../shared/data/name-pairs/*-train.csv from the repository (--data to give another folder);
nothing else is learned from.
"""

import argparse
import ast
import bisect
import csv
import math
import os
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_DATA = os.path.join(os.path.dirname(ROOT), "shared", "data", "name-pairs")
DEFAULT_OUTPUT = os.path.join(ROOT, "phonetic", "scored_tables.inc")
FILES = (("surnames", "surnames-train.csv"), ("given names", "given-names-train.csv"))

# Letter classes: a feature names the class of a letter, so that a rare letter pair still
# shares a weight with its kind.
CLASSES = ("aeiouy", "hw", "bpfv", "cgjkqx", "sz", "dt", "mn", "lr")
# Sound groups: two different letters of one group replace each other cheaply.
GROUPS = ("aeiouy", "bp", "fv", "ckgqx", "csz", "sxz", "dt", "mn", "gj", "vw", "lr", "fp")

# Alignment costs.
COST_SUB_VOWELS = 2
COST_SUB_GROUP = 3
COST_SUB_OTHER = 6
COST_INDEL_DOUBLED = 1
COST_INDEL_LIGHT = 2  # a vowel, h or w
COST_INDEL_OTHER = 5
COST_SWAP = 3

# Operation kinds and positions.
KINDS = ("replace", "indel", "doubled", "swap")
POSITIONS = ("first", "middle", "last two")
LENGTH_BUCKETS = ("short", "5-6", "7-8", "long")  # the shorter name: <= 4, 5-6, 7-8, 9+
FINE_PAIRS = 200  # the most common replaced letter pairs that get a weight of their own
SCALE = 64
# How much a pair of each file counts in the fit: the surnames, the given names (see above).
SHARES = (1.0, 0.0)
SURNAME_WRONG = 0.178
STEPS = 800
RATE = 0.05
L2 = 1e-4
LIGHT = "aeiouyhw"
MAX_LETTERS = 62  # letters beyond are not scored
# Pairs whose scores the tables carry, so that the program's scorer is held to this one:
# these, and every EXAMPLE_EVERY-th pair of each training file.
HAND_EXAMPLES = (("johnson", "jonson"), ("smith", "smyth"), ("catherine", "kathryn"),
                 ("meyer", "meier"), ("schmidt", "smith"), ("albert", "thomas"),
                 ("maria", "amria"), ("philip", "phillip"), ("mcdonald", "macdonald"),
                 ("a", "b"), ("ab", "ba"), ("x" * 70, "x" * 66 + "y"))
EXAMPLE_EVERY = 2000

CLASS_OF = {c: k for k, letters in enumerate(CLASSES) for c in letters}
GROUP_MASK = {chr(97 + i): 0 for i in range(26)}
for g, letters in enumerate(GROUPS):
    for c in letters:
        GROUP_MASK[c] |= 1 << g
SOUNDEX_DIGITS = "01230120022455012623010202"
NC = len(CLASSES)
NPAIRS = NC * (NC + 1) // 2


def class_pair(x, y):
    a, b = sorted((CLASS_OF[x], CLASS_OF[y]))
    return a * (2 * NC - a + 1) // 2 + (b - a)


def sub_cost(x, y):
    if x in "aeiouy" and y in "aeiouy":
        return COST_SUB_VOWELS
    if GROUP_MASK[x] & GROUP_MASK[y]:
        return COST_SUB_GROUP
    return COST_SUB_OTHER


def doubled(s, k):
    return (k > 0 and s[k - 1] == s[k]) or (k + 1 < len(s) and s[k + 1] == s[k])


def indel_cost(s, k):
    if doubled(s, k):
        return COST_INDEL_DOUBLED
    return COST_INDEL_LIGHT if s[k] in LIGHT else COST_INDEL_OTHER


def align(a, b):
    """The operations of the least-cost alignment: (kind letter, i, j), kind m s d i t."""
    la, lb = len(a), len(b)
    inf = 1 << 30
    cost = [[inf] * (lb + 1) for _ in range(la + 1)]
    back = [[""] * (lb + 1) for _ in range(la + 1)]
    cost[0][0] = 0
    ins = [indel_cost(b, j) for j in range(lb)]
    for i in range(la + 1):
        row = cost[i]
        up = cost[i - 1] if i else None
        dl = indel_cost(a, i - 1) if i else 0
        for j in range(lb + 1):
            if i == 0 and j == 0:
                continue
            best, how = inf, ""
            if i and j:
                if a[i - 1] == b[j - 1]:
                    best, how = up[j - 1], "m"
                else:
                    best, how = up[j - 1] + sub_cost(a[i - 1], b[j - 1]), "s"
            if i and up[j] + dl < best:
                best, how = up[j] + dl, "d"
            if j and row[j - 1] + ins[j - 1] < best:
                best, how = row[j - 1] + ins[j - 1], "i"
            if (i > 1 and j > 1 and a[i - 1] == b[j - 2] and a[i - 2] == b[j - 1]
                    and a[i - 1] != a[i - 2] and cost[i - 2][j - 2] + COST_SWAP < best):
                best, how = cost[i - 2][j - 2] + COST_SWAP, "t"
            row[j], back[i][j] = best, how
    ops = []
    i, j = la, lb
    while i or j:
        how = back[i][j]
        if how in "ms":
            i, j = i - 1, j - 1
        elif how == "d":
            i -= 1
        elif how == "i":
            j -= 1
        else:
            i, j = i - 2, j - 2
        ops.append((how, i, j))
    ops.reverse()
    return ops


def position(la, lb, i, j, na, nb):
    """Where an operation that uses a[i:i+na] and b[j:j+nb] stands."""
    if (na and i == 0) or (nb and j == 0):
        return 0
    if (na and i + na - 1 >= la - 2) or (nb and j + nb - 1 >= lb - 2):
        return 2
    return 1


def soundex_key(w):
    """The program's key coding of a word as it stands (phonetic/phonetic_key.cpp)."""
    first = w[0]
    key = [first if (SOUNDEX_DIGITS[ord(first) - 97] != "0" or first in "hw") else "0"]
    for j in range(1, len(w)):
        d = SOUNDEX_DIGITS[ord(w[j]) - 97]
        if d != "0" and w[j] != w[j - 1]:
            key.append(d)
            if len(key) == 4:
                break
    return "".join(key).ljust(4, "0")


class Layout:
    """Feature indices. Pair features, then per operation: kind x position, class (pair),
    a fine letter pair or letter, the length bucket."""

    def __init__(self, fine_pairs):
        self.fine_pairs = list(fine_pairs)
        self.fine_index = {p: k for k, p in enumerate(self.fine_pairs)}
        n = 3  # constant, length, same key
        self.kind_pos = n
        n += len(KINDS) * len(POSITIONS)
        self.sub_class = n
        n += NPAIRS
        self.indel_class = n
        n += NC
        self.fine_sub = n
        n += len(self.fine_pairs)
        self.fine_indel = n
        n += 26
        self.bucket = n
        n += len(LENGTH_BUCKETS)
        self.size = n
        self.first_op = self.kind_pos


def bucket_of(m):
    return 0 if m <= 4 else 1 if m <= 6 else 2 if m <= 8 else 3


def op_features(layout, a, b, how, i, j):
    la, lb = len(a), len(b)
    if how == "s":
        kind, pos = 0, position(la, lb, i, j, 1, 1)
        fs = [layout.sub_class + class_pair(a[i], b[j])]
        p = "".join(sorted((a[i], b[j])))
        if p in layout.fine_index:
            fs.append(layout.fine_sub + layout.fine_index[p])
    elif how in "di":
        s, k = (a, i) if how == "d" else (b, j)
        pos = position(la, lb, i, j, 1, 0) if how == "d" else position(la, lb, i, j, 0, 1)
        if doubled(s, k):
            kind, fs = 2, []
        else:
            kind = 1
            fs = [layout.indel_class + CLASS_OF[s[k]], layout.fine_indel + ord(s[k]) - 97]
    else:
        kind, pos, fs = 3, position(la, lb, i, j, 2, 2), []
    fs.append(layout.kind_pos + kind * len(POSITIONS) + pos)
    fs.append(layout.bucket + bucket_of(min(la, lb)))
    return fs


def pair_row(layout, a, b, ops):
    row = {0: 1, 1: len(a) + len(b)}
    if soundex_key(a) == soundex_key(b):
        row[2] = 1
    for how, i, j in ops:
        if how == "m":
            continue
        for f in op_features(layout, a, b, how, i, j):
            row[f] = row.get(f, 0) + 1
    return tuple(sorted(row.items()))


def load(folder):
    sets = []
    for title, name in FILES:
        path = os.path.join(folder, name)
        with open(path, newline="") as f:
            pairs = [(r["name"][:MAX_LETTERS], r["other"][:MAX_LETTERS], r["label"] == "same")
                     for r in csv.DictReader(f)]
        sets.append((title, pairs))
    return sets


def common_pairs(aligned):
    counts = {}
    for a, b, _, ops in aligned:
        for how, i, j in ops:
            if how == "s":
                p = "".join(sorted((a[i], b[j])))
                counts[p] = counts.get(p, 0) + 1
    ranked = sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))
    return sorted(p for p, _ in ranked[:FINE_PAIRS])


def fit(rows, labels, shares, size, free):
    """Logistic regression by Adam over the distinct rows, each pair counting its share;
    weights not in `free` held <= 0."""
    grouped = {}
    for row, label, share in zip(rows, labels, shares):
        g = grouped.setdefault(row, [0.0, 0.0])
        g[0] += share
        g[1] += share * label
    items = list(grouped.items())
    n = sum(shares)
    w = [0.0] * size
    m = [0.0] * size
    v = [0.0] * size
    b1, b2 = 0.9, 0.999
    for step in range(1, STEPS + 1):
        grad = [0.0] * size
        for row, (count, positives) in items:
            z = 0.0
            for f, x in row:
                z += w[f] * x
            if z >= 0:
                p = 1.0 / (1.0 + math.exp(-z))
            else:
                e = math.exp(z)
                p = e / (1.0 + e)
            d = count * p - positives
            for f, x in row:
                grad[f] += d * x
        c1 = 1.0 - b1 ** step
        c2 = 1.0 - b2 ** step
        for f in range(size):
            g = grad[f] / n + (L2 * w[f] if f not in free else 0.0)
            m[f] = b1 * m[f] + (1 - b1) * g
            v[f] = b2 * v[f] + (1 - b2) * g * g
            w[f] -= RATE * (m[f] / c1) / (math.sqrt(v[f] / c2) + 1e-8)
            if f not in free and w[f] > 0.0:
                w[f] = 0.0
    return [int(math.floor(x * SCALE + 0.5)) for x in w]


def score(weights, row):
    return sum(weights[f] * x for f, x in row)


def rates(scores, threshold):
    """(recall, wrong share) of (score, label) pairs at a threshold."""
    same = [s for s, y in scores if y]
    wrong = [s for s, y in scores if not y]
    return (sum(s >= threshold for s in same) / max(1, len(same)),
            sum(s >= threshold for s in wrong) / max(1, len(wrong)))


def choose_threshold(scored_sets):
    """The lowest score at which the surnames' wrong share stays within SURNAME_WRONG."""
    wrong = sorted(s for s, y in scored_sets[0] if not y)
    for t in sorted({s for s, _ in scored_sets[0]}):
        if (len(wrong) - bisect.bisect_left(wrong, t)) / max(1, len(wrong)) <= SURNAME_WRONG:
            return t
    return wrong[-1] + 1


def learn(aligned_sets):
    """The layout, integer weights and threshold learned from [(a, b, label, ops)] lists."""
    everything = [p for pairs in aligned_sets for p in pairs]
    shares = [share for pairs, share in zip(aligned_sets, SHARES) for _ in pairs]
    layout = Layout(common_pairs(everything))
    rows = [pair_row(layout, a, b, ops) for a, b, _, ops in everything]
    weights = fit(rows, [y for _, _, y, _ in everything], shares, layout.size, free={0, 1, 2})
    scored = [[(score(weights, pair_row(layout, a, b, ops)), y) for a, b, y, ops in pairs]
              for pairs in aligned_sets]
    return layout, weights, choose_threshold(scored)


def half_of(name):
    return zlib.crc32(name.encode("ascii")) & 1


def cross_validate(aligned_sets, titles):
    held = [[] for _ in aligned_sets]
    for half in (0, 1):
        train = [[p for p in pairs if half_of(p[0]) != half] for pairs in aligned_sets]
        layout, weights, threshold = learn(train)
        for k, pairs in enumerate(aligned_sets):
            for a, b, y, ops in pairs:
                if half_of(a) == half:
                    held[k].append((score(weights, pair_row(layout, a, b, ops)) - threshold, y))
    print("held-out recall and wrong share around the chosen threshold:")
    for shift in range(-8, 9, 2):
        print("  threshold %+d: " % shift + "; ".join(
            "%s %.3f %.3f" % ((t,) + rates(scores, shift)) for t, scores in zip(titles, held)))
    for title, scores in zip(titles, held):
        recall, wrong = rates(scores, 0)
        print("cross-validated by name, %s: recall %.3f, wrong %.3f (%d pairs)"
              % (title, recall, wrong, len(scores)))


def examples(sets):
    pairs = list(HAND_EXAMPLES)
    for _, data in sets:
        pairs += [(a, b) for a, b, _ in data[::EXAMPLE_EVERY]]
    return pairs


def render(layout, weights, threshold, titles_and_rates, example_pairs):
    w = weights
    out = []
    out.append("// Written by tools/scored/learn.py from the labeled name pairs; do not edit.")
    out.append("// The tables of the scored method: alignment costs, learned weights, threshold.")
    for line in titles_and_rates:
        out.append("// " + line)
    out.append("")
    out.append("constexpr int kScoredScale = %d;" % SCALE)
    out.append("constexpr int kScoredThreshold = %d;" % threshold)
    out.append("")
    out.append("// Alignment costs.")
    for name, value in (("SubVowels", COST_SUB_VOWELS), ("SubGroup", COST_SUB_GROUP),
                        ("SubOther", COST_SUB_OTHER), ("IndelDoubled", COST_INDEL_DOUBLED),
                        ("IndelLight", COST_INDEL_LIGHT), ("IndelOther", COST_INDEL_OTHER),
                        ("Swap", COST_SWAP)):
        out.append("constexpr int kCost%s = %d;" % (name, value))
    out.append("// The class of each letter a to z: %s." % ", ".join(CLASSES))
    out.append("constexpr unsigned char kLetterClass[26] = {%s};"
               % ", ".join(str(CLASS_OF[chr(97 + i)]) for i in range(26)))
    out.append("// The sound groups of each letter a to z, one bit a group: %s."
               % ", ".join(GROUPS))
    out.append("constexpr unsigned short kLetterGroups[26] = {%s};"
               % ", ".join(str(GROUP_MASK[chr(97 + i)]) for i in range(26)))
    out.append("// A vowel, h or w: light to put in or leave out.")
    out.append("constexpr unsigned kLightLetters = 0x%x;"
               % sum(1 << (ord(c) - 97) for c in LIGHT))
    out.append("")
    out.append("// Weights of the pair: the constant, each letter of both names, the same key.")
    out.append("constexpr int kWeightConstant = %d;" % w[0])
    out.append("constexpr int kWeightLength = %d;" % w[1])
    out.append("constexpr int kWeightSameKey = %d;" % w[2])
    out.append("// Weights of an operation by kind (replace, put in or leave out, a doubled")
    out.append("// letter, a swap) and position (the first letter, the middle, the last two).")
    rows = []
    for k in range(len(KINDS)):
        rows.append("{%s}" % ", ".join(str(w[layout.kind_pos + k * len(POSITIONS) + p])
                                        for p in range(len(POSITIONS))))
    out.append("constexpr int kWeightKindPosition[%d][%d] = {%s};"
               % (len(KINDS), len(POSITIONS), ", ".join(rows)))
    out.append("// A replacement by the classes of its two letters, the lower class first.")
    rows = []
    for x in range(NC):
        cells = []
        for y in range(NC):
            a, b = min(x, y), max(x, y)
            cells.append(str(w[layout.sub_class + a * (2 * NC - a + 1) // 2 + (b - a)]))
        rows.append("{%s}" % ", ".join(cells))
    out.append("constexpr int kWeightReplaceClasses[%d][%d] = {" % (NC, NC))
    for r in rows:
        out.append("    %s," % r)
    out.append("};")
    out.append("// A letter put in or left out, by its class and by the letter.")
    out.append("constexpr int kWeightIndelClass[%d] = {%s};"
               % (NC, ", ".join(str(w[layout.indel_class + c]) for c in range(NC))))
    out.append("constexpr int kWeightIndelLetter[26] = {%s};"
               % ", ".join(str(w[layout.fine_indel + c]) for c in range(26)))
    out.append("// By the length of the shorter name: up to 4, 5-6, 7-8, 9 and more.")
    out.append("constexpr int kWeightShorterLength[%d] = {%s};"
               % (len(LENGTH_BUCKETS), ", ".join(str(w[layout.bucket + k])
                                                 for k in range(len(LENGTH_BUCKETS)))))
    out.append("// A replacement of one of these letter pairs (in alphabetical order) by the pair.")
    out.append("struct ScoredLetterPair {")
    out.append("  char Letters[3];")
    out.append("  int Weight;")
    out.append("};")
    out.append("constexpr ScoredLetterPair kWeightLetterPairs[%d] = {" % len(layout.fine_pairs))
    items = ['{"%s", %d}' % (p, w[layout.fine_sub + k]) for k, p in enumerate(layout.fine_pairs)]
    for k in range(0, len(items), 8):
        out.append("    " + ", ".join(items[k:k + 8]) + ",")
    out.append("};")
    out.append("")
    out.append("// Scores this script gives, for the tests.")
    out.append("struct ScoredExample {")
    out.append("  const char* Query;")
    out.append("  const char* Word;")
    out.append("  int Score;")
    out.append("};")
    out.append("constexpr ScoredExample kScoredExamples[%d] = {" % len(example_pairs))
    for a, b in example_pairs:
        ta, tb = a[:MAX_LETTERS], b[:MAX_LETTERS]
        s = score(weights, pair_row(layout, ta, tb, align(ta, tb)))
        out.append('    {"%s", "%s", %d},' % (a, b, s))
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--data", default=DEFAULT_DATA)
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--no-cv", action="store_true")
    # For trying other settings by hand; the committed tables use the defaults.
    parser.add_argument("--try", dest="tries", action="append", default=[],
                        metavar="NAME=VALUE")
    args = parser.parse_args()
    for item in args.tries:
        name, value = item.split("=", 1)
        if name not in globals() or not name.isupper():
            parser.error("--try: no setting %s" % name)
        globals()[name] = ast.literal_eval(value)
    started = time.time()
    if not all(os.path.exists(os.path.join(args.data, f)) for _, f in FILES):
        print("learn.py: the training files are not in %s" % args.data, file=sys.stderr)
        return 77
    sets = load(args.data)
    titles = [t for t, _ in sets]
    aligned = [[(a, b, y, align(a, b)) for a, b, y in pairs] for _, pairs in sets]
    if not args.check and not args.no_cv:
        cross_validate(aligned, titles)
    layout, weights, threshold = learn(aligned)
    summary = []
    for (title, _), pairs in zip(sets, aligned):
        recall, wrong = rates([(score(weights, pair_row(layout, a, b, ops)), y)
                               for a, b, y, ops in pairs], threshold)
        summary.append("On all the training pairs, %s: recall %.3f, wrong %.3f."
                       % (title, recall, wrong))
    text = render(layout, weights, threshold, summary, examples(sets))
    if args.check:
        try:
            with open(args.output) as f:
                committed = f.read()
        except OSError:
            committed = None
        if committed != text:
            print("learn.py: %s is not what the training pairs give; run tools/scored/learn.py"
                  % args.output, file=sys.stderr)
            return 1
        print("learn.py: %s is up to date (%.0f s)" % (args.output, time.time() - started))
        return 0
    with open(args.output, "w") as f:
        f.write(text)
    for line in summary:
        print(line)
    print("%d weights and a threshold; written to %s in %.0f s"
          % (layout.size, args.output, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
