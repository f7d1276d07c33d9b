// A plain reading of a file's bytes into words, one byte at a time, as the rules of a word
// say it: the matches a scan of those bytes must find, for tests and fuzzers to hold the
// file scanner to. Any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "phonetic/daitch_mokotoff.h"
#include "phonetic/phonetic_key.h"

struct ReferenceFind {
  std::int64_t Start;      // position of the word's first letter
  std::int64_t End;        // position of the byte after it (the size for the last word)
  std::int64_t Line;       // 1-based
  std::int64_t LineStart;  // position of the first byte of the line
  int Key;                 // index of the key that matched
  std::string Letters;     // the first 62 letters, as they stand

  bool operator==(const ReferenceFind&) const = default;
};

// Every word of `bytes` whose key (or, for a word beginning "ps", second key) equals one
// of the first `count` of `keys`, in file order.
std::vector<ReferenceFind> ReferenceFinds(const std::string& bytes, const PhoneticKey* keys,
                                          std::uint32_t count);

// Every word of `bytes` whose full set of Daitch-Mokotoff codes holds one of the first
// `count` of `codes` (Key: the lowest such index), in file order.
std::vector<ReferenceFind> ReferenceCodeFinds(const std::string& bytes, const DmCode* codes,
                                              int count);

// What a reference reading compares words with: the distinct keys of a query word, or (for
// Daitch-Mokotoff) its codes.
struct ReferenceTerm {
  bool Codes = false;
  std::vector<PhoneticKey> Keys;
  std::vector<DmCode> DmCodes;
  std::string Scored;  // the scored method: the query word in lower case
};
ReferenceTerm MakeReferenceTerm(const char* word, bool codes);
ReferenceTerm MakeScoredReferenceTerm(const char* word);

// For the scored method: how far the score of the word `letters` (A-Z a-z, at most 62)
// against `query` lies above the threshold, or -1 below it (or for a word of one letter).
int ReferenceScoreIndex(const std::string& letters, const std::string& query);

// ReferenceFinds or ReferenceCodeFinds of the term.
std::vector<ReferenceFind> ReferenceFinds(const std::string& bytes, const ReferenceTerm& term);

// The index of the first of `keys` that the word `letters` (A-Z a-z, at most 62) has, reduced
// and coded as ReferenceFinds codes a word, or -1.
int ReferenceKeyIndex(const std::string& letters, const PhoneticKey* keys, std::uint32_t count);

// The index of the first of `codes` among the word's own Daitch-Mokotoff codes, or -1.
int ReferenceCodeIndex(const std::string& letters, const DmCode* codes, int count);
