// The answers for short words already seen with a term, by their lower-case letters packed
// into eight bytes (0: a free slot; no word of two letters or more packs to 0). Most words
// of a text are answered here with no coding at all.
#include "engine/word_key.h"

#include <cstring>

namespace {

// An expression scans each file once per term, so a few terms keep their answers side by
// side. Search worker only.
constexpr std::uint32_t kCacheBits = 11;
constexpr int kCachedTerms = 4;
struct WordCache {
  // The term whose answers these are: its method (nullptr: none) and identity.
  const SoundMethod* Method = nullptr;
  std::size_t IdentityLength;
  char Identity[kMaxTermIdentity];
  std::uint64_t Words[1u << kCacheBits];
  std::int16_t Answers[1u << kCacheBits];
};

bool SameTerm(const WordCache& cached, const HeardTerm& term) {
  if (cached.Method != &term.Method) return false;
  const std::string_view identity = term.Identity();
  return cached.IdentityLength == identity.size() &&
         std::memcmp(cached.Identity, identity.data(), identity.size()) == 0;
}
WordCache caches[kCachedTerms];
WordCache* cache = &caches[0];
int nextReplaced = 0;

void UseCacheFor(const HeardTerm& term) {
  for (WordCache& candidate : caches) {
    if (SameTerm(candidate, term)) {
      cache = &candidate;
      return;
    }
  }
  cache = &caches[nextReplaced];
  nextReplaced = (nextReplaced + 1) % kCachedTerms;
  const std::string_view identity = term.Identity();
  // A term too large to be told apart keeps its answers for this scan alone.
  const bool kept = identity.size() <= kMaxTermIdentity;
  cache->Method = kept ? &term.Method : nullptr;
  cache->IdentityLength = kept ? identity.size() : 0;
  if (kept) std::memcpy(cache->Identity, identity.data(), identity.size());
  std::memset(cache->Words, 0, sizeof cache->Words);
}

// Bit 7 of each byte of the result is set where `bytes` holds a letter A-Z a-z.
inline std::uint64_t LetterBytes(std::uint64_t bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t folded = (bytes | 0x20 * kOnes) & 0x7F * kOnes;
  const std::uint64_t atLeastA = folded + (0x80 - 'a') * kOnes;
  const std::uint64_t beyondZ = folded + (0x7F - 'z') * kOnes;
  return atLeastA & ~beyondZ & ~bytes & 0x80 * kOnes;
}

}  // namespace

void PrepareWordCache(const HeardTerm& term) { UseCacheFor(term); }

int MatchWordAt(const HeardTerm& term, const std::uint8_t* bytes) {
  if (term.AnswersInPlace) return term.MatchWordInPlace(bytes);
  std::uint64_t packed;
  std::memcpy(&packed, bytes, sizeof packed);
  const std::uint64_t notLetters = ~LetterBytes(packed) & 0x8080808080808080ull;
  if (notLetters == 0) return term.MatchWordInPlace(bytes);  // eight letters or more
  const int length = __builtin_ctzll(notLetters) / 8;
  if (length < 2) return -1;  // one-letter words are not words here
  const std::uint64_t word = (packed | 0x2020202020202020ull) & ((1ull << (8 * length)) - 1);
  const std::uint32_t slot =
      static_cast<std::uint32_t>((word * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits));
  if (cache->Words[slot] == word) return cache->Answers[slot];
  const int answer = term.MatchWordInPlace(bytes);
  cache->Words[slot] = word;
  cache->Answers[slot] = static_cast<std::int16_t>(answer);
  return answer;
}
