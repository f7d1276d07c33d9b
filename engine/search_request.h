// A search as its caller asks for it: the "Search in:" and "Search for:" texts, whether the
// subdirectories are searched too, and the switches beyond the program's first behaviour
// (each a field here, off by default: the sounds-like method, whether text is read in
// today's encodings, and whether a given name finds its equivalents). The caller makes it
// before the search starts and leaves it alone until the search has ended: the search
// worker reads it, and the window thread may read it meanwhile (a log saved during the
// search).
#pragma once

#include "engine/sound_method.h"
#include "phonetic/given_name_extras.h"

constexpr int kSearchTextSize = 256;  // at most 255 characters and the terminator

struct SearchRequest {
  char SearchIn[kSearchTextSize];
  char SearchFor[kSearchTextSize];
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
};

// A request for these texts, each cut to its first 255 characters (nullptr reads as "").
SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories);
