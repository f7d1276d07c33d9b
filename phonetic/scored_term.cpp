#include "phonetic/scored_term.h"

#include <algorithm>

void PrepareScoredTerm(const char* letters, std::uint32_t length, ScoredTerm* term) {
  *term = ScoredTerm{};
  const std::uint32_t la = std::min(length, kScoredMaxLetters);
  std::copy(letters, letters + la, term->Letters);
  term->Length = la;
  if (la == 0) return;
  const int threshold = ScoredThreshold();
  for (int f = 0; f < 26; ++f) {
    for (int s = 0; s < 26; ++s) {
      std::uint64_t reachable = 0;
      for (std::uint32_t lb = 2; lb <= kScoredMaxLetters; ++lb) {
        const int most = ScoredUpperBound(term->Letters, la, static_cast<char>('a' + f),
                                          static_cast<char>('a' + s), lb);
        if (most >= threshold) reachable |= std::uint64_t{1} << (lb - 1);
      }
      term->Reachable[f][s] = reachable;
    }
  }
}

void ScoredFirstLetters(const ScoredTerm& term, char* letters) {
  int count = 0;
  for (int f = 0; f < 26; ++f) {
    bool any = false;
    for (int s = 0; s < 26; ++s) any = any || term.Reachable[f][s] != 0;
    if (any) letters[count++] = static_cast<char>('a' + f);
  }
  letters[count] = '\0';
}
