// Whether a word of a file sounds like the current query term, as the scanners ask it: the
// term's method answers (engine/sound_method.h), and the answers for short words are
// remembered, since the same few hundred words make up most of a text. Search worker only.
#pragma once

#include <cstdint>

#include "engine/sound_method.h"

// The index of the term's key or code that the word has, or -1. `letters` holds `length`
// letters A-Z a-z as they stand in the file; only the first kMaxWordLetters are coded, and
// a word of one letter never matches.
inline int MatchWordKey(const HeardTerm& term, const std::uint8_t* letters, std::uint32_t length) {
  if (length < 2) return -1;
  return term.MatchWord(letters, length > kMaxWordLetters ? kMaxWordLetters : length);
}

// The same for the word whose first letter is bytes[0], read in place up to the first byte
// that is not a letter; at least kMaxWordLetters + 1 bytes must be there to read. A word
// that a joiner spoils is not told apart, so a key found is only a candidate: -1 when the
// word cannot match, kWordUndecided when MatchWordKey must decide. Answers for short words
// are remembered; PrepareWordCache must have been called with `term` (as it stands) before
// the first word of a scan.
int MatchWordAt(const HeardTerm& term, const std::uint8_t* bytes);
void PrepareWordCache(const HeardTerm& term);
