#!/usr/bin/env python3
"""A second, independent model of what tessik-cli does, written from the behaviour the
program promises rather than from its code; compare.py runs both and reports differences
(a tool, not run by CTest).

  tessik_model.py [-s|--subdirs] [--log FILE] [--] SPEC [QUERY...]

prints what tessik-cli prints, exits with its status and writes the same log.
"""
import functools
import os
import re
import stat
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "phonetic"))
import reference_coder  # noqa: E402  (query-word normalisation, variants and key coding)

FILE_SET_CAPACITY = 61440
RESULT_LIST_CAPACITY = 61440
DIRECTORY_QUEUE_CAPACITY = 5120
UNOPENED_CAPACITY = 1024
CHUNK = 65536

MSG_NO_FILES = (b"No files were found that correspond to   \nthe search pattern that you entered\n"
                b"as the 'Search in:' string. Please\ncheck the filename and/or directory.")
MSG_NO_FILES_SUBDIRS = (b"No files were found that correspond    \nto the search pattern that you "
                        b"entered\nas the  'Search in:'  string. Please\ncheck the filename "
                        b"and/or directory.")
MSG_REFUSED = {
    -10: b"The string to search for  that  you   \nentered contains invalid characters.\n"
         b"Please change  it  and  try again.",
    -2: b"A logical operator cannot be followed\nby another logical operator. Please\n"
        b"change the expression appropriately.    ",
    -3: b"A logical operator cannot be placed    \nat the  end  of  an  expression or a\n"
        b"subexpression.  Please  change  the\nsearch string appropriately.",
}
MSG_LOG_CREATE = b" System error.\n File could not be created. "
MSG_LOG_WRITE = b" System error.\n Could not write to file. "

LETTERS = set(range(ord("A"), ord("Z") + 1)) | set(range(ord("a"), ord("z") + 1))
OPERATORS = b"ANOXanox"
WORD_RUN = re.compile(rb"[A-Za-z0-9^_`]+")
RUN_BYTES = frozenset(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789^_`")
READ_SIZE = 65536 * 256
LONGEST_TEXT = 255  # of a list entry, and of what the search reads of its two fields

USAGE = (b"usage: tessik-cli [-s|--subdirs] [--method=METHOD] [--encoding=auto] [--given-names]\n"
         b"                  [--records] [--log FILE] [--vimgrep|--json] [--sort=score]\n"
         b"                  [-j N|--threads=N] [--] SPEC [QUERY...]\n"
         b"       tessik-cli [--method=METHOD] [--encoding=auto] [--given-names] --explain WORD\n"
         b"       tessik-cli --method=scored [--encoding=auto] --explain WORD OTHER\n"
         b"       tessik-cli --version\n"
         b"\n"
         b"Searches the files that match SPEC (a directory part and a pattern such as\n"
         b"/home/me/notes/*.txt) for words that sound like QUERY, an expression of words\n"
         b"joined by A (and), O (or), N (and not) and X (exclusive or). Without QUERY the\n"
         b"matching files are listed. SPEC and QUERY hold at most 255 characters each.\n"
         b"\n"
         b"  -s, --subdirs   include the subdirectories below the directory of SPEC\n"
         b"  --method=METHOD how words are heard: soundex (the default: the Soundex keys of\n"
         b"                  the word and of its spelling variants), dm (Daitch-Mokotoff\n"
         b"                  Soundex, for names from Central and Eastern Europe) or scored\n"
         b"                  (a word matches when its score, an edit distance weighed by\n"
         b"                  what is learned from labeled name pairs, reaches a threshold;\n"
         b"                  each word found shows its score)\n"
         b"  --encoding=auto read UTF-8, UTF-16 and Windows-1252 text, with accented, Cyrillic\n"
         b"                  and Greek letters read as a-z, in the files and in QUERY; the\n"
         b"                  default, ascii, reads the letters A-Z alone\n"
         b"  --given-names   a given name finds its family: its nicknames and the names a\n"
         b"                  nickname stands for (Bill, William), heard by METHOD; the Latin\n"
         b"                  forms of registers with their case endings (Gulielmi), heard too;\n"
         b"                  and the abbreviations of records (Wm, Jno), matched as written.\n"
         b"                  Lines of your own: NAME: EQUIVALENT... in the file\n"
         b"                  given-names.txt of the settings folder (~/.config/tessik/;\n"
         b"                  %APPDATA%\\Tessik\\ on Windows)\n"
         b"  --records       read GEDCOM files (first line 0 HEAD) in the character set their\n"
         b"                  header names, CONC lines joined, and .docx, .odt and .epub\n"
         b"                  documents as their paragraphs, one line each; their letters\n"
         b"                  are read with accents folded; --json names a GEDCOM word's record\n"
         b"  --log FILE      write the search log to FILE after the search\n"
         b"  --vimgrep       print PATH:LINE:COLUMN:WORD for each word found, or the full path\n"
         b"                  of each file listed, instead of the result lines\n"
         b"  --json          print JSON Lines: a \"match\" or \"file\" object for each result,\n"
         b"                  then a \"summary\"\n"
         b"  --sort=score    print the words found best score first (--method=scored)\n"
         b"  -j N, --threads=N\n"
         b"                  read the files on N threads (default: one per processor); what\n"
         b"                  is found and printed is the same with any N, in the same order\n"
         b"  --explain WORD  show the normalised form, spelling variants and keys of WORD\n"
         b"                  (with --method=dm: its Daitch-Mokotoff codes; with\n"
         b"                  --encoding=auto: first the word folded to a-z; with\n"
         b"                  --given-names: then its family, each with its keys)\n"
         b"  --explain WORD OTHER\n"
         b"                  with --method=scored: how OTHER is aligned with WORD, each\n"
         b"                  operation with its cost and weight, the score and the threshold\n"
         b"  --version       show the version\n"
         b"  --              end of options: what follows is SPEC and QUERY\n"
         b"\n"
         b"Exit status: 0 the search completed; 1 a message ended it, or the log could not\n"
         b"be written; 2 usage error; 3 the search completed but left out folders, files or\n"
         b"result entries, each said on standard error; 4 standard output could not be "
         b"written.\n")


def escape(name):
    """A name as tessik-cli shows it: every control byte as \\xHH."""
    return b"".join(b"\\x%02x" % c if c < 0x20 or c == 0x7F else bytes([c]) for c in name)


class BoundedList:
    """A list that silently drops entries beyond its capacity."""

    def __init__(self, capacity):
        self.capacity = capacity
        self.items = []
        self.flags = []

    def add(self, text):
        if len(self.items) >= self.capacity:
            return -1
        self.items.append(text)
        self.flags.append(0)
        return len(self.items) - 1


class Search:
    def __init__(self, spec, query, subdirs):
        self.spec_text = spec[:255]
        ends = Search.character_ends(query)
        self.search_text = query[:ends[254]] if len(ends) > 255 else query
        self.subdirs = subdirs
        self.file_set = BoundedList(FILE_SET_CAPACITY)
        self.result_list = BoundedList(RESULT_LIST_CAPACITY)
        self.unopened = BoundedList(UNOPENED_CAPACITY)
        self.lines = []  # the result list box
        self.messages = []
        self.status = b"Ready"
        self.last_term_type = 0
        self.files_searched = 0
        self.matched_files = 0
        self.keys = []
        self.cache = {}
        self.out = None  # stream to echo list-box lines to as they are added
        # What the search left out, as tessik-cli reports it.
        self.folders_queue_full = 0
        self.folders_spec_too_long = 0
        self.files_set_full = 0
        self.files_path_too_long = 0
        self.unopened_not_listed = 0
        self.lines_without_entry = 0

    # ---- the window ----------------------------------------------------------------------
    def add_line(self, line, shown=None):
        """shown: the line as tessik-cli prints it, when not the escaped line itself."""
        self.lines.append(line)
        if self.out is not None:
            self.out.write((escape(line) if shown is None else shown) + b"\n")

    def add_result(self, path):
        if self.result_list.add(path) < 0:
            self.lines_without_entry += 1

    def add_unopened(self, path):
        if self.unopened.add(path) < 0:
            self.unopened_not_listed += 1

    def message(self, text):
        self.messages.append(text)

    # ---- the enumeration -----------------------------------------------------------------
    @staticmethod
    def split_spec(spec):
        spec = spec[:259]
        cut = max(spec.rfind(b"/"), spec.rfind(b"\\"))
        return spec[:cut + 1], spec[cut + 1:]

    @staticmethod
    def wild_match(pattern, name):
        p = pattern.lower()
        n = name.lower()
        memo = {}

        def match(i, j):
            if (i, j) in memo:
                return memo[(i, j)]
            if i == len(p):
                r = j == len(n)
            elif p[i] == ord("*"):
                r = match(i + 1, j) or (j < len(n) and match(i, j + 1))
            elif j < len(n) and (p[i] == ord("?") or p[i] == n[j]):
                r = match(i + 1, j + 1)
            else:
                r = False
            memo[(i, j)] = r
            return r

        if match(0, 0):
            return True
        # A trailing ".*" (a run of stars counting as one) also matches a name without
        # that extension.
        stem = p.rstrip(b"*")
        if len(stem) < len(p) and stem.endswith(b"."):
            p = stem[:-1]
            memo.clear()
            return match(0, 0)
        return False

    @staticmethod
    def entries(directory, pattern):
        """The entries of directory matching pattern, in readdir order, with '.' and '..'
        first; each as (name, is_directory, is_link_to_directory); None when the directory
        cannot be read."""
        try:
            listing = list(os.scandir(directory if directory else b"."))
        except OSError:
            return None
        out = []
        for name in (b".", b".."):
            if Search.wild_match(pattern, name):
                out.append((name, True, False))
        for e in listing:
            if not Search.wild_match(pattern, e.name):
                continue
            try:
                is_dir = e.is_dir(follow_symlinks=True)
            except OSError:
                is_dir = False
            out.append((e.name, is_dir, is_dir and e.is_symlink()))
        return out

    def subdir_scan(self, listing, d, p, queue):
        for name, is_dir, is_dir_link in listing:
            if not is_dir or is_dir_link or name in (b".", b".."):
                continue
            sub = d + name + b"/"
            if len(sub) + len(p) > 255:
                self.folders_spec_too_long += 1
                continue
            if len(queue) < DIRECTORY_QUEUE_CAPACITY:
                queue.append(sub + p)
            else:
                self.folders_queue_full += 1

    def build_file_set(self):
        """Returns 0 when complete, -1 after a message ended the search."""
        current = self.spec_text
        queue = []
        first = True
        while True:
            d, p = self.split_spec(current)
            listing = self.entries(d, p)
            if listing:
                if self.subdirs and len(d) <= 254:
                    all_entries = self.entries(d, b"*.*")
                    if all_entries:
                        self.subdir_scan(all_entries, d, p, queue)
                for name, is_dir, _ in listing:
                    if is_dir:
                        continue
                    path = d + name
                    if len(path) > 255:
                        self.files_path_too_long += 1
                        continue
                    if self.file_set.add(path) < 0:
                        self.files_set_full += 1
            else:
                if not self.subdirs:
                    self.message(MSG_NO_FILES)
                    self.status = b"Ready" + b" " * 126
                    return -1
                if len(d) <= 254:
                    all_entries = self.entries(d, b"*.*")
                    if all_entries:
                        self.subdir_scan(all_entries, d, p, queue)
                    elif first:
                        self.message(MSG_NO_FILES_SUBDIRS)
                        self.status = b"Ready" + b" " * 127
                        return -1
                    # A queued subdirectory that cannot be read (or has gone) is passed
                    # over, keeping the files found elsewhere in the tree.
            if self.subdirs and queue:
                current = queue.pop()
                first = False
                continue
            return 0

    # ---- the scanner ---------------------------------------------------------------------
    @staticmethod
    def reduce(w):
        n = len(w)

        def at(i):
            return w[i] if i < n else ""

        r = ["f" if w.startswith("ph") else w[0]]
        for i in range(1, n):
            c = w[i]
            if c == "c" and at(i + 1) == "k":
                continue
            if c == "c" and w[i - 1] in "sx" and at(i + 1) in ("e", "i", "y"):
                continue
            if c == "s" and w[i - 1] == "x":
                continue
            r.append(c)
        return "".join(r)

    def word_matches(self, word):
        known = self.cache.get(word)
        if known is None:
            known = self.cache[word] = self.evaluate(word)
        return known

    def evaluate(self, word):
        if self.keys[0][0] != "0" and word[0] in b"aeioyAEIOY":
            return False
        if len(word) == 1:
            return False
        return any(code in self.keys for code in Search.word_codes(word))

    @staticmethod
    @functools.lru_cache(maxsize=1 << 20)
    def word_codes(word):
        """The keys a word of a file matches by: its own, and for ps... the key without p."""
        w = word.decode("ascii").lower()
        r = Search.reduce(w)
        if r.startswith("ps"):
            return (reference_coder.key(r), reference_coder.key(r[1:]))
        return (reference_coder.key(r),)

    @staticmethod
    def character_ends(text):
        """Where each character of text ends: a valid UTF-8 sequence is one character, and
        so is every other byte."""
        ends = []
        at = 0
        while at < len(text):
            lead = text[at]
            n = 2 if 0xC2 <= lead <= 0xDF else 3 if 0xE0 <= lead <= 0xEF else \
                4 if 0xF0 <= lead <= 0xF4 else 1
            try:
                text[at:at + n].decode("utf-8")
            except UnicodeDecodeError:
                n = 1
            at += n
            ends.append(at)
        return ends

    @staticmethod
    def display_name(path):
        cut = max(path.rfind(b"/"), path.rfind(b"\\"))
        name = path[cut + 1:]
        ends = Search.character_ends(name)
        if len(ends) >= 14:
            name = name[:ends[13]] + b"..."
        return name

    def scan_file(self, path, mode):
        """Returns 1 found, 0 not found."""
        try:
            st = os.stat(path)
            if not stat.S_ISREG(st.st_mode):
                raise OSError
            f = open(path, "rb", buffering=0)
        except OSError:
            self.add_unopened(path)
            return 0
        with f:
            return self.scan_open_file(f, path, mode, os.fstat(f.fileno()).st_size)

    def scan_open_file(self, f, path, mode, size):
        if size == 0:
            return 0
        shown = self.display_name(path)
        found = 0
        line = 1
        base = 0      # file offset of buf[0]
        buf = b""
        at_end = False
        while not at_end:
            try:
                chunk = f.read(READ_SIZE)
            except OSError:
                self.add_unopened(path)
                return 0
            if chunk:
                buf += chunk
                # Everything up to the last separator is complete; the run after it may go
                # on in the next read.
                cut = len(buf)
                while cut > 0 and buf[cut - 1] in RUN_BYTES:
                    cut -= 1
            else:
                at_end = True
                cut = len(buf)  # a word at the very end of the file is still evaluated
            segment = buf[:cut]
            counted = 0
            # Most pieces hold no matching word: their distinct runs tell it at once, and
            # only a piece with a match is walked word by word.
            if not any(self.word_matches(run[:62])
                       for run in set(WORD_RUN.findall(segment)) if run.isalpha()):
                line += segment.count(b"\n")
                base += cut
                buf = buf[cut:]
                continue
            # A run of letters and joiners holds a word only when it is letters alone: a
            # joiner drops the word before it and blocks the letters after it up to the
            # next separator.
            for m in WORD_RUN.finditer(segment):
                run = m.group()
                if not run.isalpha():
                    continue
                word = run[:62]
                if not self.word_matches(word):
                    continue
                if mode != 1:
                    return 1
                end = m.end()
                line += segment.count(b"\n", counted, end)
                counted = end
                shown_word = word[:13] + b"..." if len(word) >= 13 else word
                pct = b"%.1f" % ((base + end) * 100.0 / size)
                form = b"%s\t%s\t%d (%s%%)\t%d K"
                self.add_line(form % (shown_word, shown, line, pct, size // 1024),
                              form % (shown_word, escape(shown), line, pct, size // 1024))
                self.add_result(path)
                found = 1
            line += segment.count(b"\n", counted)
            base += cut
            buf = buf[cut:]
        if mode == 1:
            self.files_searched += 1
            return found
        return 0

    # ---- the query language --------------------------------------------------------------
    @staticmethod
    def normalise_query(text):
        out = bytearray()
        i = 0
        while i < len(text) and text[i] == 32:
            i += 1
        while i < len(text):
            c = text[i]
            if c == 32:
                nxt = text[i + 1] if i + 1 < len(text) else None
                if (out and out[-1] in b"()") or nxt is None or nxt in b" ()":
                    i += 1
                    continue
            out.append(c)
            i += 1
        return bytes(out)

    @staticmethod
    def validate_query(q):
        for c in q:
            if c != 32 and c not in LETTERS:
                return -10
        at_boundary, after_operator = True, False
        for i, c in enumerate(q):
            is_op = c in OPERATORS
            nxt = q[i + 1] if i + 1 < len(q) else None
            if at_boundary and is_op and nxt == 32:
                if after_operator:
                    return -2
                after_operator, at_boundary = True, False
                continue
            if at_boundary and is_op and nxt is None:
                return -3
            if c == 32:
                at_boundary = True
            else:
                at_boundary = after_operator = False
        return 1

    def take_next_term(self, state):
        """state: dict with 'expr' and 'first'. Returns (code, term)."""
        expr = state["expr"]
        if not expr:
            return 0, b""
        if not state["first"] and b" " not in expr:
            return 1, expr[:220]
        words = expr.split(b" ")
        if len(words[0]) == 1 and words[0] in OPERATORS and len(words) > 1:
            op = words[0].upper()
            term = words[1]
            rest = b" ".join(words[2:])
        else:
            op = b"O"
            term = words[0]
            rest = b" ".join(words[1:])
        code = {b"O": 110, b"A": 111, b"N": 112, b"X": 113}[op]
        if not state["first"] and len(rest) < 2:
            code -= 100
        state["expr"] = rest
        state["first"] = True
        return code, term[:220]

    def prepare_keys(self, term):
        normalised = reference_coder.normalise(term.decode("ascii"))
        distinct = []
        for spelling in reference_coder.variants(normalised):
            k = reference_coder.key(spelling)
            if k not in distinct:
                distinct.append(k)
        self.keys = distinct
        self.cache = {}

    def apply_term(self, code):
        fs = self.file_set
        for i, path in enumerate(fs.items):
            flag = fs.flags[i]
            if code in (110, 10, 11, 13):
                if not flag and self.scan_file(path, 110):
                    fs.flags[i] = 1
                    self.matched_files += 1
            elif code == 111:
                if flag and not self.scan_file(path, 111):
                    fs.flags[i] = 0
                    self.matched_files -= 1
            elif code == 112:
                if flag and self.scan_file(path, 112):
                    fs.flags[i] = 0
                    self.matched_files -= 1
            elif code == 113:
                if self.scan_file(path, 113):
                    fs.flags[i] = 0 if flag else 1
                    self.matched_files += -1 if flag else 1
            elif code == 12:
                if self.scan_file(path, 112):
                    fs.flags[i] = 0
                else:
                    fs.flags[i] = 1
                    self.matched_files += 1

    # ---- the driver ----------------------------------------------------------------------
    def completion_status(self, mode):
        if mode == 1:
            if self.last_term_type == 1:
                if self.unopened.items:
                    text = b"Completed:  %d item(s) found. %d file(s) couldn't be opened." % (
                        len(self.lines), len(self.unopened.items))
                else:
                    text = b"Completed:  %d file(s) searched. Found %d item(s) in %d file(s)." % (
                        self.files_searched, len(self.lines), self.matched_files)
            else:
                self.files_searched = len(self.file_set.items)
                text = b"Completed:  %d file(s) searched. %d file(s) matched expression." % (
                    len(self.file_set.items), self.matched_files)
        else:
            text = b"Completed:  Found %d file(s) matching specification." % len(self.lines)
        self.status = (text + b" " * 90)[:90]

    def run(self):
        """Returns 0 after a completed search, -1 after a message ended it."""
        if self.search_text.strip(b" ") == b"":
            if self.build_file_set() < 0:
                return -1
            self.files_searched = len(self.file_set.items)
            for path in self.file_set.items:
                self.add_result(path)
                self.add_line(path)
            self.completion_status(4)
            return 0
        expr = self.normalise_query(self.search_text[:255])  # as the field was once read
        code = self.validate_query(expr)
        if code != 1:
            self.message(MSG_REFUSED[code])
            return -1
        if self.build_file_set() < 0:
            return -1
        state = {"expr": expr, "first": False}
        if self.file_set.items:
            while True:
                code, term = self.take_next_term(state)
                self.last_term_type = code
                if code == 0:
                    break
                self.prepare_keys(term)
                if code == 1:
                    for i in range(len(self.file_set.items) - 1, -1, -1):
                        self.matched_files += self.scan_file(self.file_set.items[i], 1)
                        del self.file_set.items[i]
                        del self.file_set.flags[i]
                    self.completion_status(1)
                    return 0
                self.apply_term(code)
        self.files_searched = len(self.file_set.items)
        for i, path in enumerate(self.file_set.items):
            if self.file_set.flags[i]:
                self.add_result(path)
                self.add_line(path)
        self.completion_status(1)
        return 0

    # ---- the log -------------------------------------------------------------------------
    def left_out(self, with_log):
        """tessik-cli's lines of what the search left out, in their order. Result lines
        beyond the result list lose their file names only in a log."""
        lines = []

        def count(n, text):
            if n:
                lines.append(b"tessik-cli: %d %s" % (n, text))

        count(self.folders_queue_full,
              b"folder(s) not entered: the queue of folders was full (%d)"
              % DIRECTORY_QUEUE_CAPACITY)
        count(self.folders_spec_too_long,
              b"folder(s) not entered: specification longer than %d characters" % LONGEST_TEXT)
        count(self.files_set_full,
              b"file(s) left out: the file set was full (%d)" % FILE_SET_CAPACITY)
        count(self.files_path_too_long,
              b"file(s) left out: path longer than %d characters" % LONGEST_TEXT)
        named = set()
        for path in self.unopened.items:
            if path not in named:
                named.add(path)
                lines.append(b"tessik-cli: %s: could not be opened" % escape(path))
        count(self.unopened_not_listed,
              b"more failed opening(s) not listed: the list of unopened files was full (%d)"
              % UNOPENED_CAPACITY)
        count(self.lines_without_entry if with_log else 0,
              b"result line(s) beyond the %d the result list holds: the log shows "
              b"\"File name not known\" for them" % RESULT_LIST_CAPACITY)
        return lines

    def log_bytes(self):
        pieces = []
        unopened_header = (b"\r\n++++++++++++++++++++++++++++++++++++++++++++\r\nThe following %d "
                           b"files could not be opened for searching.\r\nYou can try searching "
                           b"them again later.\r\n-----------------------------------------------"
                           b"\r\n")
        if self.last_term_type == 1:
            pieces.append(b"********************** Search results **********************\r\n\r\n"
                          b"Search string: %s.\r\nSearched %d file(s).\r\nFound: %d word(s) in %d "
                          b"file(s).\r\n++++++++++++++++++++++++++++++++++++++\r\nWord:\t\t\t\t"
                          b"File:\r\n-------------------------------------------------------\r\n"
                          % (self.search_text, self.files_searched, len(self.lines),
                             self.matched_files))
            for i, line in enumerate(self.lines):
                tab = line.find(b"\t")
                own = line[:tab] if tab > 0 else b""
                if i < len(self.result_list.items):
                    pieces.append(own + b"\t\t\t%s\r\n" % self.result_list.items[i])
                else:
                    pieces.append(own + b"\t\t\tFile name not known\r\n")
            end = b"\r\n"
        else:
            pieces.append(b"********************** Search results **********************\r\n\r\n"
                          b"Search expression: %s.\r\nSearched %d file(s).\r\nFound %d matching "
                          b"file(s).\r\n++++++++++++++++++++++++++++++++++++++\r\nFiles:\r\n"
                          b"---------------------------------------------\r\n"
                          % (self.search_text, self.files_searched, len(self.lines)))
            for path in self.result_list.items:
                pieces.append(path + b"\r\n")
            end = b"\n"
        if self.unopened.items:
            pieces.append(unopened_header % len(self.unopened.items))
            for path in self.unopened.items:
                pieces.append(path + end)
        pieces.append(b"\r\n******************** End of search log ********************\r\n")
        return b"".join(pieces)


def run_cli(argv, out, err):
    """argv without the program name, as bytes; out and err are binary streams.
    Returns the exit status."""
    subdirs = False
    log = None
    args = list(argv)
    while args:
        a = args[0]
        if a in (b"-s", b"--subdirs"):
            subdirs = True
            args.pop(0)
        elif a == b"--log" and len(args) > 1:
            log = args[1]
            del args[:2]
        elif a == b"--":
            args.pop(0)
            break
        else:
            break
    if not args:
        return 2
    spec, query = args[0], b" ".join(args[1:])
    # SPEC counts bytes, QUERY characters.
    for name, length in ((b"SPEC", len(spec)), (b"QUERY", len(Search.character_ends(query)))):
        if length > LONGEST_TEXT:
            err.write(b"tessik-cli: %s is longer than %d characters\n" % (name, LONGEST_TEXT))
            err.write(USAGE)
            return 2
    # A SPEC that names a folder is searched as it stands, after a hint.
    if spec and os.path.isdir(spec):
        files = escape(spec) + (b"*" if spec.endswith((b"/", b"\\")) else b"/*")
        err.write(b"tessik-cli: %s is a folder; to search the files in it, give '%s'\n"
                  % (escape(spec), files))
    search = Search(spec, query, subdirs)
    search.out = out
    result = search.run()
    status = 0 if result == 0 else 1
    if result == 0 and log is not None:
        # Only a regular file or a new one takes a log: anything else that exists (a FIFO,
        # a device, a folder) counts as a file that cannot be created.
        try:
            exists_otherwise = not stat.S_ISREG(os.stat(log).st_mode)
        except OSError:
            exists_otherwise = False
        try:
            if exists_otherwise:
                raise OSError("not a regular file")
            f = open(log, "wb", buffering=0)
        except OSError:
            search.message(MSG_LOG_CREATE)
            status = 1
        else:
            try:
                f.write(search.log_bytes())
            except OSError:
                search.message(MSG_LOG_WRITE)
                status = 1
            f.close()
    for m in search.messages:
        err.write(m + b"\n")
    left_out = search.left_out(log is not None)
    for line in left_out:
        err.write(line + b"\n")
    err.write(escape(search.status.rstrip(b" ")) + b"\n")
    if status == 0 and left_out:
        status = 3
    return status


if __name__ == "__main__":
    sys.stdout.flush()
    code = run_cli([os.fsencode(a) for a in sys.argv[1:]], sys.stdout.buffer, sys.stderr.buffer)
    sys.stdout.buffer.flush()
    sys.exit(code)
