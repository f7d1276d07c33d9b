// A query name prepared for the scored method: its letters, and which words can reach the
// threshold at all by their first two letters and length, so that a search scores only
// those. A plain value: made once per term by the search, then only read; any thread.
#pragma once

#include <cstdint>

#include "phonetic/scored_name.h"

struct ScoredTerm {
  char Letters[kScoredMaxLetters];
  std::uint32_t Length;
  // Bit L - 1 of Reachable[f][s] is set when a word of L letters (2 or more) that begins
  // with the letters 'a' + f and 'a' + s may reach the threshold; a word whose bit is clear
  // cannot.
  std::uint64_t Reachable[26][26];
};

// Prepares the term of `length` lower-case letters a-z (only the first kScoredMaxLetters
// count). Expects InitialisePhonetics to have run.
void PrepareScoredTerm(const char* letters, std::uint32_t length, ScoredTerm* term);

// Whether a word of `length` letters beginning with the letters `first` and `second` (in
// either case) may reach the threshold: false only when it cannot. Words of one letter
// never match.
inline bool ScoredMayReach(const ScoredTerm& term, char first, char second, std::uint32_t length) {
  const unsigned f = static_cast<unsigned char>(first | 0x20) - static_cast<unsigned>('a');
  const unsigned s = static_cast<unsigned char>(second | 0x20) - static_cast<unsigned>('a');
  if (f >= 26 || s >= 26 || length < 2) return false;
  if (length > kScoredMaxLetters) length = kScoredMaxLetters;
  return (term.Reachable[f][s] >> (length - 1)) & 1;
}

// The letters a word may begin with to reach the threshold, in alphabetical order and
// terminated, in `letters`, which has room for 27 characters.
void ScoredFirstLetters(const ScoredTerm& term, char* letters);
