// GEDCOM files, the exchange format of genealogy programs, read as the text a search scans:
// each line decoded from the character set its header names, a CONC line joined to the line
// before it with nothing between (a word cut by it is one word, found where it begins), a
// CONT line a line of its own, and each place mapped back to its line, column and level-0
// record. Search worker (tests, fuzzers: any one thread).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/record_text.h"

enum class GedcomCharset : std::uint8_t {
  kUtf8,  // also what a header that names no set, or one unknown, is read as
  kUtf16Le,
  kUtf16Be,
  kAnsel,
  kAnsi,  // Windows-1252
  kAscii,
  kIbmPc,      // code page 437
  kMacintosh,  // Mac OS Roman
};

// The first bytes of a file (`count` of them, 64 are enough): true when its first record is
// "0 HEAD", in UTF-8 or ASCII-like bytes, or in UTF-16 with or without a byte-order mark.
bool LooksLikeGedcom(const std::uint8_t* bytes, std::size_t count);

// The set a GEDCOM file is read in: its byte-order mark, else the CHAR line of its header
// (ANSEL, ANSI, UTF-8, UNICODE, ASCII, IBMPC, MACINTOSH), else UTF-8.
GedcomCharset GedcomCharsetOf(const std::uint8_t* bytes, std::size_t count);

// The whole file as text (replacing what `text` held). In UTF-8 (and read as ASCII), a byte
// that begins no character reads as Windows-1252, as the letter reading reads one.
void ReadGedcomText(const std::uint8_t* bytes, std::size_t count, RecordText* text);
