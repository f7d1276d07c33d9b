// A search as its caller asks for it: the "Search in:" and "Search for:" texts, whether the
// subdirectories are searched too, and the switches beyond the program's first behaviour
// (each a field here, off by default: the sounds-like method). The caller makes it before the
// search starts and leaves it alone until the search has ended: the search worker reads
// it, and the window thread may read it meanwhile (a log saved during the search).
#pragma once

#include "phonetic/phonetic_method.h"

constexpr int kSearchTextSize = 256;  // at most 255 characters and the terminator

struct SearchRequest {
  char SearchIn[kSearchTextSize];
  char SearchFor[kSearchTextSize];
  bool IncludeSubdirectories = false;
  PhoneticMethod Method = PhoneticMethod::Soundex;
};

// A request for these texts, each cut to its first 255 characters (nullptr reads as "").
SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories);
