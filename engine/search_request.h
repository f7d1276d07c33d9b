// A search as its caller asks for it: the "Search in:" and "Search for:" texts, whether the
// subdirectories are searched too, and the switches beyond the program's first behaviour
// (each a field here, off by default: the sounds-like method, and whether text is read in
// today's encodings). The caller makes it before the
// search starts and leaves it alone until the search has ended: the search worker reads
// it, and the window thread may read it meanwhile (a log saved during the search).
#pragma once

#include "engine/sound_method.h"

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
};

// A request for these texts, each cut to its first 255 characters (nullptr reads as "").
SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories);
