// The word is read letter by letter in one pass: each letter is lower-cased, dropped or
// kept by the reductions (which look at the letters before and after it in the word as
// read), and a kept letter adds its digit to the key. After each digit the keys that can
// still be equal are known from a table, and when none is left the word is given up:
// most words of a text are given up at their first or second digit.
#include "engine/word_key.h"

#include <cstring>
#include <initializer_list>

namespace {

inline char DigitOf(char letter) { return LetterCodeTable[letter - 'a']; }

// The first character of a key: the letter for consonants and for h and w, else 0.
inline char FirstKeyCharacter(char letter) {
  return (DigitOf(letter) != '0' || letter == 'w' || letter == 'h') ? letter : '0';
}

inline int LowestKey(std::uint32_t holding) {
  return holding == 0 ? -1 : __builtin_ctz(holding);
}

// The letters that can come second in a word that begins with one of `canStart` and whose
// key is one of the term's, as a list of lower-case letters: a letter that adds no digit,
// one whose digit is a key's first, the first letter again (it merges), and the letters
// the reductions can drop there (c after s or x, s after x) or that make a second key
// (ps).
void MayComeSecond(const TermKeys& term, const bool* canStart, char* list) {
  bool may[26] = {};
  for (int letter = 0; letter < 26; ++letter) {
    const char digit = DigitOf(static_cast<char>('a' + letter));
    bool firstDigit = false;
    for (std::uint32_t k = 0; k < term.Count; ++k) firstDigit |= term.Keys[k].Bytes[1] == digit;
    may[letter] = digit == '0' || firstDigit || canStart[letter];
  }
  if (canStart['s' - 'a'] || canStart['x' - 'a']) may['c' - 'a'] = true;
  if (canStart['x' - 'a'] || canStart['p' - 'a']) may['s' - 'a'] = true;
  int listed = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if (may[letter]) list[listed++] = static_cast<char>('a' + letter);
  }
  list[listed] = 0;
}

int IndexOf(const TermKeys& term, const PhoneticKey& key) {
  for (std::uint32_t k = 0; k < term.Count; ++k) {
    if (term.Keys[k] == key) return static_cast<int>(k);
  }
  return -1;
}

// A word beginning "ps" has two keys; it is reduced in full and coded twice.
int MatchBothKeys(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length) {
  char lower[kMaxWordLetters + 1];
  for (std::uint32_t i = 0; i < length; ++i) lower[i] = static_cast<char>(letters[i] | 0x20);
  lower[length] = 0;
  char reduced[kMaxWordLetters];
  std::uint32_t written = 0;
  reduced[written++] = lower[0];
  for (std::uint32_t i = 1; i < length; ++i) {
    if (!DropsLetter(lower[i], lower[i - 1], lower[i + 1])) reduced[written++] = lower[i];
  }
  const int primary = IndexOf(term, ComputePhoneticKey(reduced, written));
  if (primary >= 0) return primary;
  // "ps" is also heard as a plain s (psalm, psyche).
  return IndexOf(term, ComputePhoneticKey(reduced + 1, written - 1));
}

}  // namespace

void PrepareTermKeys(const PhoneticKey* keys, std::uint32_t count, TermKeys* term) {
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  term->Method = PhoneticMethod::Soundex;
  term->CodeCount = 0;
  term->Count = count;
  std::memcpy(term->Keys, keys, sizeof(PhoneticKey) * count);
  std::memset(term->Holding, 0, sizeof term->Holding);

  bool canStart[26] = {};
  for (std::uint32_t k = 0; k < count; ++k) {
    for (int position = 0; position < 4; ++position) {
      term->Holding[position][static_cast<unsigned char>(keys[k].Bytes[position])] |=
          static_cast<std::uint16_t>(1u << k);
    }
    const char lead = keys[k].Bytes[0];
    if (lead >= 'a' && lead <= 'z') {
      canStart[lead - 'a'] = true;
      // A leading "ph" codes as f; a leading "ps" also gets a key that begins with s.
      if (lead == 'f' || lead == 's') canStart['p' - 'a'] = true;
    } else if (lead == '0') {
      for (char vowel : {'a', 'e', 'i', 'o', 'u', 'y'}) canStart[vowel - 'a'] = true;
    }
  }
  char list[27];
  int listed = 0;
  bool vowelStarts = false;
  for (int letter = 0; letter < 26; ++letter) {
    if (!canStart[letter]) continue;
    list[listed++] = static_cast<char>('a' + letter);
    vowelStarts = vowelStarts || FirstKeyCharacter(static_cast<char>('a' + letter)) == '0';
  }
  list[listed] = 0;
  // Words that begin with a vowel mostly go on with a consonant, and most consonants give
  // a first digit that no key has: for such terms, only the starts followed by a letter
  // that can come second are worth coding.
  if (!vowelStarts) {
    term->Starts = MakeStartLetters(list);
    return;
  }
  char followers[27];
  MayComeSecond(*term, canStart, followers);
  term->Starts = MakeStartLetters(list, followers);
}

void PrepareTermCodes(const DmCode* codes, int count, TermKeys* term) {
  if (count < 0) count = 0;
  if (count > kMaxDmCodes) count = kMaxDmCodes;
  term->Method = PhoneticMethod::DaitchMokotoff;
  term->Count = 0;
  term->CodeCount = count;
  std::memmove(term->Codes, codes, sizeof(DmCode) * static_cast<std::size_t>(count));
  const std::uint32_t first = DaitchMokotoffFirstLetters(codes, count);
  char list[27];
  int listed = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if ((first >> letter) & 1u) list[listed++] = static_cast<char>('a' + letter);
  }
  list[listed] = 0;
  term->Starts = MakeStartLetters(list);
}

namespace {

constexpr int kBothKeys = -2;

// The coding of one word whose i-th letter, lower-cased, `letterAt(i)` gives (0 at and
// after the end), asked for in order from 0. kBothKeys for a word beginning "ps".
template <typename LetterAt>
inline int Match(const TermKeys& term, LetterAt letterAt) {
  const char first = letterAt(0);
  char current = letterAt(1);
  if (current == 0) return -1;  // one-letter words are not words here
  if (first == 'p' && current == 's') return kBothKeys;

  // The reduced word starts with f for "ph" (the h stays), else with the first letter.
  char lastKept = (first == 'p' && current == 'h') ? 'f' : first;
  std::uint32_t holding =
      term.Holding[0][static_cast<unsigned char>(FirstKeyCharacter(lastKept))];
  if (holding == 0) return -1;
  int stored = 1;
  char previous = first;
  for (std::uint32_t i = 1; current != 0; ++i) {
    const char next = letterAt(i + 1);
    if (!DropsLetter(current, previous, next)) {
      const char digit = DigitOf(current);
      // Only the same letter twice in a row merges, not two letters of one digit.
      if (digit != '0' && current != lastKept) {
        holding &= term.Holding[stored][static_cast<unsigned char>(digit)];
        if (holding == 0) return -1;
        if (++stored == 4) return LowestKey(holding);
      }
      lastKept = current;
    }
    previous = current;
    current = next;
  }
  for (; stored < 4; ++stored) holding &= term.Holding[stored][static_cast<unsigned char>('0')];
  return LowestKey(holding);
}

// A Daitch-Mokotoff term's test of a whole word; one-letter words are not words here either.
inline int MatchCodes(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length) {
  if (length < 2) return -1;
  return MatchDaitchMokotoff(reinterpret_cast<const char*>(letters), length, term.Codes,
                             term.CodeCount);
}

}  // namespace

int MatchWordKey(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length) {
  if (length > kMaxWordLetters) length = kMaxWordLetters;
  if (term.Method == PhoneticMethod::DaitchMokotoff) return MatchCodes(term, letters, length);
  const int key = Match(term, [letters, length](std::uint32_t i) {
    return i < length ? static_cast<char>(letters[i] | 0x20) : '\0';
  });
  return key == kBothKeys ? MatchBothKeys(term, letters, length) : key;
}

void CodeOfMatch(const TermKeys& term, int index, char* text) {
  text[0] = '\0';
  if (index < 0) return;
  if (term.Method == PhoneticMethod::DaitchMokotoff) {
    if (index >= term.CodeCount) return;
    std::memcpy(text, term.Codes[index].Digits, kDmCodeLength);
    text[kDmCodeLength] = '\0';
    return;
  }
  if (static_cast<std::uint32_t>(index) >= term.Count) return;
  std::memcpy(text, term.Keys[index].Bytes, sizeof term.Keys[index].Bytes);
  text[sizeof term.Keys[index].Bytes] = '\0';
}

namespace {

// The answers for short words already seen with a term, by their lower-case letters
// packed into eight bytes (0: a free slot; no word of two letters or more packs to 0).
// The same few hundred words make up most of a text, so most words are answered here
// with no coding at all. An expression scans each file once per term, so a few terms
// keep their answers side by side. Search worker only.
constexpr std::uint32_t kCacheBits = 11;
constexpr int kCachedTerms = 4;
struct WordCache {
  bool Used = false;
  PhoneticMethod Method;
  PhoneticKey Keys[kMaxKeys];
  std::uint32_t Count;
  DmCode Codes[kMaxDmCodes];
  int CodeCount;
  std::uint64_t Words[1u << kCacheBits];
  std::int16_t Answers[1u << kCacheBits];
};
static_assert(kMaxDmCodes <= INT16_MAX);

bool SameTerm(const WordCache& cached, const TermKeys& term) {
  if (!cached.Used || cached.Method != term.Method) return false;
  if (term.Method == PhoneticMethod::DaitchMokotoff) {
    return cached.CodeCount == term.CodeCount &&
           std::memcmp(cached.Codes, term.Codes,
                       sizeof(DmCode) * static_cast<std::size_t>(term.CodeCount)) == 0;
  }
  return cached.Count == term.Count &&
         std::memcmp(cached.Keys, term.Keys, sizeof(PhoneticKey) * term.Count) == 0;
}
WordCache caches[kCachedTerms];
WordCache* cache = &caches[0];
int nextReplaced = 0;

void UseCacheFor(const TermKeys& term) {
  for (WordCache& candidate : caches) {
    if (SameTerm(candidate, term)) {
      cache = &candidate;
      return;
    }
  }
  cache = &caches[nextReplaced];
  nextReplaced = (nextReplaced + 1) % kCachedTerms;
  cache->Used = true;
  cache->Method = term.Method;
  std::memcpy(cache->Keys, term.Keys, sizeof(PhoneticKey) * term.Count);
  cache->Count = term.Count;
  std::memcpy(cache->Codes, term.Codes, sizeof(DmCode) * static_cast<std::size_t>(term.CodeCount));
  cache->CodeCount = term.CodeCount;
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

int MatchInPlace(const TermKeys& term, const std::uint8_t* bytes) {
  if (term.Method == PhoneticMethod::DaitchMokotoff) {
    std::uint32_t length = 0;
    while (length < kMaxWordLetters && IsWordLetter(bytes[length])) ++length;
    return MatchCodes(term, bytes, length);
  }
  const int key = Match(term, [bytes](std::uint32_t i) {
    return i < kMaxWordLetters && IsWordLetter(bytes[i]) ? static_cast<char>(bytes[i] | 0x20) : '\0';
  });
  return key == kBothKeys ? kWordUndecided : key;
}

}  // namespace

void PrepareWordCache(const TermKeys& term) { UseCacheFor(term); }

int MatchWordAt(const TermKeys& term, const std::uint8_t* bytes) {
  std::uint64_t packed;
  std::memcpy(&packed, bytes, sizeof packed);
  const std::uint64_t notLetters = ~LetterBytes(packed) & 0x8080808080808080ull;
  if (notLetters == 0) return MatchInPlace(term, bytes);  // eight letters or more
  const int length = __builtin_ctzll(notLetters) / 8;
  if (length < 2) return -1;  // one-letter words are not words here
  const std::uint64_t word = (packed | 0x2020202020202020ull) & ((1ull << (8 * length)) - 1);
  const std::uint32_t slot =
      static_cast<std::uint32_t>((word * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits));
  if (cache->Words[slot] == word) return cache->Answers[slot];
  const int answer = MatchInPlace(term, bytes);
  cache->Words[slot] = word;
  cache->Answers[slot] = static_cast<std::int16_t>(answer);
  return answer;
}
