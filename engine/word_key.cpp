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
}

int WordCache::Remember(const HeardTerm& term, const std::uint8_t* bytes, std::uint64_t word,
                        std::uint32_t slot) {
  const int answer = term.MatchWordInPlace(bytes);
  current_->Words[slot] = word;
  current_->Answers[slot] = static_cast<std::int16_t>(answer);
  return answer;
}
