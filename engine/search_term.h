// The query term a scan looks for: the word as the search's method hears it, and how the
// files are read for it. Made by the search before it applies the term, read by the
// scanner; search worker only (tests: their own thread).
#pragma once

#include <memory>

#include "engine/sound_method.h"

struct SearchTerm {
  std::unique_ptr<HeardTerm> Heard;
  // How the files are read for it: in today's encodings (engine/letter_scanner.h), or
  // as bytes of the letters A-Z. Set by the search from its request.
  bool ReadUnicode = false;
};

// The term of the query word `word` as `method` hears it: 0, or -1 when there is no
// memory for it (term->Heard is then empty).
int PrepareSearchTerm(const char* word, const SoundMethod& method, SearchTerm* term);
// The same with the program's own method.
int PrepareSearchTerm(const char* word, SearchTerm* term);
