// Whether a word of a file sounds like the current query term, as the scanners ask it: the
// term's method answers (engine/sound_method.h), and the answers for short words are
// remembered, since the same few hundred words make up most of a text. The thread of the
// reading that asks.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/letter_bytes.h"
#include "engine/sound_method.h"

// The index of the term's key or code that the word has, or -1. `letters` holds `length`
// letters A-Z a-z as they stand in the file; only the first kMaxWordLetters are coded, and
// a word of one letter never matches.
inline int MatchWordKey(const HeardTerm& term, const std::uint8_t* letters, std::uint32_t length) {
  if (length < 2) return -1;
  return term.MatchWord(letters, length > kMaxWordLetters ? kMaxWordLetters : length);
}

// The answers for words already seen with a term, by their lower-case letters: a word of
// two to seven letters packed into eight bytes, one of eight to fifteen into sixteen. An
// expression scans each file once per term, so a few terms keep their answers side by side.
// About 600 KiB; one to each reading, the reading's thread's alone.
class WordCache {
 public:
  WordCache() = default;
  WordCache(const WordCache&) = delete;
  WordCache& operator=(const WordCache&) = delete;

  // Before the first word of a scan for `term` (as it stands from then on).
  void Prepare(const HeardTerm& term);

  // MatchWordKey for the word whose first letter is bytes[0], read in place up to the first
  // byte that is not a letter; at least kMaxWordLetters + 1 bytes must be there to read. A
  // word that a joiner spoils is not told apart, so a key found is only a candidate: -1 when
  // the word cannot match, kWordUndecided when MatchWordKey must decide.
  int MatchAt(const HeardTerm& term, const std::uint8_t* bytes) {
    if (term.AnswersInPlace) return term.MatchWordInPlace(bytes);
    std::uint64_t packed;
    std::memcpy(&packed, bytes, sizeof packed);
    const std::uint64_t notLetters = ~LetterBytes(packed) & 0x8080808080808080ull;
    if (notLetters == 0) return MatchLongAt(term, bytes, packed);  // eight letters or more
    const int length = __builtin_ctzll(notLetters) / 8;
    if (length < 2) return -1;  // one-letter words are not words here
    const std::uint64_t word = (packed | 0x2020202020202020ull) & ((1ull << (8 * length)) - 1);
    const std::uint32_t slot =
        static_cast<std::uint32_t>((word * 0x9E3779B97F4A7C15ull) >> current_->Shift);
    if (current_->Words[slot] == word) return current_->Answers[slot];
    return Remember(term, bytes, word, slot);
  }

 private:
  // Asks the term about a word the cache does not hold, and keeps the answer in its slot.
  int Remember(const HeardTerm& term, const std::uint8_t* bytes, std::uint64_t word,
               std::uint32_t slot);
  // MatchAt for a word of eight letters or more, whose first eight are `first`.
  int MatchLongAt(const HeardTerm& term, const std::uint8_t* bytes, std::uint64_t first);

  // Slots for 2^kBits words; a term that asks about many distinct words (HeardTerm::
  // ManyWords) uses 2^kWideBits.
  static constexpr std::uint32_t kBits = 11;
  static constexpr std::uint32_t kWideBits = 13;
  static constexpr int kTerms = 4;
  // Slots for 2^kLongBits words of eight to fifteen letters.
  static constexpr std::uint32_t kLongBits = 12;
  struct Entry {
    // The term whose answers these are: its method (nullptr: none) and identity.
    const SoundMethod* Method = nullptr;
    std::size_t IdentityLength = 0;
    std::uint32_t Shift = 64 - kBits;  // a word's slot is the top 64 - Shift bits of its hash
    char Identity[kMaxTermIdentity];
    std::uint64_t Words[1u << kWideBits];  // 0: a free slot; no two-letter word packs to 0
    std::int16_t Answers[1u << kWideBits];
    // A long word's first eight letters (0: a free slot) and the rest, padded with zeros.
    std::uint64_t LongWords[1u << kLongBits][2];
    std::int16_t LongAnswers[1u << kLongBits];
  };
  Entry entries_[kTerms];
  Entry* current_ = &entries_[0];
  int nextReplaced_ = 0;
};
