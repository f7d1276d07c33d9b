#include "support/reference_words.h"

#include <cstring>

#include "phonetic/prepared_term.h"
#include "phonetic/scored_name.h"

namespace {

constexpr std::size_t kWordLetters = 62;

bool IsLetter(std::uint8_t b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

bool IsJoiner(std::uint8_t b) { return (b >= '0' && b <= '9') || b == '^' || b == '_' || b == '`'; }

int IndexOf(const PhoneticKey& key, const PhoneticKey* keys, std::uint32_t count) {
  for (std::uint32_t k = 0; k < count; ++k) {
    if (keys[k] == key) return static_cast<int>(k);
  }
  return -1;
}

// Lower-cased, reduced (a leading ph is f; c before k, c between s or x and e, i or y,
// and s after x are dropped, each judged on the lower-case word), coded; a reduced word
// beginning "ps" is coded again without its p.
int KeyOf(const std::string& letters, const PhoneticKey* keys, std::uint32_t count) {
  std::string lower;
  for (char c : letters) lower += static_cast<char>(c | 0x20);
  auto at = [&](std::size_t i) { return i < lower.size() ? lower[i] : '\0'; };
  std::string reduced(1, at(0) == 'p' && at(1) == 'h' ? 'f' : at(0));
  for (std::size_t i = 1; i < lower.size(); ++i) {
    const char c = lower[i], before = lower[i - 1], next = at(i + 1);
    if (c == 'c' && next == 'k') continue;
    if (c == 'c' && (before == 's' || before == 'x') && (next == 'e' || next == 'i' || next == 'y'))
      continue;
    if (c == 's' && before == 'x') continue;
    reduced += c;
  }
  const int primary = IndexOf(ComputePhoneticKey(reduced.c_str()), keys, count);
  if (primary >= 0 || reduced.compare(0, 2, "ps") != 0) return primary;
  return IndexOf(ComputePhoneticKey(reduced.c_str() + 1), keys, count);
}

// The words of `bytes` by the word rules, each given to `match` (the index of what it
// matched, or -1).
std::vector<ReferenceFind> WordsMatching(const std::string& bytes,
                                         const std::function<int(const std::string&)>& match) {
  std::vector<ReferenceFind> finds;
  enum { Outside, Inside, Blocked } state = Outside;
  std::string word;
  std::int64_t start = 0;
  std::int64_t line = 1;
  std::int64_t lineStart = 0;
  auto evaluate = [&](std::int64_t end) {
    if (word.size() < 2) return;
    const int key = match(word);
    if (key >= 0) finds.push_back({start, end, line, lineStart, key, word});
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (IsLetter(b)) {
      if (state == Outside) {
        word.assign(1, static_cast<char>(b));
        start = static_cast<std::int64_t>(i);
        state = Inside;
      } else if (state == Inside && word.size() < kWordLetters) {
        word += static_cast<char>(b);
      }
    } else if (IsJoiner(b)) {
      state = Blocked;
    } else {
      if (state == Inside) evaluate(static_cast<std::int64_t>(i));
      state = Outside;
      if (b == '\n') {
        ++line;
        lineStart = static_cast<std::int64_t>(i) + 1;
      }
    }
  }
  if (state == Inside) evaluate(static_cast<std::int64_t>(bytes.size()));
  return finds;
}

}  // namespace

std::vector<ReferenceFind> ReferenceFinds(const std::string& bytes, const PhoneticKey* keys,
                                          std::uint32_t count) {
  return WordsMatching(bytes, [&](const std::string& word) { return KeyOf(word, keys, count); });
}

std::vector<ReferenceFind> ReferenceCodeFinds(const std::string& bytes, const DmCode* codes,
                                              int count) {
  return WordsMatching(
      bytes, [&](const std::string& word) { return ReferenceCodeIndex(word, codes, count); });
}

int ReferenceKeyIndex(const std::string& letters, const PhoneticKey* keys, std::uint32_t count) {
  return KeyOf(letters, keys, count);
}

int ReferenceCodeIndex(const std::string& letters, const DmCode* codes, int count) {
  std::vector<DmCode> own(kMaxDmCodes);
  const int owned =
      DaitchMokotoffCodes(letters.data(), static_cast<std::uint32_t>(letters.size()), own.data());
  for (int i = 0; i < count; ++i) {
    for (int k = 0; k < owned; ++k) {
      if (own[static_cast<std::size_t>(k)] == codes[i]) return i;
    }
  }
  return -1;
}

ReferenceTerm MakeReferenceTerm(const char* word, bool codes) {
  ReferenceTerm term;
  term.Codes = codes;
  if (codes) {
    term.DmCodes.resize(kMaxDmCodes);
    term.DmCodes.resize(static_cast<std::size_t>(DaitchMokotoffCodes(
        word, static_cast<std::uint32_t>(std::strlen(word)), term.DmCodes.data())));
  } else {
    PreparedTerm prepared;
    PrepareTerm(word, &prepared);
    term.Keys.assign(prepared.KeyTable, prepared.KeyTable + prepared.KeyCount);
  }
  return term;
}

ReferenceTerm MakeScoredReferenceTerm(const char* word) {
  ReferenceTerm term;
  for (const char* at = word; *at != '\0'; ++at) term.Scored += static_cast<char>(*at | 0x20);
  return term;
}

int ReferenceScoreIndex(const std::string& letters, const std::string& query) {
  if (letters.size() < 2) return -1;
  std::string lower;
  for (char c : letters) lower += static_cast<char>(c | 0x20);
  const int above = ScoreNames(query.data(), static_cast<std::uint32_t>(query.size()), lower.data(),
                               static_cast<std::uint32_t>(lower.size())) -
                    ScoredThreshold();
  return above < 0 ? -1 : above > 32767 ? 32767 : above;
}

std::vector<ReferenceFind> ReferenceFinds(const std::string& bytes, const ReferenceTerm& term) {
  if (!term.Scored.empty()) {
    return WordsMatching(bytes, [&](const std::string& word) { return ReferenceScoreIndex(word, term.Scored); });
  }
  return term.Codes ? ReferenceCodeFinds(bytes, term.DmCodes.data(),
                                         static_cast<int>(term.DmCodes.size()))
                    : ReferenceFinds(bytes, term.Keys.data(),
                                     static_cast<std::uint32_t>(term.Keys.size()));
}
