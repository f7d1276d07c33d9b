#!/usr/bin/env python3
"""Whether a Daitch-Mokotoff search should also code the query word's spelling variants.

For each group of spellings of one name below, every spelling is the query once and the
others are what it should find: a pair is found when the query's codes and the other
spelling's codes share one. The cost is measured on the surnames of the benchmark corpus's
register (census surnames, almost all of them different names): how many of them the query
matches on average. Both are measured with the query's own codes alone and with the codes
of its spelling variants added, and for comparison with a search by the program's own
method. Codes, variants and searches come from tessik-cli itself.

Usage: bench/dm_variants.py TESSIK_CLI [CORPUS_FILE]
"""
import os
import re
import subprocess
import sys
import tempfile

# Spellings of one name: the published Daitch-Mokotoff examples, and spellings of one name
# as German, Polish, Czech, Hungarian, Russian and English records write it.
GROUPS = [
    "Moskowitz Moskovitz Moskovits Moszkowicz",
    "Auerbach Ohrbach Uhrbach Awerbach",
    "Lipshitz Lippszyc Lipschitz Lipszyc Lipsic",
    "Kohn Cohn Kahn Kon",
    "Schwarzenegger Shwarzenegger Schwartsenegger",
    "Grosstadt Grostadt",
    "Schwarz Szwarc Shwartz Schwartz Svarc",
    "Kowalski Kovalsky Kowalsky Kovalski",
    "Wisniewski Vishnevsky Wischnewski Visnevski",
    "Szymanski Shimansky Schimanski Simanski",
    "Rabinowitz Rabinovich Rabinowicz Rabinovitch",
    "Horowitz Gurevich Hurwitz Horovitz",
    "Jablonski Yablonsky Jablonsky",
    "Chaim Haim Khaim Hayim",
    "Zajac Zajonc Sajac",
    "Czerny Tscherny Cerny Chernyi",
    "Schneider Szneider Shnaider Sznajder",
    "Weiss Vays Weis Wajs",
    "Kaplan Kaplun Caplan",
    "Feldman Feldmann Fel'dman",
    "Mueller Muller Miller Mjuller",
    "Kaczmarek Katschmarek Kachmarek",
]


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True, check=True).stdout


def codes_of(cli, word):
    line = run(cli, "--method=dm", "--explain", word).splitlines()[1]
    return set(line.split("\t", 1)[1].split())


def variants_of(cli, word):
    return [line.split("\t")[1] for line in run(cli, "--explain", word).splitlines()
            if line.startswith("variant\t")]


def main():
    cli = sys.argv[1]
    corpus = sys.argv[2] if len(sys.argv) > 2 else "bench/data/mixed/big/text.txt"
    surnames = set()
    with open(corpus, encoding="ascii", errors="replace") as text:
        for line in text:
            if line.startswith("Reg"):
                surnames.update(re.findall(r"[A-Z][a-z]+ ([A-Z][a-z]+)[,.]", line))
    cache = {}

    def codes(word):
        if word not in cache:
            cache[word] = codes_of(cli, word)
        return cache[word]

    # Every spelling and surname on a line of its own, for the searches by the own method.
    words = sorted({s.replace("'", "") for g in GROUPS for s in g.split()} | surnames)
    listing = tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False)
    listing.write("\n".join(words) + "\n")
    listing.close()

    def own_method(query):
        lines = run(cli, listing.name, query).splitlines()
        return {line.split("\t", 1)[0] for line in lines}

    survey = {"D-M own codes": [0, 0, 0], "D-M + variants": [0, 0, 0], "own method": [0, 0, 0]}
    for group in GROUPS:
        spellings = [s.replace("'", "") for s in group.split()]
        for query in spellings:
            own = codes(query)
            widened = set(own)
            for variant in variants_of(cli, query):
                widened |= codes(variant)
            for name, wanted in (("D-M own codes", own), ("D-M + variants", widened)):
                found = sum(1 for other in spellings if other != query and codes(other) & wanted)
                survey[name][0] += found
                survey[name][1] += len(spellings) - 1
                survey[name][2] += sum(1 for s in surnames if codes(s) & wanted)
            heard = own_method(query)
            survey["own method"][0] += sum(1 for o in spellings if o != query and o in heard)
            survey["own method"][1] += len(spellings) - 1
            survey["own method"][2] += len(heard & surnames)
    os.unlink(listing.name)
    queries = sum(len(g.split()) for g in GROUPS)
    print(f"{len(GROUPS)} groups, {queries} queries; {len(surnames)} census surnames")
    for name, (found, pairs, matched) in survey.items():
        print(f"{name:15} finds {found}/{pairs} pairs ({100.0 * found / pairs:.1f}%), "
              f"matches {matched / queries:.1f} census surnames per query")


if __name__ == "__main__":
    main()
