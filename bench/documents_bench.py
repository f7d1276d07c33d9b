#!/usr/bin/env python3
"""Times tessik-cli --records over 1,000 .docx files of a few pages each (about 2,000 words
of the King James text in each, in paragraphs of runs of a few words, as a word processor
writes them) against the same text as 1,000 .txt files, with the same search, and checks
that the documents take at most three times as long. The files are made once in
bench/data/documents/ (docx/ and txt/), from bench/data/big/kjv.txt (bench/build_corpus.sh).
Each search runs TESSIK_BENCH_RUNS times (default 5), the page cache warm; the best wall time
counts. Exit status 1 when the target is missed. Where documents_floor stands beside
tessik-cli (a build with the benchmarks), it is timed too, on one thread and on two: the
libraries' expanding and parsing of the same documents alone, which no search of them can
go below.

  bench/documents_bench.py [BUILD_DIR]    (default build/)
"""
import os
import resource
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
FILES = 1000
WORDS_A_FILE = 2000
WORDS_A_PARAGRAPH = 60
WORDS_A_RUN = 7
TARGET = 3.0
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def make(folder):
    source = os.path.join(HERE, "data", "big", "kjv.txt")
    if not os.path.exists(source):
        subprocess.run([os.path.join(HERE, "build_corpus.sh"), os.path.join(HERE, "data")],
                       check=True)
    with open(source, encoding="latin-1") as f:
        words = f.read().split()
    done = os.path.join(folder, "done")
    if os.path.exists(done):
        return
    for kind in ("docx", "txt"):
        os.makedirs(os.path.join(folder, kind), exist_ok=True)
    at = 0
    for i in range(FILES):
        chunk = words[at:at + WORDS_A_FILE]
        at = (at + WORDS_A_FILE) % (len(words) - WORDS_A_FILE)
        paragraphs = [chunk[p:p + WORDS_A_PARAGRAPH] for p in range(0, len(chunk), WORDS_A_PARAGRAPH)]
        with open(os.path.join(folder, "txt", "doc%04d.txt" % i), "w", encoding="utf-8") as f:
            for paragraph in paragraphs:
                f.write(" ".join(paragraph) + "\n")
        body = []
        for paragraph in paragraphs:
            runs = [paragraph[r:r + WORDS_A_RUN] for r in range(0, len(paragraph), WORDS_A_RUN)]
            body.append("<w:p><w:pPr><w:spacing w:after=\"120\"/></w:pPr>" + "".join(
                '<w:r><w:rPr><w:rFonts w:ascii="Calibri"/><w:sz w:val="22"/></w:rPr>'
                '<w:t xml:space="preserve">%s </w:t></w:r>' % escape(" ".join(run)) for run in runs)
                + "</w:p>")
        with zipfile.ZipFile(os.path.join(folder, "docx", "doc%04d.docx" % i), "w",
                             zipfile.ZIP_DEFLATED) as z:
            z.writestr("[Content_Types].xml", "<Types/>")
            z.writestr("word/document.xml", '<?xml version="1.0" encoding="UTF-8"?>'
                       "<w:document %s><w:body>%s</w:body></w:document>" % (W, "".join(body)))
    open(done, "w").close()


def best_of(command, runs):
    """The best wall time and the best processor time (user and system) of `runs` runs of
    `command`, and what it printed."""
    times, cpu = [], []
    out = None
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        started = time.perf_counter()
        result = subprocess.run(command, capture_output=True)
        times.append(time.perf_counter() - started)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
        out = result.stdout
    return min(times), min(cpu), out


def best(cli, spec, query, runs):
    """The best wall time and processor time of a search, and the lines it printed."""
    wall, cpu, out = best_of([cli, "--records", spec] + query.split(), runs)
    return wall, cpu, out.count(b"\n")


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build")
    cli = os.path.join(build, "bin", "tessik-cli")
    runs = int(os.environ.get("TESSIK_BENCH_RUNS", "5"))
    folder = os.path.join(HERE, "data", "documents")
    make(folder)
    failed = False
    print("| search | .txt wall (cpu) | .docx wall (cpu) | ratio wall (cpu) | target |")
    print("|---|---|---|---|---|")
    for query in ("Moses", "Pharaoh A Egypt"):
        txt, txt_cpu, txt_lines = best(cli, os.path.join(folder, "txt", "*.txt"), query, runs)
        docx, docx_cpu, docx_lines = best(cli, os.path.join(folder, "docx", "*.docx"), query,
                                          runs)
        ratio = docx / txt
        met = ratio <= TARGET
        failed = failed or not met
        print("| %s (%d / %d lines) | %.3f s (%.3f s) | %.3f s (%.3f s) | %.1f (%.1f) | <= %.1f %s |"
              % (query, txt_lines, docx_lines, txt, txt_cpu, docx, docx_cpu, ratio,
                 docx_cpu / max(txt_cpu, 1e-6), TARGET, "met" if met else "MISSED"))
    floor = os.path.join(build, "bin", "documents_floor")
    if os.path.exists(floor):
        txt, txt_cpu, _ = best(cli, os.path.join(folder, "txt", "*.txt"), "Moses", runs)
        for threads in (1, 2):
            wall, cpu, _ = best_of([floor, os.path.join(folder, "docx"), str(threads)], runs)
            print("| the libraries alone, %d thread%s | %.3f s (%.3f s) | %.3f s (%.3f s) | "
                  "%.1f (%.1f) | |" % (threads, "" if threads == 1 else "s", txt, txt_cpu, wall,
                                       cpu, wall / txt, cpu / max(txt_cpu, 1e-6)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
