// Whether a word of a file sounds like the current query term: the spelling reductions of
// the file side, the key coding and the comparison with the term's keys, stopping as soon
// as the key being built can no longer equal any of them; or, for a term of the
// Daitch-Mokotoff method, the same test against its codes. Search worker only.
#pragma once

#include <cstdint>

#include "engine/word_starts.h"
#include "phonetic/daitch_mokotoff.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/phonetic_method.h"

// Letters of a word beyond this many are not coded; the word goes on.
constexpr std::uint32_t kMaxWordLetters = 62;

struct TermKeys {
  PhoneticMethod Method;
  // Soundex: the keys, and which key holds which character where.
  PhoneticKey Keys[kMaxKeys];
  std::uint32_t Count;
  // Bit k of Holding[position][byte] is set when key k has `byte` at `position`.
  std::uint16_t Holding[4][256];
  // Daitch-Mokotoff: the codes, in ascending order.
  DmCode Codes[kMaxDmCodes];
  int CodeCount;
  // The letters a word must begin with to have a chance.
  StartLetters Starts;
};

// The first `count` keys (at most kMaxKeys) of a term, ready for matching.
void PrepareTermKeys(const PhoneticKey* keys, std::uint32_t count, TermKeys* term);
// A term of the Daitch-Mokotoff method with the first `count` (at most kMaxDmCodes) of
// these codes, ready for matching.
void PrepareTermCodes(const DmCode* codes, int count, TermKeys* term);

// The index of the term's key that the word's key equals (or, for a word beginning "ps",
// its second key), or -1; for a Daitch-Mokotoff term, the index of the first of its codes
// that the word has, or -1. `letters` holds `length` letters A-Z a-z as they stand in the
// file, at most kMaxWordLetters; a word of one letter never matches.
int MatchWordKey(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length);

// The term's key or code of index `index` (as MatchWordKey answers) as text, terminated,
// in `text`, which has room for 8 characters; "" for an index the term does not have.
void CodeOfMatch(const TermKeys& term, int index, char* text);

// What MatchWordAt answers when it cannot tell.
constexpr int kWordUndecided = -2;

// The same for the word whose first letter is bytes[0], read in place up to the first byte
// that is not a letter; at least kMaxWordLetters + 1 bytes must be there to read. A word
// that a joiner spoils is not told apart, so a key found is only a candidate: -1 when the
// word cannot match, kWordUndecided for a word beginning "ps" (MatchWordKey decides).
// Answers for short words are remembered; PrepareWordCache must have been called with
// `term` (as it stands) before the first word of a scan.
int MatchWordAt(const TermKeys& term, const std::uint8_t* bytes);
void PrepareWordCache(const TermKeys& term);
