// The query term a scan looks for: the prepared term (its normalised word, spellings and
// distinct keys) and its keys, or its Daitch-Mokotoff codes, made ready for matching words. Made by the search before it
// applies the term, read by the scanner; search worker only (tests: their own thread).
#pragma once

#include <cstdint>

#include "engine/word_key.h"
#include "phonetic/phonetic_method.h"
#include "phonetic/prepared_term.h"

struct SearchTerm {
  PreparedTerm Prepared;
  TermKeys Keys;
  // How the files are read for it: in today's encodings (engine/letter_scanner.h), or
  // as bytes of the letters A-Z. Set by the search from its request.
  bool ReadUnicode = false;
};

// The term of the query word `word`, for the program's own method or for the one named.
// A Daitch-Mokotoff term has the codes of the word as it stands and nothing else: no
// spelling of it is coded, and its Prepared part is not filled in.
void PrepareSearchTerm(const char* word, SearchTerm* term);
void PrepareSearchTerm(const char* word, PhoneticMethod method, SearchTerm* term);

// A term of exactly these keys (at most kMaxKeys), with no spellings behind them.
void PrepareSearchTermOfKeys(const PhoneticKey* keys, std::uint32_t count, SearchTerm* term);

// The first spelling of the term whose key is the term's key `keyIndex`; nullptr for none,
// and always for a Daitch-Mokotoff term.
const char* SpellingOfKey(const SearchTerm& term, int keyIndex);
