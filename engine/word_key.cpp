// Most words of a text are answered from the word cache with no coding at all.
#include "engine/word_key.h"

#include <cstring>

#include "engine/letter_bytes.h"

void WordCache::Prepare(const HeardTerm& term) {
  const std::string_view identity = term.Identity();
  for (Entry& candidate : entries_) {
    if (candidate.Method == &term.Method && candidate.IdentityLength == identity.size() &&
        std::memcmp(candidate.Identity, identity.data(), identity.size()) == 0) {
      current_ = &candidate;
      return;
    }
  }
  current_ = &entries_[nextReplaced_];
  nextReplaced_ = (nextReplaced_ + 1) % kTerms;
  // A term too large to be told apart keeps its answers for this scan alone.
  const bool kept = identity.size() <= kMaxTermIdentity;
  current_->Method = kept ? &term.Method : nullptr;
  current_->IdentityLength = kept ? identity.size() : 0;
  if (kept) std::memcpy(current_->Identity, identity.data(), identity.size());
  const std::uint32_t bits = term.ManyWords ? kWideBits : kBits;
  current_->Shift = 64 - bits;
  std::memset(current_->Words, 0, sizeof current_->Words[0] << bits);
  std::memset(current_->LongWords, 0, sizeof current_->LongWords);
}

int WordCache::MatchLongAt(const HeardTerm& term, const std::uint8_t* bytes, std::uint64_t first) {
  std::uint64_t packed;
  std::memcpy(&packed, bytes + 8, sizeof packed);
  const std::uint64_t notLetters = ~LetterBytes(packed) & 0x8080808080808080ull;
  if (notLetters == 0) return term.MatchWordInPlace(bytes);  // sixteen letters or more
  const int length = __builtin_ctzll(notLetters) / 8;  // the letters after the eighth
  const std::uint64_t low = first | 0x2020202020202020ull;
  const std::uint64_t high = (packed | 0x2020202020202020ull) & ((1ull << (8 * length)) - 1);
  const std::uint32_t slot = static_cast<std::uint32_t>(
      ((low ^ (high * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull) >> (64 - kLongBits));
  std::uint64_t* held = current_->LongWords[slot];
  if (held[0] == low && held[1] == high) return current_->LongAnswers[slot];
  const int answer = term.MatchWordInPlace(bytes);
  held[0] = low;
  held[1] = high;
  current_->LongAnswers[slot] = static_cast<std::int16_t>(answer);
  return answer;
}

int WordCache::Remember(const HeardTerm& term, const std::uint8_t* bytes, std::uint64_t word,
                        std::uint32_t slot) {
  const int answer = term.MatchWordInPlace(bytes);
  current_->Words[slot] = word;
  current_->Answers[slot] = static_cast<std::int16_t>(answer);
  return answer;
}
