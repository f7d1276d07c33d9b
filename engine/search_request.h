// A search as its caller asks for it: the "Search in:" and "Search for:" texts, whether the
// subdirectories are searched too, and the switches beyond the program's first behaviour
// (each a field here, off by default: the sounds-like method, whether text is read in
// today's encodings, whether a given name finds its equivalents, and whether GEDCOM files
// and documents are read as their text). The caller makes it
// before the search starts and leaves it alone until the search has ended: the search
// worker reads it, and the window thread may read it meanwhile (a log saved during the
// search).
#pragma once

#include <cstdint>

#include "engine/sound_method.h"
#include "phonetic/given_name_extras.h"

// "Search in:": at most 255 bytes and the terminator, as a path is held.
constexpr int kSearchTextSize = 256;
// "Search for:" holds 255 characters in whatever letters: up to 4 bytes each in UTF-8, and
// the terminator.
constexpr int kSearchForCharacters = 255;
constexpr int kSearchForSize = kSearchForCharacters * 4 + 1;

constexpr std::int64_t kDefaultPieceSize = 8 << 20;

struct SearchRequest {
  char SearchIn[kSearchTextSize];
  char SearchFor[kSearchForSize];
  bool IncludeSubdirectories = false;
  // How a name is heard (engine/sound_method.h); never nullptr.
  const SoundMethod* Method = &DefaultSoundMethod();
  // UTF-8, UTF-16 and Windows-1252 text, with accented, Cyrillic and Greek letters read as
  // the letters a-z, in the files and in "Search for:"; off: the letters A-Z alone.
  bool ReadUnicode = false;
  // A query word finds the whole family of a given name (phonetic/given_names.h): its
  // nicknames, its names, Latin forms (each heard by the method) and abbreviations (matched
  // as written); with the user's own links, when UserGivenNames is not nullptr (the caller
  // keeps them until the search has ended).
  bool GivenNames = false;
  const GivenNameExtras* UserGivenNames = nullptr;
  // Records and documents: a GEDCOM file (its first record "0 HEAD") read in the character
  // set its header names, its CONC lines joined; .docx, .odt and .epub files read as their
  // paragraphs, one line each; both in letters, accents folded (engine/record_text.h).
  bool ReadRecords = false;
  // How many threads read the files: 1, the thread that runs the search alone; more, that
  // many helpers read ahead of it, and the search gives exactly what one thread gives.
  int Threads = 1;
  // With more threads than one, a file of at least two pieces of this many bytes is read
  // in pieces at once, cut where lines begin (the byte reading; the letter reading reads a
  // file whole). Tests make it small.
  std::int64_t PieceSize = kDefaultPieceSize;
};

// A request for these texts (nullptr reads as ""): "Search in:" cut to its first 255 bytes,
// "Search for:" to its first 255 characters, neither inside a character
// (platform/character_cut.h).
SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories);
